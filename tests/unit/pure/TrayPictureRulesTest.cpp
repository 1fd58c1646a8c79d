#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "monitor/TrayPictureRules.h"

using namespace monitor;

namespace {
constexpr std::uint32_t W = 0x00FFFFFF;  // white pixel word
constexpr std::uint32_t B = 0x00000000;  // black pixel word
}  // namespace

TEST(TrayBarRight, ThirtyOneColumnsPerHundredPercent) {
    EXPECT_EQ(2, TrayBarRight(0));  // no fill
    EXPECT_EQ(9, TrayBarRight(24));
    EXPECT_EQ(9, TrayBarRight(25));
    EXPECT_EQ(20, TrayBarRight(60));  // 1,860 div 100 = 18
    EXPECT_EQ(33, TrayBarRight(100));
    EXPECT_EQ(2, TrayBarRight(-1));  // truncation toward zero
    EXPECT_EQ(-29, TrayBarRight(-100));
    EXPECT_EQ(665719932, TrayBarRight(std::numeric_limits<std::int32_t>::max()));
    EXPECT_EQ(-665719928, TrayBarRight(std::numeric_limits<std::int32_t>::min()));
}

TEST(TrayBarLayout, TheDesignScaledToTheTaskbarsSizeKeepingOnePixelLines) {
    // frame left, top, right, bottom; fill left, top, bottom; columns, marker; R at 60 and 100 %
    const std::array<int, 12> cases[] = {{32, 1, 23, 32, 32, 2, 24, 31, 31, 2, 20, 33},  // the design
                                         {16, 1, 11, 16, 16, 2, 12, 15, 15, 1, 11, 17},  // 11.5 down
                                         {20, 1, 14, 20, 20, 2, 15, 19, 19, 1, 13, 21},
                                         {24, 1, 17, 24, 24, 2, 18, 23, 23, 2, 15, 25},
                                         {48, 2, 34, 48, 48, 3, 35, 47, 47, 3, 31, 50}};
    for (const auto& c : cases) {
        const int s = c[0];
        const TrayBarLayout b = TrayBarLayoutFor(s);
        EXPECT_EQ(c, (std::array<int, 12>{s, b.frameLeft, b.frameTop, b.frameRight, b.frameBottom, b.barLeft,
                                          b.barTop, b.barBottom, b.columns, b.markerWidth, TrayBarRight(60, s),
                                          TrayBarRight(100, s)}));
    }
    EXPECT_EQ(-1, TrayScale(-3, 16));  // halves round up, below zero too
    const std::pair<int, int> sizes[] = {{20, 20}, {128, 128}, {15, 16}, {0, 16}, {-24, 16}, {0x7FFFFFFF, 128}};
    for (const auto& [reported, drawn] : sizes) EXPECT_EQ(drawn, TrayPictureSize(reported)) << reported;
    EXPECT_EQ(20, SmallIconSizeAtDpi(120));
    EXPECT_EQ(715827882, SmallIconSizeAtDpi(0xFFFFFFFFu));
}

TEST(TrayBarColors, BlackAndLimeFromTwentyFivePercentRedBelow) {
    const TrayBarColors low = TrayBarColorsFor(24);
    EXPECT_EQ(kTrayRed, low.frame);
    EXPECT_EQ(kTrayRed, low.fill);
    EXPECT_EQ(kTrayRed, low.marker);
    const TrayBarColors enough = TrayBarColorsFor(25);
    EXPECT_EQ(kTrayBlack, enough.frame);
    EXPECT_EQ(kTrayLime, enough.fill);
    EXPECT_EQ(kTrayBlack, enough.marker);
    EXPECT_EQ(kTrayRed, TrayBarColorsFor(-5).fill);
    EXPECT_EQ(kTrayLime, TrayBarColorsFor(100).fill);
    EXPECT_EQ(0x0000FFu, kTrayRed);  // 0x00BBGGRR
    EXPECT_EQ(0x10423Fu, kTrayKeyColor);
    EXPECT_EQ(0x3F4210u, ColorToPixelWord(kTrayKeyColor));
}

TEST(TrayText, MegabytesBelowTenThousandThenGigabytesThenTerabytes) {
    const std::pair<std::int64_t, std::wstring> cases[] = {
        {9999, L"9999"},         {10000, L"9G"},         {23730, L"23G"},
        {131072, L"128G"},       {1023999, L"999G"},     {1024000, L"1T"},  // 1,000 GB: 0.98 TB
        {1572863, L"1T"},        {1572864, L"2T"},       {64LL << 20, L"64T"},
        {999LL << 20, L"999T"},  {INT64_MAX, L"999T"},   {594, L"594"},
        {-5, L"-5"},
    };
    for (const auto& [mb, text] : cases) EXPECT_EQ(text, TrayText(mb)) << mb;
}

TEST(TrayBarPercent, ACleanShowsItsProgressInAColourOfItsOwn) {
    const struct {
        std::int32_t free;
        int clean, shown;
    } cases[] = {{60, kTrayNoClean, 60}, {10, kTrayNoClean, 10}, {60, 0, 0},
                 {10, 70, 70},           {60, 250, 100},         {60, -7, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.shown, TrayBarPercent(c.free, c.clean)) << c.clean;
        const bool cleaning = c.clean != kTrayNoClean;
        EXPECT_EQ(cleaning, TrayBarColorsFor(c.free, c.clean).fill != TrayBarColorsFor(c.free).fill) << c.clean;
        EXPECT_EQ(cleaning, TrayBarColorsFor(c.free, c.clean).frame != TrayBarColorsFor(c.free).frame) << c.clean;
    }
}

TEST(ThickenBlack, EachBlackRunGrowsExactlyOnePixelUpwards) {
    // One column, 6 rows: a run of two black pixels at rows 3-4.
    std::vector<std::uint32_t> column = {W, W, W, B, B, W};
    ThickenBlack(column.data(), 1, 6, B);
    // Row 2 darkens; row 1 must not (row 2 was painted in this pass).
    EXPECT_EQ((std::vector<std::uint32_t>{W, W, B, B, B, W}), column);
}

TEST(ThickenBlack, ColumnsAreIndependentAndRowZeroHasNothingAbove) {
    const std::uint32_t R = 0x00FF0000, L = 0x0000FF00;
    std::vector<std::uint32_t> px = {
        B, W, W,  //
        W, R, W,  //
        W, L, B,  //
    };
    ThickenBlack(px.data(), 3, 3, B);
    // Column 2 grows into row 1 only: the pixel painted there is not examined again.
    EXPECT_EQ((std::vector<std::uint32_t>{B, W, W,  //
                                          W, R, B,  //
                                          W, L, B}),
              px);
}

TEST(ThickenBlack, OnlyExactBlackCountsAndTheUnusedTopByteIsIgnored) {
    std::vector<std::uint32_t> px = {W, W, W, 0x00000001, 0xFF000000, 0x00010000};
    ThickenBlack(px.data(), 3, 2, B);
    EXPECT_EQ((std::vector<std::uint32_t>{W, B, W, 0x00000001, 0xFF000000, 0x00010000}), px);
    ThickenBlack(nullptr, 3, 2, B);  // nothing to do, no crash
    ThickenBlack(px.data(), 0, 2, B);
    ThickenBlack(px.data(), 3, -1, B);
}

TEST(IconMaskBits, KeyPixelsSetMostSignificantBitFirstRowsPaddedToWords) {
    const std::uint32_t K = ColorToPixelWord(kTrayKeyColor);
    std::vector<std::uint32_t> px(17 * 2, W);
    px[0] = K;
    px[9] = K | 0xFF000000;  // top byte is not part of the colour
    px[17 + 16] = K;
    px[17 + 1] = K ^ 1;      // near the key is not the key
    const std::vector<std::uint8_t> mask = IconMaskBits(px.data(), 17, 2, K);
    ASSERT_EQ(8u, mask.size());  // 17 bits round up to two 16-bit words per row
    EXPECT_EQ((std::vector<std::uint8_t>{0x80, 0x40, 0x00, 0x00, 0x00, 0x00, 0x80, 0x00}), mask);
    EXPECT_TRUE(IconMaskBits(nullptr, 4, 4, K).empty());
}

TEST(PaintKeyBlack, KeyBecomesBlackOthersKeepTheirColourWithoutTopByte) {
    const std::uint32_t K = ColorToPixelWord(kTrayKeyColor);
    std::vector<std::uint32_t> px = {K, 0xFF00FF00, W, K | 0x01000000};
    PaintKeyBlack(px.data(), 2, 2, K);
    EXPECT_EQ((std::vector<std::uint32_t>{0, 0x0000FF00, W, 0}), px);
}
