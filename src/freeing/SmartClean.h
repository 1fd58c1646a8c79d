// Smart Clean: ten trimming passes 100 ms apart with a progress bar, then
// the gain in free physical memory is reported on the main window. Also the
// released-memory report itself, which Deep Clean shares.
#pragma once
#include <cstdint>

#include "freeing/CleanWindow.h"

namespace freeing {

// Runs one whole Smart Clean before returning. The message queue is pumped
// once per pass, so ticks, repaints and tray commands (another clean
// included) are handled inside it; Button_go is disabled meanwhile.
// Timer_free is enabled at the end whatever the auto-free setting says.
void SmartCleanClick(CleanWindow& w);

// The released-memory line: for R > 0 the number R in navy followed by
// "MB memory has been released.", otherwise "No memory has been released."
// where the number would start, with the number hidden.
void ShowMemoryReleased(CleanWindow& w, std::int32_t R);

// How every Smart Clean and Deep Clean ends, whoever started it: the report
// on the window (ShowMemoryReleased) and, while the window is out of sight
// (ReportInTray), the same line as a notification at the tray icon, titled
// with the window's caption.
void ReportReleased(CleanWindow& w, std::int32_t R);

// ---- Test seam (replaced through widgets::ScopedSeam) ----
// The 100 ms pause after each pass (default: Sleep).
extern SleepFn SmartCleanSleepCall;

}  // namespace freeing
