// The tray icon picture: free physical megabytes as a number above a small
// free-percent bar, painted on a 32 x 32 bitmap and turned into an icon.
#pragma once
#include <windows.h>
#include <cstdint>

#include "monitor/TrayPictureRules.h"
#include "widgets/Graphics.h"
#include "platform/Handle.h"

namespace monitor {

// Paints the picture on the canvas of `image`, at the image's size (a square;
// 32 x 32 is the design): white background, the figure (TrayText, in the
// glyphs of TrayGlyphRules.h, the same on every machine), the bar frame, fill
// and end marker (places by TrayBarLayoutFor, colours by TrayBarColorsFor,
// right edge by TrayBarRight). While a clean runs, `cleanPercent` is how far
// it is (0 to 100), and the bar shows that in the cleaning colour; with
// kTrayNoClean (no clean) it shows the free percent.
void DrawTrayImage(widgets::TBitmap& image, std::int32_t percent, std::int64_t freeMB,
                   int cleanPercent = kTrayNoClean);

// Turns the picture into an icon of the system's icon size. Thickens the
// black strokes of `bitmap` in place first. Pixels of the key colour are
// transparent, all others opaque. Returns an empty UniqueIcon when the
// system refuses to create it.
platform::UniqueIcon MakeTrayIcon(widgets::TBitmap& bitmap);

// MakeTrayIcon for a caller that makes one icon after another (the tick):
// the colour picture and the mask handed to the system are kept from one icon
// to the next instead of being created and destroyed each time. The system
// copies both into every icon, so each icon stays as it was made. Holds three
// GDI objects (a memory DC, a DIB section and a monochrome bitmap) from the
// first icon on; they are made again only when the system's icon size changes.
class TrayIconMaker {
public:
    // At the system's icon size, as MakeTrayIcon.
    platform::UniqueIcon Make(widgets::TBitmap& bitmap);
    // At cx x cy pixels (the picture's own size: nothing is resampled).
    platform::UniqueIcon Make(widgets::TBitmap& bitmap, int cx, int cy);

private:
    widgets::TBitmap color_;
    platform::UniqueBitmap mask_;
    int maskWidth_ = 0, maskHeight_ = 0;
};

// The taskbar's small-icon size in pixels, at the display scale of the
// monitor the taskbar is on (the size at which the notification area shows
// icons). The process stays DPI-unaware, so the system would tell it 16 at
// every scale; instead, each function looked up at run time:
//   Windows 10 1607 and later: GetSystemMetricsForDpi(SM_CXSMICON) for the
//     taskbar monitor's DPI (GetDpiForMonitor), both asked from a
//     per-monitor-aware thread context set around the question only;
//   Windows 8.1: the small-icon size for GetDpiForMonitor's DPI;
//   before: GetSystemMetrics(SM_CXSMICON).
// May return anything the system says (0 included): see TrayPictureSize.
int TaskbarSmallIconSize();

// ---- Seams for tests (replaced through platform::ScopedSeam) ----
// Reads SM_CXICON / SM_CYICON (defaults to GetSystemMetrics).
extern int(WINAPI* TrayIconMetrics)(int index);
// The taskbar's small-icon size (defaults to TaskbarSmallIconSize).
extern int (*TrayIconSizeQuery)();

}  // namespace monitor
