// Start-up to the first shown main window: brimvale.exe against the empty
// Win32 window program (empty_window.exe), both started the same way, in
// alternating runs. Each run starts the program from a scratch folder on
// drive C: with a fresh, empty application-data folder (the registry value
// is pointed at it for the benchmark and restored afterwards), measures the
// time from CreateProcess to the first visible top-level window of the new
// process, then ends it: the empty program through WM_CLOSE, Brimvale (which
// only hides on close) through its tray menu's "Exit", the way a user ends
// it, so that the tray is left as it was found.
// A third series starts the empty program with "/dlls": it first loads the
// libraries Brimvale loads beyond the empty program's own (common controls
// with their theming library, and the shell), which tells the system's share
// of the difference from the program's own. A fourth starts Brimvale's floor,
// windows_floor.exe: the same windows and controls made with plain calls and
// nothing else (bench/WindowsFloor.h), which no start of Brimvale can beat.
// When a folder "before" next to the benchmark holds another build of
// brimvale.exe (say, of an earlier commit), it is started too, under the same
// name, as a fifth series: before and after measured in the same run.
// Usage: startup_bench [runs per program, default 21]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <vector>

#include "BenchUtil.h"
#include "ProcessUtil.h"

namespace {

const wchar_t kScratch[] = L"C:\\brimvale-bench";
const wchar_t kAppData[] = L"C:\\brimvale-bench\\appdata";

struct Program {
    const wchar_t* exe;
    const wchar_t* parameters;
    const char* label;
    std::vector<double> ms;
    int failures = 0;
};

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 21;
    const std::wstring folder = bench::StageProgramsIn(std::wstring(kScratch) + L"\\program",
                                                       {L"brimvale.exe", L"empty_window.exe", L"windows_floor.exe"});
    const bool withBefore = ::GetFileAttributesW((bench::ExeFolder() + L"before\\brimvale.exe").c_str()) !=
                            INVALID_FILE_ATTRIBUTES;
    if (withBefore) {
        bench::CreateFolders(folder + L"before");
        ::CopyFileW((bench::ExeFolder() + L"before\\brimvale.exe").c_str(), (folder + L"before\\brimvale.exe").c_str(),
                    FALSE);
    }
    bench::AppDataRedirect appData(kAppData);
    std::vector<Program> programs = {
        {L"empty_window.exe", L"", "empty window program", {}},
        {L"brimvale.exe", L"", "brimvale.exe", {}},
        {L"empty_window.exe", L"/dlls", "empty window + Brimvale's DLLs", {}},
        {L"windows_floor.exe", L"", "Brimvale's windows, plain calls", {}},
    };
    if (withBefore) programs.push_back({L"before\\brimvale.exe", L"", "brimvale.exe before", {}});
    const std::size_t iconsAtStart = bench::TrayIcons().size();

    for (int run = 0; run < runs + 1; ++run) {  // run 0 warms the file cache and is not counted
        for (Program& p : programs) {
            bench::RemoveTree(kAppData);
            bench::CreateFolders(kAppData);
            const bool brimvale = std::wcsstr(p.exe, L"brimvale") != nullptr;
            const double start = bench::NowMs();
            bench::Child child(folder + p.exe, p.parameters);
            if (!child.Started()) {
                std::fprintf(stderr, "could not start %ls\n", p.exe);
                return 2;
            }
            double elapsed = 0;
            HWND shown = bench::WaitForWindow([&] { return bench::FindTopLevel(child.Pid(), true); }, start,
                                              30000, elapsed);
            if (!shown) ++p.failures;
            if (shown && run > 0) p.ms.push_back(elapsed);
            if (brimvale) {
                if (!bench::ExitThroughTray(child, iconsAtStart)) ++p.failures;
            } else {
                child.CloseThrough(shown);
            }
            child.Kill();
            ::Sleep(200);  // let the system settle after the exit
        }
    }

    const double empty = bench::Median(programs[0].ms), floor = bench::Median(programs[3].ms);
    std::printf("startup_bench: %d alternating runs each (after one warm-up run), CreateProcess to the first\n"
                "visible top-level window, fresh application-data folder each run (medians); ratios to the\n"
                "empty program and to Brimvale's floor (its windows made with plain calls)\n", runs);
    int failures = 0;
    for (const Program& p : programs) {
        const double m = bench::Median(p.ms);
        std::printf("  %-32s %8.1f ms   ratio to empty %.2f, to floor %.2f   (min %.1f, max %.1f, failures %d)\n",
                    p.label, m, empty > 0 ? m / empty : 0.0, floor > 0 ? m / floor : 0.0,
                    p.ms.empty() ? 0.0 : *std::min_element(p.ms.begin(), p.ms.end()),
                    p.ms.empty() ? 0.0 : *std::max_element(p.ms.begin(), p.ms.end()), p.failures);
        failures += p.failures;
    }
    std::printf("  tray icons left behind: %d\n", static_cast<int>(bench::TrayIcons().size() - iconsAtStart));
    bench::RemoveTree(kScratch);
    return failures == 0 ? 0 : 1;
}
