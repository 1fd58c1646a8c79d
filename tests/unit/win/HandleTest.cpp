#include <gtest/gtest.h>

#include "widgets/Graphics.h"
#include "widgets/Handle.h"

using namespace widgets;

TEST(UniqueHandle, CountsLiveHandlesAcrossMoveResetAndRelease) {
    const int before = UniqueKernelHandle::liveCount();
    {
        UniqueKernelHandle a(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
        ASSERT_TRUE(a.valid());
        EXPECT_EQ(before + 1, UniqueKernelHandle::liveCount());
        UniqueKernelHandle b(std::move(a));
        EXPECT_FALSE(a.valid());
        EXPECT_EQ(before + 1, UniqueKernelHandle::liveCount());
        b.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
        EXPECT_EQ(before + 1, UniqueKernelHandle::liveCount());
        HANDLE raw = b.release();
        EXPECT_EQ(before, UniqueKernelHandle::liveCount());
        ::CloseHandle(raw);  // released on purpose to test release()
    }
    EXPECT_EQ(before, UniqueKernelHandle::liveCount());
}

TEST(UniqueHandle, SnapshotStyleInvalidValueIsNotCounted) {
    const int before = UniqueFileHandle::liveCount();
    UniqueFileHandle h(INVALID_HANDLE_VALUE);
    EXPECT_FALSE(h.valid());
    EXPECT_EQ(before, UniqueFileHandle::liveCount());
}

TEST(TCanvas, ChangingPenAndBrushRepeatedlyKeepsGdiCountFlat) {
    TBitmap bmp(32, 32);
    const int before = LiveGdiObjects();
    for (int i = 0; i < 100; ++i) {
        bmp.Canvas().SetBrushColor(i % 2 ? clRed : clLime);
        bmp.Canvas().SetPen(i % 2 ? clBlack : clRed, 1 + i % 2);
        bmp.Canvas().Rectangle(1, 1, 10, 10);
        bmp.Canvas().SetFontBold(i % 2);
        bmp.Canvas().TextOut(20, 20, L"12");
    }
    EXPECT_LE(LiveGdiObjects(), before + 3);  // one pen, brush and font at most
    EXPECT_EQ(RGB(0, 0, 0), bmp.Canvas().Pixel(1, 1));  // the frame uses the last (black) pen
}
