#include "monitor/TrayGlyphRules.h"


namespace monitor {

namespace {

// The glyphs of each set as the tray shows them, "0123456789GT" side by
// side, one blank between glyphs. Horizontal strokes are two rows tall: the
// icon's thickening makes any drawn black run at least that, so every
// vertical run of ink here is two pixels or more. Small sizes have
// one-pixel stems (three columns are all four digits leave at 16 and 20);
// at 32 the stems are two pixels, as the strokes across.

// 16 pixels: 3 x 8, rows 1 to 8; the bar's thickened frame starts at row 10.
const char* const kRows16[] = {
    ".#. .#. ##. ##. #.# ### .## ### .#. .#. .## ###",
    "### ##. ### ### #.# ### ### ### ### ### ### ###",
    "#.# ##. ..# ..# #.# #.. #.. ..# #.# #.# #.. .#.",
    "#.# .#. .## .## ### ##. ### .#. ### ### #.. .#.",
    "#.# .#. .#. .## ### .## ### .#. ### ### #.# .#.",
    "#.# .#. #.. ..# ..# ..# #.# #.. #.# ..# #.# .#.",
    "### ### ### ### ..# ### ### #.. ### ### ### .#.",
    ".#. ### ### ##. ..# ##. .#. #.. .#. ##. .## .#.",
};

// 20 pixels: 3 x 10, rows 2 to 11; the thickened frame starts at row 13.
const char* const kRows20[] = {
    ".#. .#. ##. ##. #.# ### .## ### .#. .#. .## ###",
    "### ##. ### ### #.# ### ### ### ### ### ### ###",
    "#.# ##. ..# ..# #.# #.. #.. ..# #.# #.# #.. .#.",
    "#.# .#. ..# ..# #.# #.. #.. ..# #.# #.# #.. .#.",
    "#.# .#. .## .## ### ##. ### .#. ### ### #.. .#.",
    "#.# .#. .#. .## ### .## ### .#. ### ### #.# .#.",
    "#.# .#. #.. ..# ..# ..# #.# #.. #.# ..# #.# .#.",
    "#.# .#. #.. ..# ..# ..# #.# #.. #.# ..# #.# .#.",
    "### ### ### ### ..# ### ### #.. ### ### ### .#.",
    ".#. ### ### ##. ..# ##. .#. #.. .#. ##. .## .#.",
};

// 24 pixels: 4 x 12, rows 2 to 13; the thickened frame starts at row 16.
const char* const kRows24[] = {
    ".##. ..#. .##. .##. #..# #### .##. #### .##. .##. .##. ####",
    "#### .##. #### #### #..# #### #### #### #### #### #### ####",
    "#..# .##. #..# #..# #..# #... #..# ...# #..# #..# #..# .##.",
    "#..# ..#. ...# ...# #..# #... #... ...# #..# #..# #... .##.",
    "#..# ..#. ...# ...# #..# ###. #... ..#. #..# #..# #... .##.",
    "#..# ..#. ..## .### #### #### ###. ..#. #### #### #.## .##.",
    "#..# ..#. .##. .### #### ...# #### .#.. #### .### #.## .##.",
    "#..# ..#. .#.. ...# ...# ...# #..# .#.. #..# ...# #..# .##.",
    "#..# ..#. #... ...# ...# ...# #..# .#.. #..# ...# #..# .##.",
    "#..# ..#. #... #..# ...# #..# #..# .#.. #..# #..# #..# .##.",
    "#### #### #### #### ...# #### #### .#.. #### #### #### .##.",
    ".##. #### #### .##. ...# .##. .##. .#.. .##. .##. .### .##.",
};

// 32 pixels: 6 x 18, rows 2 to 19; the thickened frame starts at row 22.
const char* const kRows32[] = {
    ".####. ..##.. .####. .####. ##..## ###### .####. ###### .####. .####. .####. ######",
    "###### .###.. ###### ###### ##..## ###### ###### ###### ###### ###### ###### ######",
    "##..## ####.. ##..## ##..## ##..## ##.... ##..## ....## ##..## ##..## ##..## ..##..",
    "##..## ####.. ....## ....## ##..## ##.... ##.... ....## ##..## ##..## ##.... ..##..",
    "##..## ..##.. ....## ....## ##..## ##.... ##.... ....## ##..## ##..## ##.... ..##..",
    "##..## ..##.. ....## ....## ##..## ##.... ##.... ...##. ##..## ##..## ##.... ..##..",
    "##..## ..##.. ....## ....## ##..## ##.... ##.... ...##. ##..## ##..## ##.... ..##..",
    "##..## ..##.. ...### ....## ##..## #####. #####. ...##. ##..## ##..## ##.... ..##..",
    "##..## ..##.. ..###. ..#### ###### ###### ###### ..##.. .####. ###### ##.### ..##..",
    "##..## ..##.. .###.. ..#### ###### ....## ##..## ..##.. .####. .##### ##.### ..##..",
    "##..## ..##.. ###... ....## ....## ....## ##..## ..##.. ##..## ....## ##..## ..##..",
    "##..## ..##.. ##.... ....## ....## ....## ##..## .##... ##..## ....## ##..## ..##..",
    "##..## ..##.. ##.... ....## ....## ....## ##..## .##... ##..## ....## ##..## ..##..",
    "##..## ..##.. ##.... ....## ....## ....## ##..## .##... ##..## ....## ##..## ..##..",
    "##..## ..##.. ##.... ....## ....## ....## ##..## .##... ##..## ....## ##..## ..##..",
    "##..## ..##.. ##.... ##..## ....## ##..## ##..## .##... ##..## ##..## ##..## ..##..",
    "###### ###### ###### ###### ....## ###### ###### .##... ###### ###### ###### ..##..",
    ".####. ###### ###### .####. ....## .####. .####. .##... .####. .####. .##### ..##..",
};

const TrayGlyphSet kSets[] = {
    {32, 6, 18, 2, kRows32},
    {24, 4, 12, 2, kRows24},
    {20, 3, 10, 2, kRows20},
    {16, 3, 8, 1, kRows16},
};

int GlyphIndex(wchar_t c) {
    for (int i = 0; kTrayGlyphChars[i] != 0; ++i)
        if (kTrayGlyphChars[i] == c) return i;
    return -1;
}

// The set and factor that cover the most of `size`; the larger set when two
// cover alike (48: the 24-pixel set doubled, not the 16-pixel one tripled).
const TrayGlyphSet& BestSet(int size, int* scale) {
    const TrayGlyphSet* best = &kSets[3];
    int bestScale = 1, covered = 0;
    for (const TrayGlyphSet& set : kSets) {
        const int k = size / set.size;
        if (k >= 1 && k * set.size > covered) {
            best = &set;
            bestScale = k;
            covered = k * set.size;
        }
    }
    if (scale) *scale = bestScale;
    return *best;
}

}  // namespace

const TrayGlyphSet& TrayGlyphsFor(int size) { return BestSet(size, nullptr); }

bool TrayGlyphInk(const TrayGlyphSet& set, wchar_t c, int x, int y) {
    const int index = GlyphIndex(c);
    if (index < 0 || x < 0 || y < 0 || x >= set.width || y >= set.height) return false;
    return set.rows[y][index * (set.width + 1) + x] == '#';
}

TrayFigureLayout TrayFigureLayoutFor(const std::wstring& text, int size) {
    TrayFigureLayout f{};
    f.set = &BestSet(size, &f.scale);
    for (const wchar_t c : text) f.glyphs += GlyphIndex(c) >= 0;
    f.advance = (f.set->width + 1) * f.scale;
    const int width = f.glyphs > 0 ? f.glyphs * f.advance - f.scale : 0;
    // Centred, the odd column to the right: where four glyphs take 15 of 16
    // columns, the last one stays blank, as it does above the frame's end.
    f.left = (size - width) / 2;
    f.top = f.set->top * f.scale;
    return f;
}

void DrawTrayFigure(std::uint32_t* pixels, int width, int size, const std::wstring& text, std::uint32_t ink) {
    if (pixels == nullptr || width < size || size <= 0) return;
    const TrayFigureLayout f = TrayFigureLayoutFor(text, size);
    const TrayGlyphSet& set = *f.set;
    int x0 = f.left;
    for (const wchar_t c : text) {
        if (GlyphIndex(c) < 0) continue;
        for (int gy = 0; gy < set.height; ++gy)
            for (int gx = 0; gx < set.width; ++gx) {
                if (!TrayGlyphInk(set, c, gx, gy)) continue;
                // The run's top pixel (scaled: its top row) is the thickening's.
                const bool runTop = !TrayGlyphInk(set, c, gx, gy - 1);
                for (int sy = runTop ? 1 : 0; sy < f.scale; ++sy)
                    for (int sx = 0; sx < f.scale; ++sx) {
                        const int x = x0 + gx * f.scale + sx, y = f.top + gy * f.scale + sy;
                        if (x >= 0 && x < size && y >= 0 && y < size)
                            pixels[static_cast<std::size_t>(y) * width + x] = ink;
                    }
            }
        x0 += f.advance;
    }
}

}  // namespace monitor
