// Small decisions of the main window that need no operating system.
#pragma once
#include <string>
#include <vector>

namespace app {

struct ScreenPoint {
    int x = 0, y = 0;
};

// Where the "Go!" menu pops up: just below the button, from the window's
// outer frame position and the button's client position and height.
ScreenPoint GoMenuPoint(int formLeft, int formTop, int buttonLeft, int buttonTop, int buttonHeight);

// The program starts with only its tray icon when its one parameter is "/m"
// (exactly, case-sensitive).
bool StartsInTray(const std::vector<std::wstring>& params);

}  // namespace app
