#include <gtest/gtest.h>

#include "monitor/CpuHistory.h"
#include "monitor/TickModelRules.h"

using namespace monitor;

TEST(CpuHistoryTest, ShiftMovesEveryEntryTowardsZeroAndStoresNewestLast) {
    CpuHistory history{};
    for (int i = 0; i < kCpuHistorySize; ++i) history[i] = 1000 + i;
    ShiftCpuHistory(history, -1);
    for (int i = 0; i < kCpuHistorySize - 1; ++i) EXPECT_EQ(1001 + i, history[i]) << i;
    EXPECT_EQ(-1, history[150]);  // stored as sampled, not clamped
    ShiftCpuHistory(history, 250);
    EXPECT_EQ(250, history[150]);
    EXPECT_EQ(-1, history[149]);
    EXPECT_EQ(1002, history[0]);
}

TEST(CpuHistoryTest, AFreshStateIsAllZeroAndPacesByTheSample25TicksBack) {
    MonitorState state;
    for (std::int32_t v : state.cpuHistory) EXPECT_EQ(0, v);
    for (int tick = 1; tick <= 151; ++tick) ShiftCpuHistory(state.cpuHistory, tick);
    // After 151 shifts every entry was written by a shift, oldest first.
    for (int i = 0; i < kCpuHistorySize; ++i) EXPECT_EQ(i + 1, state.cpuHistory[i]);
    EXPECT_EQ(126, state.PacingSample());
    ShiftCpuHistory(state.cpuHistory, 152);
    EXPECT_EQ(2, state.cpuHistory[0]);
    EXPECT_EQ(127, state.PacingSample());
}
