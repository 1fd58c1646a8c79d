#include <gtest/gtest.h>

#include <vector>

#include "widgets/Graphics.h"
#include "platform/Handle.h"

using namespace widgets;
using namespace platform;

TEST(UniqueHandle, CountsLiveHandlesAcrossMoveResetAndRelease) {
    const int before = platform::UniqueKernelHandle::liveCount();
    {
        platform::UniqueKernelHandle a(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
        ASSERT_TRUE(a.valid());
        EXPECT_EQ(before + 1, platform::UniqueKernelHandle::liveCount());
        platform::UniqueKernelHandle b(std::move(a));
        EXPECT_FALSE(a.valid());
        EXPECT_EQ(before + 1, platform::UniqueKernelHandle::liveCount());
        b.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
        EXPECT_EQ(before + 1, platform::UniqueKernelHandle::liveCount());
        HANDLE raw = b.release();
        EXPECT_EQ(before, platform::UniqueKernelHandle::liveCount());
        ::CloseHandle(raw);  // released on purpose to test release()
    }
    EXPECT_EQ(before, platform::UniqueKernelHandle::liveCount());
}

TEST(UniqueHandle, SnapshotStyleInvalidValueIsNotCounted) {
    const int before = platform::UniqueFileHandle::liveCount();
    platform::UniqueFileHandle h(INVALID_HANDLE_VALUE);
    EXPECT_FALSE(h.valid());
    EXPECT_EQ(before, platform::UniqueFileHandle::liveCount());
}

TEST(TCanvas, ChangingPenAndBrushRepeatedlyKeepsGdiCountFlat) {
    TBitmap bmp(32, 32);
    const int before = platform::LiveGdiObjects();
    for (int i = 0; i < 100; ++i) {
        bmp.Canvas().SetBrushColor(i % 2 ? clRed : clLime);
        bmp.Canvas().SetPen(i % 2 ? clBlack : clRed, 1 + i % 2);
        bmp.Canvas().Rectangle(1, 1, 10, 10);
        bmp.Canvas().SetFontBold(i % 2);
        bmp.Canvas().TextOut(20, 20, L"12");
    }
    EXPECT_LE(platform::LiveGdiObjects(), before + 3);  // one pen, brush and font at most
    EXPECT_EQ(RGB(0, 0, 0), bmp.Canvas().Pixel(1, 1));  // the frame uses the last (black) pen
}

TEST(TCanvas, DrawsWithItsOwnObjectsEvenAfterOthersWereSelectedIntoTheDc) {
    // The canvas skips selecting what is already in place; it must notice
    // when someone else put another pen, brush or font into its DC meanwhile.
    TBitmap bmp(40, 40);
    TCanvas& canvas = bmp.Canvas();
    canvas.SetPen(clRed, 1);
    canvas.SetBrushColor(clLime);
    canvas.MoveTo(0, 0);
    canvas.LineTo(10, 0);
    canvas.FillRect(RECT{0, 2, 5, 4});
    ASSERT_EQ(clRed, canvas.Pixel(5, 0));
    ASSERT_EQ(clLime, canvas.Pixel(2, 3));

    platform::UniquePen blue(::CreatePen(PS_SOLID, 1, RGB(0, 0, 255)));
    platform::UniqueBrush navy(::CreateSolidBrush(clNavy));
    {
        const auto pen = platform::SelectInScope(canvas.Handle(), blue.get());
        const auto brush = platform::SelectInScope(canvas.Handle(), navy.get());
        ::SetROP2(canvas.Handle(), R2_NOT);
        canvas.MoveTo(0, 6);
        canvas.LineTo(10, 6);
        canvas.Rectangle(0, 8, 6, 14);
        EXPECT_EQ(clRed, canvas.Pixel(5, 6));    // its own pen, copied, not inverted
        EXPECT_EQ(clRed, canvas.Pixel(0, 10));   // the frame too
        EXPECT_EQ(clLime, canvas.Pixel(3, 10));  // and its own brush inside
        canvas.PolylineTo(std::vector<POINT>{{0, 16}, {10, 16}}.data(), 2);
        EXPECT_EQ(clRed, canvas.Pixel(5, 16));
    }

    // Text: the same glyphs with a stock font pushed into the DC meanwhile.
    auto textPixels = [&] {
        canvas.SetBrushColor(clBlack);
        canvas.FillRect(RECT{0, 20, 40, 40});
        canvas.SetFontColor(clWhite);
        canvas.TextOut(0, 20, L"8W");
        std::vector<TColor> pixels;
        for (int y = 20; y < 40; ++y)
            for (int x = 0; x < 40; ++x) pixels.push_back(canvas.Pixel(x, y));
        return pixels;
    };
    const std::vector<TColor> own = textPixels();
    ASSERT_NE(std::vector<TColor>(own.size(), clBlack), own);
    const auto font = platform::SelectInScope(canvas.Handle(), ::GetStockObject(OEM_FIXED_FONT));
    EXPECT_EQ(own, textPixels());
}
