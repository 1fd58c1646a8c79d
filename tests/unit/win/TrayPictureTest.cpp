#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "monitor/TrayGlyphRules.h"
#include "monitor/TrayPicture.h"
#include "monitor/TrayPictureRules.h"

using namespace widgets;
using namespace platform;
using namespace monitor;

namespace {

constexpr int kSize = 32;

TColor At(TBitmap& bmp, int x, int y) { return PixelToColor(bmp.Bits()[y * bmp.Width() + x]); }

// Black pixels of the number inside a column and row range (inclusive).
int InkIn(TBitmap& bmp, int x0, int x1, int y0, int y1) {
    int n = 0;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) n += At(bmp, x, y) == clBlack;
    return n;
}

std::vector<std::uint32_t> Snapshot(TBitmap& bmp) {
    const std::uint32_t* p = bmp.Bits();
    return std::vector<std::uint32_t>(p, p + bmp.Width() * bmp.Height());
}

// The icon drawn over a blue background at its own size.
std::vector<TColor> Render(HICON icon, int size) {
    TBitmap target(size, size);
    target.Canvas().SetBrushColor(RGB(0, 0, 255));
    target.Canvas().FillRect(RECT{0, 0, size, size});
    EXPECT_TRUE(::DrawIconEx(target.Dc(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL));
    std::vector<TColor> out;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) out.push_back(At(target, x, y));
    return out;
}

SIZE IconColorSize(HICON icon) {
    ICONINFO info{};
    EXPECT_TRUE(::GetIconInfo(icon, &info));
    platform::UniqueBitmap color(info.hbmColor), mask(info.hbmMask);  // GetIconInfo hands out copies
    EXPECT_TRUE(info.fIcon);
    BITMAP bm{};
    ::GetObjectW(color.get(), sizeof bm, &bm);
    return SIZE{bm.bmWidth, bm.bmHeight};
}

int WINAPI SixteenPixelIcons(int) { return 16; }

}  // namespace

TEST(DrawTrayImage, BarFrameFillAndMarkerByPercent) {
    const struct {
        std::int32_t percent;
        int right;
        TColor frame, fill;
    } cases[] = {
        {0, 2, clRed, clRed},      {24, 9, clRed, clRed},     {25, 9, clBlack, clLime},
        {60, 20, clBlack, clLime}, {100, 33, clBlack, clLime},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.percent);
        TBitmap bmp(kSize, kSize);
        DrawTrayImage(bmp, c.percent, 594);
        for (int x = 1; x <= 31; ++x) {
            EXPECT_EQ(c.frame, At(bmp, x, 23)) << x;
            EXPECT_EQ(c.frame, At(bmp, x, 31)) << x;
        }
        EXPECT_EQ(clWhite, At(bmp, 0, 27));  // the frame starts at column 1
        for (int y = 24; y <= 30; ++y) {
            EXPECT_EQ(c.frame, At(bmp, 1, y));
            for (int x = 2; x < c.right && x < kSize; ++x) EXPECT_EQ(c.fill, At(bmp, x, y)) << x;
            if (c.right + 1 < 31) {
                EXPECT_EQ(c.frame, At(bmp, c.right + 1, y));  // end marker
            }
            for (int x = c.right + 3; x <= 30; ++x) EXPECT_EQ(clWhite, At(bmp, x, y)) << x;
        }
    }
}

TEST(DrawTrayImage, FullBarCoversTheFrameRightEdge) {
    TBitmap bmp(kSize, kSize);
    DrawTrayImage(bmp, 100, 594);
    for (int y = 24; y <= 30; ++y) EXPECT_EQ(clLime, At(bmp, 31, y));
}

// The figure is the program's own glyphs, whatever fonts the machine has:
// above the bar the picture holds exactly what DrawTrayFigure draws.
TEST(DrawTrayImage, TheFigureIsDrawnFromTheProgramsGlyphsAtEachSize) {
    for (const int size : {16, 20, 24, 32})
        for (const std::int64_t mb : {7, 594, 1234, 23730}) {
            TBitmap bmp(size, size);
            DrawTrayImage(bmp, 60, mb);
            std::vector<std::uint32_t> figure(size * size, ColorToPixel(clWhite));
            DrawTrayFigure(figure.data(), size, size, TrayText(mb), ColorToPixel(clBlack));
            const std::vector<std::uint32_t> drawn = Snapshot(bmp);
            for (int i = 0; i < size * (TrayBarLayoutFor(size).frameTop - 1); ++i)
                ASSERT_EQ(figure[i], drawn[i] & 0x00FFFFFFu) << size << " px, " << mb << " MB, pixel " << i;
        }
}

// At every taskbar size every figure shows above a framed, filled bar;
// gigabytes keep clear of the last column.
TEST(DrawTrayImage, AtEachTaskbarSizeTheFigureShowsAboveAFramedBar) {
    for (const int size : {16, 20, 24, 32}) {
        const TrayBarLayout bar = TrayBarLayoutFor(size);
        const int textRows = bar.frameTop - 1;  // the row above the frame darkens in the icon
        TBitmap bmp(size, size);
        for (std::int64_t mb = 7; mb <= 9999 * 1024; mb = mb < 10000 ? mb * 3 + 1 : mb + 7 * 1024) {
            DrawTrayImage(bmp, 60, mb);
            ASSERT_TRUE(InkIn(bmp, 0, size - 1, 0, textRows - 1) > size / 3 &&
                        (mb < 10000 || InkIn(bmp, size - 1, size - 1, 0, textRows - 1) == 0) &&
                        At(bmp, bar.frameLeft, bar.barTop) == clBlack && At(bmp, bar.barLeft, bar.barTop) == clLime)
                << size << " px, " << mb << " MB";
        }
    }
}

// While a clean runs the bar steps with its progress; the figure stays, and
// the picture is the usual one again once the clean ends.
TEST(DrawTrayImage, WhileACleanRunsTheBarStepsWithItsProgress) {
    TBitmap bmp(kSize, kSize);
    DrawTrayImage(bmp, 60, 594);
    const std::vector<std::uint32_t> usual = Snapshot(bmp);
    const TrayBarLayout bar = TrayBarLayoutFor(kSize);
    const auto barStart = usual.begin() + bar.frameTop * kSize;
    int lastBarInk = -1;
    for (const int progress : {0, 30, 70, 100}) {
        DrawTrayImage(bmp, 60, 594, progress);
        const std::vector<std::uint32_t> shown = Snapshot(bmp);
        EXPECT_TRUE(std::equal(usual.begin(), barStart, shown.begin())) << progress;  // the figure
        EXPECT_FALSE(std::equal(barStart, usual.end(), shown.begin() + bar.frameTop * kSize)) << progress;
        const int barInk = kSize * kSize - InkIn(bmp, 0, kSize - 1, 0, kSize - 1) -
                           static_cast<int>(std::count(shown.begin(), shown.end(), ColorToPixel(clWhite)));
        EXPECT_GT(barInk, lastBarInk) << progress;
        lastBarInk = barInk;
    }
    DrawTrayImage(bmp, 60, 594);
    EXPECT_EQ(usual, Snapshot(bmp));
}

TEST(MakeTrayIcon, ThickeningDarkensTheRowAboveABlackFrame) {
    TBitmap bmp(kSize, kSize);
    DrawTrayImage(bmp, 60, 7);
    ASSERT_EQ(clWhite, At(bmp, 30, 22));
    platform::UniqueIcon icon = MakeTrayIcon(bmp);
    ASSERT_TRUE(icon);
    for (int x = 1; x <= 31; ++x) EXPECT_EQ(clBlack, At(bmp, x, 22)) << x;
    EXPECT_EQ(clWhite, At(bmp, 30, 21));  // one pixel, not the whole column
    EXPECT_EQ(clLime, At(bmp, 5, 24));   // colours other than black stay

    TBitmap low(kSize, kSize);
    DrawTrayImage(low, 24, 7);
    icon = MakeTrayIcon(low);
    EXPECT_EQ(clWhite, At(low, 30, 22));  // a red frame does not grow
}

TEST(MakeTrayIcon, IconShowsTheThickenedPictureOpaque) {
    if (::GetSystemMetrics(SM_CXICON) != kSize || ::GetSystemMetrics(SM_CYICON) != kSize)
        GTEST_SKIP() << "system icon size is not 32 x 32";
    TBitmap bmp(kSize, kSize);
    DrawTrayImage(bmp, 60, 594);
    platform::UniqueIcon icon = MakeTrayIcon(bmp);
    ASSERT_TRUE(icon);
    const SIZE size = IconColorSize(icon.get());
    EXPECT_EQ(kSize, size.cx);
    EXPECT_EQ(kSize, size.cy);
    const std::vector<TColor> shown = Render(icon.get(), kSize);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
            ASSERT_EQ(At(bmp, x, y), shown[y * kSize + x]) << "x=" << x << " y=" << y;
}

TEST(MakeTrayIcon, KeyColouredPixelsBecomeTransparent) {
    if (::GetSystemMetrics(SM_CXICON) != kSize || ::GetSystemMetrics(SM_CYICON) != kSize)
        GTEST_SKIP() << "system icon size is not 32 x 32";
    TBitmap bmp(kSize, kSize);
    DrawTrayImage(bmp, 60, 7);
    const TColor key = RGB(63, 66, 16);
    bmp.Canvas().SetPixel(3, 3, key);
    bmp.Canvas().SetPixel(25, 27, key);  // white above white: thickening leaves it
    platform::UniqueIcon icon = MakeTrayIcon(bmp);
    ASSERT_TRUE(icon);
    const std::vector<TColor> shown = Render(icon.get(), kSize);
    EXPECT_EQ(RGB(0, 0, 255), shown[3 * kSize + 3]);    // background shows through
    EXPECT_EQ(RGB(0, 0, 255), shown[27 * kSize + 25]);
    EXPECT_EQ(clWhite, shown[3 * kSize + 4]);           // neighbours stay opaque
    EXPECT_EQ(clWhite, shown[27 * kSize + 27]);
}

TEST(MakeTrayIcon, StretchesToTheSystemIconSize) {
    TrayIconMetrics = SixteenPixelIcons;
    TBitmap bmp(kSize, kSize);
    DrawTrayImage(bmp, 60, 594);
    platform::UniqueIcon icon = MakeTrayIcon(bmp);
    TrayIconMetrics = ::GetSystemMetrics;
    ASSERT_TRUE(icon);
    const SIZE size = IconColorSize(icon.get());
    EXPECT_EQ(16, size.cx);
    EXPECT_EQ(16, size.cy);
    const std::vector<TColor> shown = Render(icon.get(), 16);
    EXPECT_EQ(clLime, shown[13 * 16 + 4]);   // picture (8, 26): inside the bar
    EXPECT_EQ(clWhite, shown[13 * 16 + 14]); // picture (28, 26): right of the marker
}

TEST(MakeTrayIcon, ThousandTicksLeaveNoGdiObjectOrIcon) {
    TBitmap bmp(kSize, kSize);
    {
        DrawTrayImage(bmp, 60, 594);  // let the canvas create its pen, brush and font
        platform::UniqueIcon warmUp = MakeTrayIcon(bmp);
    }
    const int gdiBefore = platform::LiveGdiObjects();
    const int iconsBefore = platform::UniqueIcon::liveCount();
    for (int i = 0; i < 1000; ++i) {
        // Alternate figures and colours so that the canvas swaps its objects.
        DrawTrayImage(bmp, i % 2 ? 10 : 80, i % 3 ? 594 : 1500, i % 5 ? kTrayNoClean : 40);
        UniqueIcon icon = MakeTrayIcon(bmp);
        ASSERT_TRUE(icon) << i;
    }
    EXPECT_EQ(gdiBefore, platform::LiveGdiObjects());
    EXPECT_EQ(iconsBefore, platform::UniqueIcon::liveCount());
}

TEST(TrayIconMaker, EachIconIsTheOneAFreshMakerWouldMakeAndStaysAsMade) {
    if (::GetSystemMetrics(SM_CXICON) != kSize || ::GetSystemMetrics(SM_CYICON) != kSize)
        GTEST_SKIP() << "system icon size is not 32 x 32";
    TrayIconMaker maker;
    const struct {
        std::int32_t percent;
        std::int64_t freeMb;
    } pictures[] = {{60, 594}, {10, 7}, {100, 1500}, {24, 88}, {60, 594}};
    std::vector<UniqueIcon> made;
    std::vector<std::vector<TColor>> shown;
    for (const auto& p : pictures) {
        SCOPED_TRACE(p.freeMb);
        TBitmap kept(kSize, kSize), fresh(kSize, kSize);
        DrawTrayImage(kept, p.percent, p.freeMb);
        DrawTrayImage(fresh, p.percent, p.freeMb);
        made.push_back(maker.Make(kept));
        ASSERT_TRUE(made.back());
        const platform::UniqueIcon reference = MakeTrayIcon(fresh);
        EXPECT_EQ(Snapshot(fresh), Snapshot(kept));  // thickened alike
        shown.push_back(Render(made.back().get(), kSize));
        EXPECT_EQ(Render(reference.get(), kSize), shown.back());
    }
    // The kept surfaces were drawn over four more times: the icons made from
    // them still show their own pictures.
    for (std::size_t i = 0; i < made.size(); ++i) EXPECT_EQ(shown[i], Render(made[i].get(), kSize)) << i;
    EXPECT_NE(shown[0], shown[1]);
    EXPECT_EQ(shown[0], shown[4]);
}

TEST(TrayIconMaker, KeepsThreeGdiObjectsAndFollowsAChangeOfIconSize) {
    TBitmap bmp(kSize, kSize);
    DrawTrayImage(bmp, 60, 594);
    const int gdiBefore = platform::LiveGdiObjects();
    {
        TrayIconMaker maker;
        platform::UniqueIcon first = maker.Make(bmp);
        ASSERT_TRUE(first);
        const int kept = platform::LiveGdiObjects() - gdiBefore;
        EXPECT_EQ(3, kept);  // memory DC, colour DIB, mask
        for (int i = 0; i < 50; ++i) {
            DrawTrayImage(bmp, i % 2 ? 10 : 80, 594);
            ASSERT_TRUE(maker.Make(bmp)) << i;
        }
        EXPECT_EQ(gdiBefore + kept, platform::LiveGdiObjects());

        TrayIconMetrics = SixteenPixelIcons;
        DrawTrayImage(bmp, 60, 594);
        platform::UniqueIcon small = maker.Make(bmp);
        TrayIconMetrics = ::GetSystemMetrics;
        ASSERT_TRUE(small);
        EXPECT_EQ(16, IconColorSize(small.get()).cx);
        EXPECT_EQ(gdiBefore + kept, platform::LiveGdiObjects());  // replaced, not added
        platform::UniqueIcon back = maker.Make(bmp);
        EXPECT_EQ(::GetSystemMetrics(SM_CXICON), IconColorSize(back.get()).cx);
    }
    EXPECT_EQ(gdiBefore, platform::LiveGdiObjects());
}
