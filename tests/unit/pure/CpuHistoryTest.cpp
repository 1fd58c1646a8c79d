#include <gtest/gtest.h>

#include "monitor/CpuHistory.h"

using namespace monitor;

namespace {

class CpuHistoryTest : public ::testing::Test {
protected:
    void SetUp() override { saved_ = CpuHistory; }
    void TearDown() override { CpuHistory = saved_; }
    std::array<std::int32_t, kCpuHistorySize> saved_{};
};

}  // namespace

TEST_F(CpuHistoryTest, ResetClearsAll151Entries) {
    CpuHistory.fill(42);
    ResetCpuHistory();
    ASSERT_EQ(151u, CpuHistory.size());
    for (std::int32_t v : CpuHistory) EXPECT_EQ(0, v);
}

TEST_F(CpuHistoryTest, ShiftMovesEveryEntryTowardsZeroAndStoresNewestLast) {
    for (int i = 0; i < kCpuHistorySize; ++i) CpuHistory[i] = 1000 + i;
    ShiftCpuHistory(-1);
    for (int i = 0; i < kCpuHistorySize - 1; ++i) EXPECT_EQ(1001 + i, CpuHistory[i]) << i;
    EXPECT_EQ(-1, CpuHistory[150]);  // stored as sampled, not clamped
    ShiftCpuHistory(250);
    EXPECT_EQ(250, CpuHistory[150]);
    EXPECT_EQ(-1, CpuHistory[149]);
    EXPECT_EQ(1002, CpuHistory[0]);
}

TEST_F(CpuHistoryTest, FirstSampleLeavesTheArrayOnThe152ndShift) {
    ResetCpuHistory();
    for (int tick = 1; tick <= 151; ++tick) ShiftCpuHistory(tick);
    // After 151 shifts every entry was written by a shift, oldest first.
    for (int i = 0; i < kCpuHistorySize; ++i) EXPECT_EQ(i + 1, CpuHistory[i]);
    ShiftCpuHistory(152);
    EXPECT_EQ(2, CpuHistory[0]);
    EXPECT_EQ(152, CpuHistory[150]);
}
