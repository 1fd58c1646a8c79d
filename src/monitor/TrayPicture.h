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

// MakeTrayIcon for a caller that makes one icon after another (the tick):
// the colour picture and the mask handed to the system are kept from one icon
// to the next instead of being created and destroyed each time. The system
// copies both into every icon, so each icon stays as it was made. Holds three
// GDI objects (a memory DC, a DIB section and a monochrome bitmap) from the
// first icon on; they are made again only when the system's icon size changes.
class TrayIconMaker {
public:
    widgets::UniqueIcon Make(widgets::TBitmap& bitmap);

private:
    widgets::TBitmap color_;
    widgets::UniqueBitmap mask_;
    int maskWidth_ = 0, maskHeight_ = 0;
};

// Seam for tests: reads SM_CXICON / SM_CYICON (defaults to GetSystemMetrics).
extern int(WINAPI* TrayIconMetrics)(int index);

}  // namespace monitor
