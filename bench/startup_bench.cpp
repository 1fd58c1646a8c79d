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
// of the difference from the program's own.
// Usage: startup_bench [runs per program, default 21]
#include <windows.h>

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "BenchUtil.h"
#include "ProcessUtil.h"

namespace {

const wchar_t kScratch[] = L"C:\\brimvale-bench";
const wchar_t kAppData[] = L"C:\\brimvale-bench\\appdata";

BOOL CALLBACK TrayIconChild(HWND wnd, LPARAM lParam) {
    wchar_t name[64] = {};
    ::GetClassNameW(wnd, name, 64);
    if (lstrcmpW(name, L"__winex11_tray_icon") == 0) reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(wnd);
    return TRUE;
}

BOOL CALLBACK TrayIconTop(HWND wnd, LPARAM lParam) {
    wchar_t name[64] = {};
    ::GetClassNameW(wnd, name, 64);
    if (lstrcmpW(name, L"__winex11_standalone_tray") == 0) ::EnumChildWindows(wnd, &TrayIconChild, lParam);
    return TrayIconChild(wnd, lParam);
}

// Icons in Wine's stand-alone tray (one window per icon).
std::vector<HWND> TrayIcons() {
    std::vector<HWND> icons;
    ::EnumWindows(&TrayIconTop, reinterpret_cast<LPARAM>(&icons));
    return icons;
}

// The tray menu's "Exit" (its fourth item), as the end-to-end tests choose
// it; false when the menu or the exit did not come.
bool ExitThroughTray(bench::Child& child, std::size_t iconsBefore) {
    HWND icon = nullptr;
    const double start = bench::NowMs();
    while (!icon && bench::NowMs() - start < 5000) {
        const std::vector<HWND> icons = TrayIcons();
        if (icons.size() > iconsBefore) icon = icons.back();
        ::Sleep(10);
    }
    if (!icon) return false;
    ::PostMessageW(icon, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
    ::PostMessageW(icon, WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
    HWND menu = nullptr;
    while (bench::NowMs() - start < 10000) {
        menu = ::FindWindowW(L"#32768", nullptr);
        if (menu && ::IsWindowVisible(menu)) break;
        menu = nullptr;
        ::Sleep(10);
    }
    if (!menu) return false;
    for (int i = 0; i < 4; ++i) ::PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
    ::PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
    return ::WaitForSingleObject(child.Process(), 10000) == WAIT_OBJECT_0;
}

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
                                                       {L"brimvale.exe", L"empty_window.exe"});
    bench::AppDataRedirect appData(kAppData);
    Program programs[] = {
        {L"empty_window.exe", L"", "empty window program", {}},
        {L"brimvale.exe", L"", "brimvale.exe", {}},
        {L"empty_window.exe", L"/dlls", "empty window + Brimvale's DLLs", {}},
    };
    const std::size_t iconsAtStart = TrayIcons().size();

    for (int run = 0; run < runs + 1; ++run) {  // run 0 warms the file cache and is not counted
        for (Program& p : programs) {
            bench::RemoveTree(kAppData);
            bench::CreateFolders(kAppData);
            const bool brimvale = p.exe[0] == L'b';
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
                if (!ExitThroughTray(child, iconsAtStart)) ++p.failures;
            } else {
                child.CloseThrough(shown);
            }
            child.Kill();
            ::Sleep(200);  // let the system settle after the exit
        }
    }

    const double empty = bench::Median(programs[0].ms);
    std::printf("startup_bench: %d alternating runs each (after one warm-up run), CreateProcess to the first\n"
                "visible top-level window, fresh application-data folder each run (medians)\n", runs);
    int failures = 0;
    for (const Program& p : programs) {
        const double m = bench::Median(p.ms);
        std::printf("  %-32s %8.1f ms   ratio to the empty program %.2f   (min %.1f, max %.1f, failures %d)\n",
                    p.label, m, empty > 0 ? m / empty : 0.0,
                    p.ms.empty() ? 0.0 : *std::min_element(p.ms.begin(), p.ms.end()),
                    p.ms.empty() ? 0.0 : *std::max_element(p.ms.begin(), p.ms.end()), p.failures);
        failures += p.failures;
    }
    std::printf("  tray icons left behind: %d\n", static_cast<int>(TrayIcons().size() - iconsAtStart));
    bench::RemoveTree(kScratch);
    return failures == 0 ? 0 : 1;
}
