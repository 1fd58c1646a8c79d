// Endurance: a simulated day of monitor ticks (86,400, driven directly, as
// fast as they run) on a real main window, with the live counts of icons,
// GDI objects and handles and the private memory taken before and after,
// and at eight points in between to show any trend. The unit tests run the
// same check over 3,600 ticks (EnduranceTest).
// Usage: endurance_bench [ticks, default 86400]
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "../tests/unit/win/ResourceCounts.h"
#include "BenchUtil.h"
#include "ProcessUtil.h"
#include "app/MainForm.h"
#include "app/Program.h"
#include "widgets/Application.h"

namespace {

const wchar_t kScratch[] = L"C:\\brimvale-bench-endurance";

// What the message loop would do between ticks: handle what is queued
// (the window's own timers are off here: the ticks are driven directly).
void Pump() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

void Print(const char* label, const endurance::ResourceCounts& c) {
    std::printf("  %-14s %s\n", label, c.Describe().c_str());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    const long ticks = argc > 1 ? std::atol(argv[1]) : 86400;
    bench::RemoveTree(kScratch);
    bench::CreateFolders(kScratch);
    bench::AppDataRedirect appData(kScratch);
    widgets::Application.SetCommandLineForTest(L"brimvale.exe /m");
    widgets::Application.Initialize();
    app::Program program;
    app::TMainForm form(program);
    form.Timer_cpu->SetEnabled(false);  // exactly the ticks driven here

    // Warm-up: the first ticks create what every later one reuses (fonts,
    // pens, the icon surfaces) and let the heaps find their size.
    for (int i = 0; i < 100; ++i) {
        form.Timer_cpuTimer();
        Pump();
    }
    // Printed first: the first output allocates the output buffer.
    std::printf("endurance_bench: %ld ticks after 100 warm-up ticks\n", ticks);
    std::fflush(stdout);
    const endurance::ResourceCounts before = endurance::ResourceCounts::Take();
    Print("before", before);
    const double start = bench::NowMs();
    for (long i = 1; i <= ticks; ++i) {
        form.Timer_cpuTimer();
        Pump();
        if (i % (ticks / 8 > 0 ? ticks / 8 : 1) == 0 && i != ticks) {
            char label[32];
            std::snprintf(label, sizeof label, "after %ld", i);
            Print(label, endurance::ResourceCounts::Take());
        }
    }
    const double seconds = (bench::NowMs() - start) / 1000.0;
    const endurance::ResourceCounts after = endurance::ResourceCounts::Take();
    Print("after", after);
    std::printf("  time taken %.1f s (%.3f ms per tick)\n", seconds, seconds * 1000.0 / ticks);
    std::printf("  change: icons %+d, GDI objects %+d, kernel handles %+d, other handles %+d, process handles %+ld,\n"
                "          listed handles %+ld, committed private %+.0f KB, heap blocks %+.1f KB, PrivateUsage %+.0f KB,\n"
                "          PagefileUsage %+.0f KB\n",
                after.icons - before.icons, after.gdiObjects - before.gdiObjects,
                after.kernelHandles - before.kernelHandles, after.otherHandles - before.otherHandles,
                after.processHandles - before.processHandles,
                after.systemListedHandles - before.systemListedHandles, after.privateKb - before.privateKb,
                after.heapBusyKb - before.heapBusyKb,
                after.privateUsageKb - before.privateUsageKb, after.pagefileUsageKb - before.pagefileUsageKb);
    const bool countsKept = after.icons == before.icons && after.gdiObjects == before.gdiObjects &&
                            after.kernelHandles == before.kernelHandles &&
                            after.otherHandles == before.otherHandles &&
                            after.processHandles == before.processHandles &&
                            after.systemListedHandles == before.systemListedHandles;
    std::printf("  handle, icon and GDI counts %s\n", countsKept ? "unchanged" : "CHANGED");
    return countsKept ? 0 : 1;
}
