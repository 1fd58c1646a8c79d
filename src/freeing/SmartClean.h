// Smart Clean: ten trimming passes 100 ms apart with a progress bar, then
// the gain in free physical memory is reported on the main window. Also the
// released-memory report itself, which Deep Clean shares.
#pragma once
#include <cstdint>

#include "freeing/CleanWindow.h"
#include "freeing/FreeingRules.h"

namespace freeing {

// Runs one whole Smart Clean before returning. The message queue is pumped
// once per pass, so ticks, repaints and tray commands (another clean
// included) are handled inside it; Button_go and the Settings button are
// disabled meanwhile. Timer_free is enabled at the end whatever the
// auto-free setting says. When the program begins to end (Exit, a close
// request, the session's end) in one of its pumps, the run stops there: no
// further pass, no report, the window put back; chosen while the program
// ends, it does not start. Returns what the run did (whether it could
// measure and list the processes).
CleanOutcome SmartCleanClick(CleanWindow& w);

// The released-memory report on the window (see FormCleanWindow).
void ShowMemoryReleased(CleanWindow& w, std::int32_t R);

// How every Smart Clean and Deep Clean ends, whoever started it: the report
// on the window (ShowMemoryReleased) and, while the window is out of sight
// (ReportInTray), the same line as a notification at the tray icon, titled
// with the window's caption.
void ReportReleased(CleanWindow& w, std::int32_t R);

// ---- Test seam (replaced through platform::ScopedSeam) ----
// The 100 ms pause after each pass (default: Sleep).
extern SleepFn SmartCleanSleepCall;

}  // namespace freeing
