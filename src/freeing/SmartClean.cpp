#include "freeing/SmartClean.h"

#include "freeing/CleanRun.h"
#include "freeing/FreeingRules.h"
#include "widgets/Application.h"
#include "platform/Trace.h"

namespace freeing {

namespace {

constexpr int kPasses = 10;
constexpr DWORD kPassPauseMs = 100;

}  // namespace

SleepFn SmartCleanSleepCall = &::Sleep;

CleanOutcome SmartCleanClick(CleanWindow& w) {
    if (widgets::Application.Terminated()) return {};  // chosen in a pump while the program ends
    CleanRun run(w);
    run.ShowProgressRow();
    run.DisableButtons();
    // Free memory from the 64-bit status call: the 32-bit one stops at 2 GB
    // (4 GB for large-address-aware programs) and would hide any gain above.
    const PhysicalReading first = ReadPhysicalMemory();
    const std::int64_t before = first.free;
    bool listed = false;
    w.SetProgressRange(0, 100);
    for (int pass = 1; pass <= kPasses; ++pass) {
        w.SetProgressPosition(pass * 10);
        widgets::Application.ProcessMessages();
        // The program began to end in that pump: stop here, with no report
        // (the run puts the window back as it goes).
        if (widgets::Application.Terminated()) return {};
        if (w.FreeWorkingSets()) listed = true;
        SmartCleanSleepCall(kPassPauseMs);
    }
    const std::int64_t after = ReadPhysicalMemory().free;
    const std::int32_t released = ReleasedMegabytes(before, after);
    ReportReleased(w, released);
    platform::Trace(CleanTraceText(L"Smart Clean", before, after));
    w.EnableFreeTimer();
    run.Finish();
    return CleanOutcome{first.total > 0, listed, released};
}

void ShowMemoryReleased(CleanWindow& w, std::int32_t R) { w.ShowMemoryReleased(R); }

void ReportReleased(CleanWindow& w, std::int32_t R) {
    w.ShowMemoryReleased(R);
    w.ShowReportInTray(R);
}

}  // namespace freeing
