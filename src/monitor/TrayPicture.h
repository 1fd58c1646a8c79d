// The tray icon picture: free physical megabytes as a number above a small
// free-percent bar, painted on a 32 x 32 bitmap and turned into an icon.
#pragma once
#include <windows.h>
#include <cstdint>

#include "widgets/Graphics.h"
#include "widgets/Handle.h"

namespace monitor {

// Paints the picture on the canvas of `image`: white background, the number
// (font and place by TrayTextLayoutFor), the bar frame, fill and end marker
// (colours by TrayBarColorsFor, right edge by TrayBarRight).
void DrawTrayImage(widgets::TBitmap& image, std::int32_t percent, std::int64_t freeMB);

// Turns the picture into an icon of the system's icon size. Thickens the
// black strokes of `bitmap` in place first. Pixels of the key colour are
// transparent, all others opaque. Returns an empty UniqueIcon when the
// system refuses to create it.
widgets::UniqueIcon MakeTrayIcon(widgets::TBitmap& bitmap);

// Seam for tests: reads SM_CXICON / SM_CYICON (defaults to GetSystemMetrics).
extern int(WINAPI* TrayIconMetrics)(int index);

}  // namespace monitor
