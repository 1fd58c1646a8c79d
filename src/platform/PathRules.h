// What kind of path a text from outside the program (a registry value) is.
#pragma once
#include <string>

namespace platform {

// Whether path is absolute: a drive letter, a colon and a separator
// ("C:\Users\…"), or a network path's two leading separators
// ("\\server\share"); '/' counts as a separator as '\' does. Anything else
// ("relappdata", "\rootless", "C:drive-relative", "") depends on the
// current folder or drive.
bool IsAbsolutePath(const std::wstring& path);

}  // namespace platform
