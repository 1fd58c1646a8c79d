// A trace for support: one line per event a support engineer would want to
// see (start, the files in use, each clean and its figures, the tray icon
// put back), sent to the system debugger output (DebugView and the like
// show it). Never called on the once-a-second tick's path.
#pragma once
#include <string>

namespace platform {

// Writes "Brimvale: " + text as one line of debugger output.
void Trace(const std::wstring& text);

}  // namespace platform
