#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "monitor/GraphRules.h"

using namespace monitor;

namespace {
constexpr std::int32_t kI32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kI32Min = std::numeric_limits<std::int32_t>::min();
}  // namespace

TEST(GraphRow, RowsOfThe89PixelGraph) {
    EXPECT_EQ(88, GraphRow(0, 89));   // bottom row
    EXPECT_EQ(88, GraphRow(-1, 89));  // 101 * 89 div 100 = 89
    EXPECT_EQ(65, GraphRow(25, 89));
    EXPECT_EQ(43, GraphRow(50, 89));
    EXPECT_EQ(21, GraphRow(75, 89));
    EXPECT_EQ(0, GraphRow(98, 89));   // top row
    EXPECT_EQ(-1, GraphRow(99, 89));  // just above the image
    EXPECT_EQ(-1, GraphRow(100, 89));
}

TEST(GraphRow, DivisionTruncatesTowardZeroAboveHundred) {
    EXPECT_EQ(-1, GraphRow(101, 89));   // -89 div 100 = 0, not -1
    EXPECT_EQ(-45, GraphRow(150, 89));  // -44.5 truncates to -44
    EXPECT_EQ(87, GraphRow(1, 89));
}

TEST(GraphRow, ExtremeSamplesNeitherOverflowNorWrap) {
    EXPECT_EQ(1911260534, GraphRow(kI32Min, 89));  // far below the image stays below
    EXPECT_EQ(-1911260357, GraphRow(kI32Max, 89));  // far above stays above
    EXPECT_EQ(kI32Max - 1, GraphRow(0, kI32Max));
    EXPECT_EQ(kI32Max, GraphRow(kI32Min, kI32Max));
    EXPECT_EQ(kI32Min, GraphRow(kI32Min, kI32Min));
    EXPECT_EQ(-1, GraphRow(50, 0));
}

TEST(GridPhase, RunsZeroToFourAndWraps) {
    std::vector<std::int32_t> seen;
    std::int32_t phase = 0;
    for (int tick = 0; tick < 11; ++tick) seen.push_back(phase = NextGridPhase(phase));
    EXPECT_EQ((std::vector<std::int32_t>{1, 2, 3, 4, 0, 1, 2, 3, 4, 0, 1}), seen);
    EXPECT_EQ(0, NextGridPhase(7));  // out of range never sticks
    EXPECT_EQ(0, NextGridPhase(-3));
    EXPECT_EQ(0, NextGridPhase(kI32Max));
}

TEST(GridLines, HorizontalRowsStayAtQuarters) {
    EXPECT_EQ(22, HorizontalGridRow(1, 89));
    EXPECT_EQ(44, HorizontalGridRow(2, 89));
    EXPECT_EQ(66, HorizontalGridRow(3, 89));
    EXPECT_EQ(3, HorizontalGridRow(3, 7));
}

TEST(GridLines, VerticalLinesOfThe449PixelGraphPerPhase) {
    EXPECT_EQ(30, VerticalGridLineCount(449));
    EXPECT_EQ(1, VerticalGridLineCount(0));
    EXPECT_EQ(1, VerticalGridLineCount(14));
    EXPECT_EQ(2, VerticalGridLineCount(15));
    EXPECT_EQ(0, VerticalGridLineCount(-30));
    EXPECT_EQ(15, VerticalGridX(1, 0));
    EXPECT_EQ(450, VerticalGridX(30, 0));
    EXPECT_EQ(12, VerticalGridX(1, 1));
    EXPECT_EQ(447, VerticalGridX(30, 1));
    EXPECT_EQ(3, VerticalGridX(1, 4));
    EXPECT_EQ(438, VerticalGridX(30, 4));
    EXPECT_EQ(kI32Max, VerticalGridX(kI32Max, 0));
    EXPECT_EQ(kI32Min, VerticalGridX(kI32Min, 4));
}
