// The second baseline of the start-up benchmarks, Brimvale's floor: a
// program that makes the same top-level windows and child controls as
// Brimvale (same classes, styles, sizes and fonts; bench/WindowsFloor.h)
// with plain CreateWindowExW calls, shows the main window and runs a
// message loop until that window is closed. Nothing else: no settings, no
// language, no tray icon, no timer, no drawing of its own.
#include <windows.h>

#include "WindowsFloor.h"

int main() {
    HWND mainWindow = bench::CreateFloorWindows();
    if (!mainWindow) return 1;
    ::ShowWindow(mainWindow, SW_SHOW);
    ::UpdateWindow(mainWindow);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}
