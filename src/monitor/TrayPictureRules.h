// Layout and colour rules of the tray icon picture (free megabytes as a
// number above a small free-percent bar), and the pixel passes that turn the
// picture into an icon. Colours are 0x00BBGGRR values (the layout of a GDI
// COLORREF); pixel buffers are 32-bit 0x00RRGGBB words, row-major, top-down.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace monitor {

constexpr std::uint32_t RgbColor(std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
    return red | (green << 8) | (blue << 16);
}
constexpr std::uint32_t kTrayBlack = RgbColor(0, 0, 0);
constexpr std::uint32_t kTrayWhite = RgbColor(255, 255, 255);
constexpr std::uint32_t kTrayRed = RgbColor(255, 0, 0);
constexpr std::uint32_t kTrayLime = RgbColor(0, 255, 0);
// Pixels of this colour become transparent in the icon (0x10423F).
constexpr std::uint32_t kTrayKeyColor = RgbColor(63, 66, 16);

// At or above this free percentage the bar is black-framed and lime.
constexpr std::int32_t kTrayEnoughPercent = 25;

// The picture is designed at 32 x 32 pixels; the taskbar may show it at
// another size (its small-icon size: 16 pixels at 100 % display scale, 20 at
// 125 %, 24 at 150 %, 32 at 200 %), and the picture is then drawn at that
// size, its design scaled (TrayScale), so that nothing resamples it.
constexpr int kTrayDesignSize = 32;
// The sizes the picture is drawn at: the design is not made for less, and a
// taskbar larger than 8 times 100 % does not exist.
constexpr int kTrayMinSize = 16, kTrayMaxSize = 128;

// The size to draw at for the taskbar's small-icon size (what the system
// reports, in pixels): kept within kTrayMinSize..kTrayMaxSize, so that a
// failed or absurd report (0, negative, huge) still gives a picture.
int TrayPictureSize(int smallIconSize);

// The small-icon size at a display's DPI when nothing better can be asked:
// 16 pixels at 96 DPI (100 %), scaled and rounded down, 0 for no DPI.
int SmallIconSizeAtDpi(unsigned dpi);

// A coordinate or height of the 32-pixel design at `size`:
// designValue x size / 32, rounded to the nearest pixel (halves up). Exact
// at 32.
int TrayScale(int designValue, int size);

// Where the bar goes at a given size, right/bottom bounds exclusive. At 32:
// frame (1, 23)-(32, 32); fill (2, 24)-(R, 31) with R = percent x 31 div
// 100 + 2; end marker a pen of width 2 from (R + 1, 24) to (R + 1, 31).
// Scaled, the frame keeps its one-pixel line, the fill its one-pixel inset,
// and the marker is at least one pixel wide; the frame's top is rounded down
// (at 16 pixels row 11, leaving the fill three rows).
struct TrayBarLayout {
    int frameLeft, frameTop, frameRight, frameBottom;
    int barLeft, barTop, barBottom;
    int columns;      // fill columns per 100 percent (31 at 32: size - 1)
    int markerWidth;  // pen width of the end marker
};
TrayBarLayout TrayBarLayoutFor(int size);

// Right edge R of the bar fill: percent x columns div 100 + barLeft
// (truncating), exact for any int32 percent.
std::int32_t TrayBarRight(std::int32_t percent, int size = kTrayDesignSize);

struct TrayBarColors {
    std::uint32_t frame;   // pen of the frame rectangle
    std::uint32_t fill;    // brush of the bar
    std::uint32_t marker;  // pen of the end marker
};
// Black frame, lime fill and black marker from 25 percent up; all red below.
TrayBarColors TrayBarColorsFor(std::int32_t percent);

struct TrayTextLayout {
    int x, y;              // top-left corner of the text
    const wchar_t* font;   // face name
    int height;            // cell height in pixels (positive font height)
    bool bold;
};
// Where and in which font the free-megabyte number is written. At 32:
//   >= 1000: (0, 3), "MS Sans Serif" 18 bold;   100..999: (0, -2);
//   10..99: (5, -2);   below 10 (negative too): (12, -2);
// below 1000 always "MS Serif" 26 regular.
// At any other size every text is written regular in kTrayScaledFace (both
// named faces are raster fonts on Windows, with sizes that the scaled
// heights mostly miss) in the number band: at the scaled place of the
// figures below 1000 (x 0, 5 or 12 scaled; four digits and gigabytes at
// x 0), with cell height and top chosen by looking: 11 at y 0 at 16 pixels,
// 16 at y -1 at 20, 19 at y -1 at 24; at any other size 26 at y -2, scaled.
// A text wider than the picture is drawn narrower (DrawTrayImage).
TrayTextLayout TrayTextLayoutFor(std::int64_t freeMb, int size = kTrayDesignSize);

// The face of the scaled pictures: the TrueType face Windows offers for
// "MS Sans Serif", drawn from its outlines at any height.
constexpr wchar_t kTrayScaledFace[] = L"Microsoft Sans Serif";

// From this many free megabytes up the picture shows whole gigabytes: five
// digits would run past the 32-pixel picture.
constexpr std::int64_t kTrayGigabytesFromMb = 10000;

// The text the picture shows: the free megabytes as a decimal number below
// 10,000 MB; from there up the whole gigabytes (free MB div 1024) followed
// by "G" ("23G" for 23,730 MB).
std::wstring TrayText(std::int64_t freeMb);


// The largest cell height from `height` down to 1 at which the text's width
// (widthAt(h), as drawn in that height of the face) is at most maxWidth; 1
// when it fits at none.
int TrayTextFitHeight(int height, int maxWidth, const std::function<int(int)>& widthAt);

// The pixel passes below take their colours as pixel words, in the buffer's
// own layout (see ColorToPixelWord).

// Thickens dark strokes: every pixel whose colour is exactly `black` paints
// the pixel above it black. Rows are examined from 1 downwards, so a pixel
// painted in this pass (always in an already examined row) is never examined
// again: each black run grows by exactly one pixel at its top. The unused top
// byte of a pixel is ignored when comparing.
void ThickenBlack(std::uint32_t* pixels, int width, int height, std::uint32_t black);

// The icon's AND mask for a picture: one bit per pixel, most significant bit
// first, rows padded to 16 bits (the layout CreateBitmap takes). A bit is 1
// (transparent) where the pixel's colour is exactly `key`, else 0 (opaque).
std::vector<std::uint8_t> IconMaskBits(const std::uint32_t* pixels, int width, int height,
                                       std::uint32_t key);

// Prepares an icon's colour picture: pixels of the key colour become black
// (so the mask alone makes them transparent) and the unused top byte of every
// pixel is cleared (so no stray alpha value overrides the mask).
void PaintKeyBlack(std::uint32_t* pixels, int width, int height, std::uint32_t key);

// A 0x00BBGGRR colour as a 0x00RRGGBB pixel word.
constexpr std::uint32_t ColorToPixelWord(std::uint32_t color) {
    return ((color & 0xFFu) << 16) | (color & 0xFF00u) | ((color >> 16) & 0xFFu);
}

}  // namespace monitor
