// Splitting a command line into parameters the way the program reads them:
// blanks and control characters separate parameters; a double quote switches
// quoting on or off and is itself dropped. And the switches that make a start
// a clean, or the end of the running copy, rather than a window.
#pragma once
#include <string>
#include <vector>

namespace platform {

// Parameters after the program name (the first item of the line is skipped).
std::vector<std::wstring> SplitParameters(const std::wstring& commandLine);

// The clean a command line asks for instead of starting the program, or the
// request to end the running copy (an installer's, before it replaces it).
enum class CleanSwitch {
    None,   // any other command line: the program starts as always
    Smart,  // "/smartclean"
    Deep,   // "/deepclean"
    Exit,   // "/exit"
};

// "/smartclean", "/deepclean" or "/exit" as the one and only parameter, in
// any letter case (of the ASCII letters the switches are made of), with "/"
// or "-" in front. A second parameter, a blank inside the quotes or anything else
// gives None, so every other command line keeps its meaning ("/m" included).
CleanSwitch CleanSwitchOf(const std::vector<std::wstring>& params);

}  // namespace platform
