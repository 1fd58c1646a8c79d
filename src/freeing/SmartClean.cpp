#include "freeing/SmartClean.h"

#include "freeing/FreeingRules.h"
#include "platform/Trace.h"
#include "probes/MemoryEx.h"
#include "widgets/Application.h"

namespace freeing {

namespace {

constexpr int kPasses = 10;
constexpr DWORD kPassPauseMs = 100;

}  // namespace

SleepFn SmartCleanSleepCall = &::Sleep;

PhysicalReading ReadPhysicalMemory() {
    probes::TMemory memory;
    memory.Refresh();
    return {memory.PhysicalTotal, memory.PhysicalFree};
}

CleanOutcome RunSmartClean(CleanProgress& progress, const TrimPass& trimPass) {
    if (widgets::Application.Terminated()) return {};  // chosen in a pump while the program ends
    CleanScope run(progress);
    progress.ShowProgress(100);
    // Free memory from the 64-bit status call: the 32-bit one stops at 2 GB
    // (4 GB for large-address-aware programs) and would hide any gain above.
    const PhysicalReading first = ReadPhysicalMemory();
    const std::int64_t before = first.free;
    bool listed = false;
    for (int pass = 1; pass <= kPasses; ++pass) {
        progress.Step(pass * 10);
        widgets::Application.ProcessMessages();
        // The program began to end in that pump: stop here, with no report
        // (the scope abandons the progress as it goes).
        if (widgets::Application.Terminated()) return {};
        if (trimPass()) listed = true;
        SmartCleanSleepCall(kPassPauseMs);
    }
    const std::int64_t after = ReadPhysicalMemory().free;
    const std::int32_t released = ReleasedMegabytes(before, after);
    progress.Report(released);
    platform::Trace(CleanTraceText(L"Smart Clean", before, after));
    run.End();
    return CleanOutcome{first.total > 0, listed, released, true};
}

}  // namespace freeing
