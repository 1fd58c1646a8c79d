#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "monitor/TrayGlyphRules.h"
#include "monitor/TrayPictureRules.h"

using namespace monitor;

namespace {

constexpr std::uint32_t kWhite = 0x00FFFFFF, kInk = 0;

// The figure as the tray shows it: drawn on white, then thickened as the icon is.
std::vector<std::uint32_t> Shown(const std::wstring& text, int size) {
    std::vector<std::uint32_t> px(static_cast<std::size_t>(size) * size, kWhite);
    DrawTrayFigure(px.data(), size, size, text, kInk);
    ThickenBlack(px.data(), size, size, kInk);
    return px;
}

int InkCount(const std::vector<std::uint32_t>& px) {
    int n = 0;
    for (const std::uint32_t p : px) n += p == kInk;
    return n;
}

// Checks a figure at a size; returns what is wrong, or "" when nothing is.
std::string Check(const std::wstring& text, int size, const std::vector<int>& inkOfGlyph) {
    const std::vector<std::uint32_t> px = Shown(text, size);
    std::vector<bool> column(size, false);
    int lowest = -1;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            if (px[static_cast<std::size_t>(y) * size + x] == kInk) column[x] = true, lowest = y;
    // Runs of inked columns: one per glyph when blank columns part them all.
    int runs = 0, first = -1, last = -1;
    for (int x = 0; x < size; ++x) {
        if (!column[x]) continue;
        if (x == 0 || !column[x - 1]) ++runs;
        if (first < 0) first = x;
        last = x;
    }
    int whole = 0;  // each glyph's ink drawn alone: nothing of the figure is cut off
    for (const wchar_t c : text) whole += inkOfGlyph[std::wstring(kTrayGlyphChars).find(c)];
    const int margin = text.size() <= 3 || size >= 20 ? 1 : 0;
    if (runs != static_cast<int>(text.size())) return "glyphs touch";
    if (InkCount(px) != whole) return "cut off";
    if (first < margin || last > size - 1 - margin) return "no margin";
    // A blank row above the bar's frame, which the thickening raises by one.
    if (lowest >= TrayBarLayoutFor(size).frameTop - 2) return "into the bar";
    return "";
}

}  // namespace

// Every figure the picture can show, at every taskbar size.
TEST(TrayFigure, EveryFigureFitsWholeWithMarginsAndGlyphsApart) {
    std::vector<std::int64_t> readings;
    for (std::int64_t mb = 0; mb < kTrayGigabytesFromMb; ++mb) readings.push_back(mb);
    for (std::int64_t gb = 9; gb < kTrayTerabytesFromGb; ++gb) readings.push_back(gb == 9 ? 10000 : gb * 1024);
    for (std::int64_t tb = 1; tb <= kTrayMostTerabytes + 1; ++tb) readings.push_back(tb * 1024 * 1024);
    readings.push_back(INT64_MAX);
    for (const int size : {16, 20, 24, 32, 40}) {
        std::vector<int> inkOfGlyph;
        for (const wchar_t* c = kTrayGlyphChars; *c; ++c) inkOfGlyph.push_back(InkCount(Shown({*c}, size)));
        int failures = 0;
        for (const std::int64_t mb : readings) {
            const std::wstring text = TrayText(mb);
            const std::string wrong = Check(text, size, inkOfGlyph);
            EXPECT_EQ("", wrong) << size << " px: " << std::string(text.begin(), text.end());
            if (!wrong.empty() && ++failures == 5) break;
        }
    }
}

TEST(TrayFigure, GlyphsArePairwiseDifferentAndShowAsDesigned) {
    for (const int size : {16, 20, 24, 32}) {
        const TrayGlyphSet& set = TrayGlyphsFor(size);
        std::vector<std::vector<std::uint32_t>> shown;
        for (const wchar_t* c = kTrayGlyphChars; *c; ++c) {
            shown.push_back(Shown({*c}, size));
            // Every designed pixel shows after the thickening, and no other.
            const TrayFigureLayout f = TrayFigureLayoutFor({*c}, size);
            int differ = 0;
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x)
                    differ += (shown.back()[y * size + x] == kInk) != TrayGlyphInk(set, *c, x - f.left, y - f.top);
            EXPECT_EQ(0, differ) << size << " px, " << char(*c);
            for (std::size_t i = 0; i + 1 < shown.size(); ++i)
                EXPECT_NE(shown[i], shown.back()) << size << " px: " << char(kTrayGlyphChars[i]) << char(*c);
        }
    }
}
