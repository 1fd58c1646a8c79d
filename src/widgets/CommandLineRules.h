// Splitting a command line into parameters the way the program reads them:
// blanks and control characters separate parameters; a double quote switches
// quoting on or off and is itself dropped.
#pragma once
#include <string>
#include <vector>

namespace widgets {

// Parameters after the program name (the first item of the line is skipped).
std::vector<std::wstring> SplitParameters(const std::wstring& commandLine);

}  // namespace widgets
