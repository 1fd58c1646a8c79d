#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <iterator>
#include <vector>

#include "monitor/CpuGraph.h"
#include "monitor/CpuHistory.h"
#include "monitor/GraphRules.h"

using namespace widgets;
using namespace platform;
using namespace monitor;

namespace {

// Draws on a bitmap the size of the main window's graph image, from a
// history and grid phase of the test's own.
class CpuGraphTest : public ::testing::Test {
protected:
    static constexpr int W = 449, H = 89;

    CpuHistory history_{};
    std::int32_t gridPhase_ = 0;

    void Tick(TBitmap& bmp) {
        DrawGraphGrid(bmp.Canvas(), bmp.Width(), bmp.Height(), gridPhase_);
        DrawGraphTrace(bmp.Canvas(), bmp.Height(), history_);
    }
    static TColor At(TBitmap& bmp, int x, int y) {
        return PixelToColor(bmp.Bits()[y * bmp.Width() + x]);
    }
    static int Count(TBitmap& bmp, TColor c) {
        int n = 0;
        for (int y = 0; y < bmp.Height(); ++y)
            for (int x = 0; x < bmp.Width(); ++x) n += At(bmp, x, y) == c;
        return n;
    }
    static std::vector<int> RowsWith(TBitmap& bmp, TColor c) {
        std::vector<int> rows;
        for (int y = 0; y < bmp.Height(); ++y) {
            for (int x = 0; x < bmp.Width(); ++x) {
                if (At(bmp, x, y) == c) {
                    rows.push_back(y);
                    break;
                }
            }
        }
        return rows;
    }
    // Checks that the image holds only background and grid, with vertical
    // lines exactly in the columns where x % 15 == offset (x > 0).
    static void ExpectGridOnly(TBitmap& bmp, int offset) {
        for (int y = 0; y < H; ++y) {
            for (int x = 0; x < W; ++x) {
                const bool gridRow = y == 22 || y == 44 || y == 66;
                const bool gridColumn = x > 0 && x % 15 == offset;
                ASSERT_EQ(gridRow || gridColumn ? clGreen : clBlack, At(bmp, x, y))
                    << "x=" << x << " y=" << y;
            }
        }
    }

};

}  // namespace

TEST_F(CpuGraphTest, FirstGridStandsAtPhaseOne) {
    TBitmap bmp(W, H);
    DrawGraphGrid(bmp.Canvas(), W, H, gridPhase_);
    EXPECT_EQ(1, gridPhase_);
    EXPECT_EQ(clGreen, At(bmp, 12, 0));
    EXPECT_EQ(clGreen, At(bmp, 447, 88));  // 30th line, full height
    ExpectGridOnly(bmp, 12);
}

TEST_F(CpuGraphTest, VerticalLinesAtPhaseZeroAndFour) {
    TBitmap bmp(W, H);
    gridPhase_ = 4;  // advances to 0
    DrawGraphGrid(bmp.Canvas(), W, H, gridPhase_);
    EXPECT_EQ(0, gridPhase_);
    EXPECT_EQ(clGreen, At(bmp, 15, 5));
    EXPECT_EQ(clGreen, At(bmp, 435, 5));  // the 30th line, at 450, is off the image
    ExpectGridOnly(bmp, 0);

    gridPhase_ = 3;  // advances to 4
    DrawGraphGrid(bmp.Canvas(), W, H, gridPhase_);
    EXPECT_EQ(clGreen, At(bmp, 3, 5));
    EXPECT_EQ(clGreen, At(bmp, 438, 5));
    ExpectGridOnly(bmp, 3);
}

TEST_F(CpuGraphTest, GridRepeatsAfterFiveTicks) {
    TBitmap first(W, H), later(W, H);
    DrawGraphGrid(first.Canvas(), W, H, gridPhase_);
    for (int tick = 0; tick < 5; ++tick) DrawGraphGrid(later.Canvas(), W, H, gridPhase_);
    EXPECT_EQ(1, gridPhase_);
    EXPECT_EQ(0, std::memcmp(first.Bits(), later.Bits(), W * H * 4));
    DrawGraphGrid(later.Canvas(), W, H, gridPhase_);
    EXPECT_NE(0, std::memcmp(first.Bits(), later.Bits(), W * H * 4));
}

TEST_F(CpuGraphTest, FlatHistoryDrawsOneFullWidthRowAtItsValue) {
    const struct {
        std::int32_t v;
        int row;
    } cases[] = {{0, 88}, {-1, 88}, {25, 65}, {50, 43}, {98, 0}};
    for (const auto& c : cases) {
        TBitmap bmp(W, H);
        history_.fill(c.v);
        Tick(bmp);
        EXPECT_EQ(std::vector<int>{c.row}, RowsWith(bmp, clLime)) << c.v;
        EXPECT_EQ(W, Count(bmp, clLime)) << c.v;  // every column 0..448, newest segment included
    }
}

TEST_F(CpuGraphTest, SamplesOfNinetyNineAndHundredRunAboveTheImage) {
    for (std::int32_t v : {99, 100}) {
        TBitmap bmp(W, H);
        history_.fill(v);
        Tick(bmp);
        EXPECT_EQ(0, Count(bmp, clLime)) << v;
    }
}

TEST_F(CpuGraphTest, OldestSampleAtTheLeftEdge) {
    TBitmap bmp(W, H);
    history_[0] = 50;
    Tick(bmp);
    EXPECT_EQ(clLime, At(bmp, 0, 43));
    EXPECT_EQ(clLime, At(bmp, 3, 88));  // the first segment drops to the second sample
    EXPECT_EQ(clLime, At(bmp, 448, 88));
    EXPECT_NE(clLime, At(bmp, 448, 43));
}

TEST_F(CpuGraphTest, EachTickClearsThePreviousLine) {
    TBitmap bmp(W, H);
    history_.fill(50);
    Tick(bmp);
    ASSERT_EQ(clLime, At(bmp, 200, 43));
    history_.fill(0);
    Tick(bmp);
    EXPECT_EQ(std::vector<int>{88}, RowsWith(bmp, clLime));
    EXPECT_EQ(clBlack, At(bmp, 200, 43));
}

TEST_F(CpuGraphTest, NewestPointItselfIsNotPainted) {
    // On a wider image the end point of the last segment (x = 450) is visible.
    TBitmap bmp(460, H);
    Tick(bmp);
    EXPECT_EQ(clLime, At(bmp, 449, 88));
    EXPECT_EQ(clBlack, At(bmp, 450, 88));
}

TEST_F(CpuGraphTest, ExtremeSamplesDrawNothingAndDoNotCrash) {
    for (std::int32_t v : {INT32_MIN, INT32_MAX, 1000, -1000}) {
        TBitmap bmp(W, H);
        history_.fill(v);
        Tick(bmp);
        EXPECT_EQ(0, Count(bmp, clLime)) << v;
    }
}

namespace {

// The trace as 150 separate move-to/line-to pairs, the plainest reading of
// how the segments are drawn.
void SegmentBySegment(TCanvas& canvas, int height, const CpuHistory& history_) {
    canvas.SetPen(clLime, 1);
    for (int j = 0; j < kCpuHistorySize - 1; ++j) {
        canvas.MoveTo(3 * j, GraphRow(history_[j], height));
        canvas.LineTo(3 * j + 3, GraphRow(history_[j + 1], height));
    }
}

std::vector<std::uint32_t> Pixels(TBitmap& bmp) {
    const std::uint32_t* p = bmp.Bits();
    return std::vector<std::uint32_t>(p, p + bmp.Width() * bmp.Height());
}

}  // namespace

TEST_F(CpuGraphTest, TraceMatchesTheSegmentsDrawnOneByOne) {
    // Steep and shallow segments, both directions, runs off the top and the
    // bottom, and the flat line: every kind of join between segments.
    std::uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
    const std::function<std::int32_t(int)> histories[] = {
        [](int j) { return j % 2 ? 0 : 100; },
        [](int j) { return (j * 37) % 101; },
        [](int j) { return j % 7 == 0 ? -1000 : j % 5 == 0 ? 1000 : 50; },
        [&next](int) { return static_cast<std::int32_t>(next() % 103) - 1; },
        [](int j) { return j < 75 ? 99 : 98; },
    };
    for (std::size_t h = 0; h < std::size(histories); ++h) {
        SCOPED_TRACE(h);
        for (int j = 0; j < kCpuHistorySize; ++j) history_[j] = histories[h](j);
        TBitmap drawn(460, H), expected(460, H);  // wide enough to show the last point
        DrawGraphTrace(drawn.Canvas(), H, history_);
        SegmentBySegment(expected.Canvas(), H, history_);
        ASSERT_EQ(Pixels(expected), Pixels(drawn));
        ASSERT_GT(Count(drawn, clLime), 0);
    }
}
