#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "monitor/TrayGlyphRules.h"
#include "monitor/TrayPictureRules.h"

using namespace monitor;

namespace {

// The figure as the tray shows it: drawn on white (1), then thickened as the icon is.
std::vector<std::uint32_t> Shown(const std::wstring& text, int size) {
    std::vector<std::uint32_t> px(static_cast<std::size_t>(size) * size, 1);
    DrawTrayFigure(px.data(), size, size, text, 0);
    ThickenBlack(px.data(), size, size, 0);
    return px;
}

int Ink(const std::wstring& text, int size) {
    const std::vector<std::uint32_t> px = Shown(text, size);
    return static_cast<int>(std::count(px.begin(), px.end(), 0u));
}

// What is wrong with a figure at a size, or "".
std::string Check(const std::wstring& text, int size, const std::vector<int>& glyphInk) {
    const std::vector<std::uint32_t> px = Shown(text, size);
    std::vector<bool> inked(size, false);
    int lowest = -1, runs = 0, first = size, last = -1, whole = 0;
    for (int i = 0; i < size * size; ++i)
        if (px[i] == 0) inked[i % size] = true, lowest = i / size;
    for (int x = 0; x < size; ++x)
        if (inked[x]) runs += x == 0 || !inked[x - 1], first = std::min(first, x), last = x;
    for (const wchar_t c : text) whole += glyphInk[std::wstring(kTrayGlyphChars).find(c)];
    const int margin = text.size() <= 3 || size >= 20 ? 1 : 0;
    if (runs != static_cast<int>(text.size())) return "glyphs touch";  // a blank column between each two
    if (static_cast<int>(std::count(px.begin(), px.end(), 0u)) != whole) return "cut off";
    if (first < margin || last > size - 1 - margin) return "no margin";
    if (lowest >= TrayBarLayoutFor(size).frameTop - 2) return "into the bar";  // above its thickened frame
    return "";
}

}  // namespace

// Every figure the picture can show, at every taskbar size (and one doubled set).
TEST(TrayFigure, EveryFigureFitsWholeWithMarginsAndGlyphsApart) {
    std::vector<std::int64_t> readings;
    for (std::int64_t mb = 0; mb < kTrayGigabytesFromMb; ++mb) readings.push_back(mb);
    for (std::int64_t gb = 9; gb < kTrayTerabytesFromGb; ++gb) readings.push_back(gb == 9 ? 10000 : gb * 1024);
    for (std::int64_t tb = 1; tb <= kTrayMostTerabytes + 1; ++tb) readings.push_back(tb << 20);
    for (const int size : {16, 20, 24, 32, 40}) {
        std::vector<int> glyphInk;
        for (const wchar_t* c = kTrayGlyphChars; *c; ++c) glyphInk.push_back(Ink({*c}, size));
        int failures = 0;
        for (std::size_t i = 0; i < readings.size() && failures < 5; ++i) {
            const std::wstring text = TrayText(readings[i]);
            const std::string wrong = Check(text, size, glyphInk);
            failures += !wrong.empty();
            EXPECT_EQ("", wrong) << size << " px: " << std::string(text.begin(), text.end());
        }
    }
}

// Each glyph shows after the thickening exactly as designed, and no two are alike.
TEST(TrayFigure, GlyphsArePairwiseDifferentAndShowAsDesigned) {
    for (const int size : {16, 20, 24, 32}) {
        std::vector<std::vector<std::uint32_t>> shown;
        for (const wchar_t* c = kTrayGlyphChars; *c; ++c) {
            shown.push_back(Shown({*c}, size));
            const TrayFigureLayout f = TrayFigureLayoutFor({*c}, size);
            for (int i = 0; i < size * size; ++i)
                ASSERT_EQ(shown.back()[i] == 0, TrayGlyphInk(*f.set, *c, i % size - f.left, i / size - f.top))
                    << size << " px, " << char(*c) << " at " << i % size << "," << i / size;
            for (std::size_t j = 0; j + 1 < shown.size(); ++j)
                EXPECT_NE(shown[j], shown.back()) << size << " px: " << char(kTrayGlyphChars[j]) << char(*c);
        }
    }
}
