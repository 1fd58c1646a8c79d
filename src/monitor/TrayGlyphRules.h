// The tray figure's own pixel glyphs: digits, "G" and "T" designed for each
// taskbar size (16, 20, 24 and 32 pixels), so that the figure looks the same
// on every machine, whatever fonts it has. Pixel buffers are 32-bit words,
// row-major, top-down, as in TrayPictureRules.h.
#pragma once
#include <cstdint>
#include <string>

namespace monitor {

// One size's glyphs, as the tray shows them (after the icon's thickening
// step): every glyph is `width` x `height` pixels, and glyphs stand one blank
// column apart.
struct TrayGlyphSet {
    int size;           // the picture size the set is designed for
    int width, height;  // of every glyph
    int top;            // the glyphs' first row in the picture
    const char* const* rows;  // `height` rows of all glyphs side by side (see kTrayGlyphChars)
};

// The characters that have a glyph, in the order of the sets' rows.
constexpr wchar_t kTrayGlyphChars[] = L"0123456789GT";

// The set designed for `size`, or for a size of which `size` holds a whole
// multiple (see TrayFigureLayoutFor).
const TrayGlyphSet& TrayGlyphsFor(int size);

// Whether pixel (x, y) of `c`'s glyph in `set` is ink. False outside the
// glyph and for a character without a glyph.
bool TrayGlyphInk(const TrayGlyphSet& set, wchar_t c, int x, int y);

// Where a figure goes in a picture of `size`: its glyphs, each `scale` times
// the designed pixels, from column `left` and row `top`, `advance` columns
// apart. Characters without a glyph take no room.
struct TrayFigureLayout {
    const TrayGlyphSet* set;
    int scale;
    int left, top;
    int advance;  // glyph width plus the blank column, scaled
    int glyphs;   // how many characters of the text have a glyph
};
// At 16, 20, 24 and 32 pixels the set of that size; at any other size the
// set that, multiplied by a whole factor, covers the most of it (40 pixels:
// the 20-pixel set doubled). The figure is centred in the picture (an odd
// column left over goes to the right).
TrayFigureLayout TrayFigureLayoutFor(const std::wstring& text, int size);

// Draws `text` in a square picture of `size` pixels (the buffer `width`
// words wide) with `ink` as TrayFigureLayoutFor places it. Each vertical run
// of a glyph's ink is drawn without its top pixel: the icon's thickening
// step (ThickenBlack) paints it back, so that the tray shows the glyph as
// designed.
void DrawTrayFigure(std::uint32_t* pixels, int width, int size, const std::wstring& text, std::uint32_t ink);

}  // namespace monitor
