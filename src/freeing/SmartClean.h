// Smart Clean: ten trimming passes 100 ms apart with a progress bar, then
// the gain in free physical memory is reported.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>

#include "freeing/CleanProgress.h"
#include "freeing/FreeingRules.h"

namespace freeing {

// The pause between steps of a clean (default: Sleep), replaceable by tests.
using SleepFn = void(WINAPI*)(DWORD milliseconds);

// One trimming pass of a Smart Clean; whether it could list the processes.
using TrimPass = std::function<bool()>;

// Physical memory in bytes from a fresh TMemory (constructed, refreshed once,
// read, let go): 64-bit figures, not clamped at 2 or 4 GB.
struct PhysicalReading {
    std::int64_t total = 0;
    std::int64_t free = 0;
};
PhysicalReading ReadPhysicalMemory();

// Runs one whole Smart Clean before returning. The message queue is pumped
// once per pass, so ticks, repaints and tray commands (another clean
// included) are handled inside it. When the program begins to end (Exit, a
// close request, the session's end) in one of its pumps, the run stops
// there: no further pass, no report, the progress abandoned; started while
// the program ends, it does not start. Returns what the run did (whether it
// could measure and list the processes, and whether it reached its report).
CleanOutcome RunSmartClean(CleanProgress& progress, const TrimPass& trimPass);

// ---- Test seam (replaced through platform::ScopedSeam) ----
// The 100 ms pause after each pass (default: Sleep).
extern SleepFn SmartCleanSleepCall;

}  // namespace freeing
