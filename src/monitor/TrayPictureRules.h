// Layout and colour rules of the tray icon picture (free megabytes as a
// number above a small free-percent bar), and the pixel passes that turn the
// picture into an icon. Colours are 0x00BBGGRR values (the layout of a GDI
// COLORREF); pixel buffers are 32-bit 0x00RRGGBB words, row-major, top-down.
#pragma once
#include <cstdint>
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

// The bar's colour while a clean runs.
constexpr std::uint32_t kTrayCleaning = RgbColor(0, 120, 215);

// At or above this free percentage the bar is black-framed and lime.
constexpr std::int32_t kTrayEnoughPercent = 25;

// The picture is designed at 32 x 32 pixels; the taskbar may show it at
// another size (its small-icon size: 16 pixels at 100 % display scale, 20 at
// 125 %, 24 at 150 %, 32 at 200 %), and the picture is then drawn at that
// size, so that nothing resamples it: the bar's design scaled (TrayScale),
// the figure in the glyphs made for that size (TrayGlyphRules.h).
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

// How far a running clean is, in percent, for the picture; this value when
// no clean runs.
constexpr int kTrayNoClean = -1;

struct TrayBarColors {
    std::uint32_t frame;   // pen of the frame rectangle
    std::uint32_t fill;    // brush of the bar
    std::uint32_t marker;  // pen of the end marker
};
// Black frame, lime fill and black marker from 25 percent up; all red below;
// all kTrayCleaning while a clean runs (cleanPercent not kTrayNoClean).
TrayBarColors TrayBarColorsFor(std::int32_t percent, int cleanPercent = kTrayNoClean);

// While a clean runs, the bar shows how far it is instead of the free
// percent: cleanPercent from 0 to 100 (kept within that range).
std::int32_t TrayBarPercent(std::int32_t freePercent, int cleanPercent);

// From this many free megabytes up the picture shows whole gigabytes: five
// digits would not fit the picture.
constexpr std::int64_t kTrayGigabytesFromMb = 10000;
// From this many gigabytes up it shows terabytes ("1000G" would be five
// characters), rounded to the nearest whole one and at most kTrayMostTerabytes.
constexpr std::int64_t kTrayTerabytesFromGb = 1000;
constexpr std::int64_t kTrayMostTerabytes = 999;

// The text the picture shows: the free megabytes as a decimal number below
// 10,000 MB; from there up the whole gigabytes (free MB div 1024) followed
// by "G" ("23G" for 23,730 MB); from 1,000 GB the terabytes followed by "T",
// rounded to the nearest ("1T" from 1,000 GB to 1,535 GB, "2T" from 1,536 GB),
// at most "999T". At most four characters, each with a glyph
// (TrayGlyphRules.h); a negative reading keeps its minus sign, which has none.
std::wstring TrayText(std::int64_t freeMb);

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
