// Resident cost: brimvale.exe started in the tray ("/m", main window
// hidden) against the empty window program started hidden ("/m"), each left
// running alone for the same time (60 s by default), one after the other.
// For each: the CPU time the process used in that time (GetProcessTimes),
// the CPU time the tray's process (explorer.exe, which draws every icon
// Brimvale hands it) used meanwhile, and at the end the process's memory:
// the system's counters (PrivateUsage, PagefileUsage, WorkingSetSize) and
// the committed private memory found by walking its address space. Each
// program starts from a scratch folder on drive C: with a fresh, empty
// application-data folder, and is ended afterwards (Brimvale through its
// tray menu's "Exit", the empty program through WM_CLOSE).
// Usage: resident_bench [seconds, default 60] [rounds, default 1]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchUtil.h"
#include "ProcessUtil.h"

namespace {

const wchar_t kScratch[] = L"C:\\brimvale-bench-resident";
const wchar_t kAppData[] = L"C:\\brimvale-bench-resident\\appdata";

struct Program {
    const wchar_t* exe;
    const wchar_t* parameters;
    const wchar_t* windowClass;  // its main window, hidden
    const char* label;
    std::vector<double> cpuMs, trayCpuMs, serverCpuMs;
    bench::MemoryFigures memory;  // of the last round
    int failures = 0;
};

// The processes whose CPU time is read besides the program's own.
struct Others {
    HANDLE tray = nullptr;  // explorer.exe, which draws the tray icons
    long trayHost = 0;      // its host process under Wine
    long serverHost = 0;    // the wineserver of this prefix (Wine only)
};

// CPU time of a program's process: the host's figure under Wine (where the
// system's reads 0 for other processes), the system's elsewhere.
double ProgramCpuMs(const bench::Child& child, long host) {
    return host > 0 ? bench::HostCpuTimeMs(host) : bench::CpuTimeMs(child.Process());
}
double TrayCpuMs(const Others& o) {
    return o.trayHost > 0 ? bench::HostCpuTimeMs(o.trayHost) : o.tray ? bench::CpuTimeMs(o.tray) : -1;
}

std::string Narrow(const std::wstring& s) { return std::string(s.begin(), s.end()); }

void RunOnce(Program& p, const std::wstring& folder, int seconds, const Others& others, std::size_t iconsAtStart) {
    bench::RemoveTree(kAppData);
    bench::CreateFolders(kAppData);
    bench::Child child(folder + p.exe, p.parameters);
    double waited = 0;
    HWND main = bench::WaitForWindow([&] { return bench::FindTopLevel(child.Pid(), false, p.windowClass); },
                                     bench::NowMs(), 30000, waited);
    if (!main) {
        ++p.failures;
        return;
    }
    ::Sleep(3000);  // past the start: the first timer ticks, the tray icon in place
    const long host = bench::FindHostProcess(Narrow(folder + p.exe), bench::WinePrefixSetting());
    const double cpu0 = ProgramCpuMs(child, host), tray0 = TrayCpuMs(others);
    const double server0 = bench::HostCpuTimeMs(others.serverHost);
    ::Sleep(static_cast<DWORD>(seconds) * 1000);
    const double cpu1 = ProgramCpuMs(child, host), tray1 = TrayCpuMs(others);
    const double server1 = bench::HostCpuTimeMs(others.serverHost);
    p.memory = bench::MemoryOf(child.Process());
    if (!child.Running()) ++p.failures;
    p.cpuMs.push_back(cpu1 - cpu0);
    if (tray0 >= 0) p.trayCpuMs.push_back(tray1 - tray0);
    if (server0 >= 0) p.serverCpuMs.push_back(server1 - server0);
    if (p.exe[0] == L'b') {
        if (!bench::ExitThroughTray(child, iconsAtStart)) ++p.failures;
    } else {
        child.CloseThrough(main);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 1;
    const std::wstring folder = bench::StageProgramsIn(std::wstring(kScratch) + L"\\program",
                                                       {L"brimvale.exe", L"empty_window.exe"});
    bench::AppDataRedirect appData(kAppData);
    const DWORD explorer = bench::FindProcessId(L"explorer.exe");
    const platform::UniqueKernelHandle tray(explorer ? ::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, explorer)
                                                    : nullptr);
    Others others;
    others.tray = tray.get();
    others.trayHost = bench::FindHostProcess("explorer.exe", bench::WinePrefixSetting());
    others.serverHost = bench::FindHostProcess("wineserver", bench::WinePrefixSetting());
    const std::size_t iconsAtStart = bench::TrayIcons().size();
    Program programs[] = {
        {L"empty_window.exe", L"/m", L"BrimvaleBenchEmptyWindow", "empty", {}, {}, {}, {}},
        {L"brimvale.exe", L"/m", L"TMainForm", "brimvale", {}, {}, {}, {}},
        {L"empty_window.exe", L"/m /dlls", L"BrimvaleBenchEmptyWindow", "empty+DLLs", {}, {}, {}, {}},
    };
    for (int r = 0; r < rounds; ++r)
        for (Program& p : programs) RunOnce(p, folder, seconds, others, iconsAtStart);

    std::printf("resident_bench: %d round(s) of %d s each, programs started hidden (\"/m\"), one at a time;\n"
                "  \"empty+DLLs\" is the empty program that first loads Brimvale's extra libraries\n",
                rounds, seconds);
    std::printf("  CPU source: %s\n", others.serverHost > 0 ? "the host's /proc (Wine reads 0 for other processes)"
                                                             : "GetProcessTimes");
    const Program& empty = programs[0];
    auto ratio = [](double a, double b) { return b > 0 ? a / b : 0.0; };
    std::printf("  CPU time over %d s, medians (ms)       %10s %10s %10s   brimvale/empty\n", seconds, "empty",
                "brimvale", "empty+DLLs");
    // The host counts CPU time in 10 ms clock ticks: a program that idles
    // may use none in a minute, and then there is no ratio to give.
    auto cpuRow = [&](const char* name, std::vector<double> Program::*series) {
        const double e = bench::Median(programs[0].*series), b = bench::Median(programs[1].*series),
                     d = bench::Median(programs[2].*series);
        std::printf("    %-36s %10.0f %10.0f %10.0f   ", name, e, b, d);
        if (e > 0)
            std::printf("%.1f\n", ratio(b, e));
        else
            std::printf("n/a (empty: under one 10 ms clock tick); brimvale %.2f ms per second\n", b / seconds);
    };
    cpuRow("the program itself", &Program::cpuMs);
    if (!empty.trayCpuMs.empty()) cpuRow("the tray (explorer.exe) meanwhile", &Program::trayCpuMs);
    if (!empty.serverCpuMs.empty()) cpuRow("the wineserver meanwhile", &Program::serverCpuMs);
    std::printf("  memory at the end (KB)                 %10s %10s %10s   brimvale-empty  brimvale-(empty+DLLs)\n",
                "empty", "brimvale", "empty+DLLs");
    auto row = [&](const char* name, double bench::MemoryFigures::*field) {
        const double e = programs[0].memory.*field, b = programs[1].memory.*field, d = programs[2].memory.*field;
        std::printf("    %-36s %10.0f %10.0f %10.0f   %+14.0f  %+21.0f\n", name, e, b, d, b - e, b - d);
    };
    row("PrivateUsage", &bench::MemoryFigures::privateUsageKb);
    row("PagefileUsage", &bench::MemoryFigures::pagefileUsageKb);
    row("WorkingSetSize", &bench::MemoryFigures::workingSetKb);
    row("committed private (address walk)", &bench::MemoryFigures::committedPrivateKb);
    row("committed image", &bench::MemoryFigures::committedImageKb);
    row("committed mapped", &bench::MemoryFigures::committedMappedKb);
    int failures = 0;
    for (const Program& p : programs) failures += p.failures;
    std::printf("  failures: %d\n", failures);
    bench::RemoveTree(kScratch);
    return failures == 0 ? 0 : 1;
}
