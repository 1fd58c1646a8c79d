#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "probes/CpuUsageRules.h"

using probes::CpuUsagePercent;
using probes::FloorToInt32;
using probes::ProcessorCountTooSmall;

namespace {
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int64_t kI64Max = std::numeric_limits<int64_t>::max();
constexpr int64_t kI64Min = std::numeric_limits<int64_t>::min();
// A realistic clock reading (100-ns units since 1601) and a boot-time idle count.
constexpr int64_t kClock = 133444555666777777;
constexpr int64_t kIdle = 5000000000;
}  // namespace

TEST(CpuUsagePercent, WorkedFigures) {
    // 2 processors, 15,000,000 idle units over 10,000,000: 100 - 150 / 2.
    EXPECT_EQ(25, CpuUsagePercent(kIdle + 15000000, kIdle, kClock + 10000000, kClock, 2));
    // 1 processor, 9,950,000 idle over 10,000,000: usage 0.5 rounds down to 0.
    EXPECT_EQ(0, CpuUsagePercent(kIdle + 9950000, kIdle, kClock + 10000000, kClock, 1));
    // 24.9 rounds down to 24 (4 processors: share 3.004).
    EXPECT_EQ(24, CpuUsagePercent(kIdle + 30040000, kIdle, kClock + 10000000, kClock, 4));
}

TEST(CpuUsagePercent, NoBaselineGivesZeroWhateverTheCounters) {
    EXPECT_EQ(0, CpuUsagePercent(kIdle, 0, kClock + 10000000, kClock, 2));
    EXPECT_EQ(0, CpuUsagePercent(0, 0, 0, 0, 0));
    EXPECT_EQ(0, CpuUsagePercent(-kIdle, 0, kClock, kClock, 1));
}

TEST(CpuUsagePercent, FullyBusyAndFullyIdle) {
    EXPECT_EQ(100, CpuUsagePercent(kIdle, kIdle, kClock + 10000000, kClock, 2));
    EXPECT_EQ(0, CpuUsagePercent(kIdle + 20000000, kIdle, kClock + 10000000, kClock, 2));
    EXPECT_EQ(50, CpuUsagePercent(kIdle + 10000000, kIdle, kClock + 10000000, kClock, 2));
}

TEST(CpuUsagePercent, IdleIntervalAtRealClockValuesIsExactlyZero) {
    // Doubles are 16 units apart near the clock's value: converting each
    // reading before subtracting would stretch or shrink the interval and show
    // an idle machine as -1. Intervals that are not multiples of 16 catch it.
    for (int64_t offset = 0; offset < 16; ++offset) {
        const int64_t elapsed = 10000003;
        EXPECT_EQ(0, CpuUsagePercent(kIdle + 2 * elapsed, kIdle, kClock + offset + elapsed,
                                     kClock + offset, 2))
            << "offset " << offset;
    }
}

TEST(CpuUsagePercent, SlightlyMoreIdleThanElapsedTimesProcessorsIsNegative) {
    // share 1.004 on one processor: usage -0.4 rounds down to -1, not 0.
    EXPECT_EQ(-1, CpuUsagePercent(kIdle + 10040000, kIdle, kClock + 10000000, kClock, 1));
    // One unit too many over two processors is still -1.
    EXPECT_EQ(-1, CpuUsagePercent(kIdle + 20000001, kIdle, kClock + 10000000, kClock, 2));
    // Far too much idle time: not clamped.
    EXPECT_EQ(-100, CpuUsagePercent(kIdle + 20000000, kIdle, kClock + 10000000, kClock, 1));
}

TEST(CpuUsagePercent, ZeroElapsedUsesTheUndividedIdleCount) {
    EXPECT_EQ(100, CpuUsagePercent(kIdle, kIdle, kClock, kClock, 2));
    // share = 3 idle units: 100 - 300 / 2.
    EXPECT_EQ(-50, CpuUsagePercent(kIdle + 3, kIdle, kClock, kClock, 2));
    // A large idle count goes far below 0 and, beyond 32 bits, clamps
    // instead of overflowing the conversion.
    EXPECT_EQ(-999999900, CpuUsagePercent(kIdle + 10000000, kIdle, kClock, kClock, 1));
    EXPECT_EQ(kMin, CpuUsagePercent(kIdle + 100000000, kIdle, kClock, kClock, 1));
}

TEST(CpuUsagePercent, ZeroProcessorsCountsAsOne) {
    EXPECT_EQ(CpuUsagePercent(kIdle + 2500000, kIdle, kClock + 10000000, kClock, 1),
              CpuUsagePercent(kIdle + 2500000, kIdle, kClock + 10000000, kClock, 0));
    EXPECT_EQ(75, CpuUsagePercent(kIdle + 2500000, kIdle, kClock + 10000000, kClock, 0));
}

TEST(CpuUsagePercent, CountersThatGoBackwards) {
    // The clock set back: a negative interval with growing idle time.
    EXPECT_EQ(200, CpuUsagePercent(kIdle + 10000000, kIdle, kClock - 10000000, kClock, 1));
    // Idle time that shrank (a counter reset) shows above 100.
    EXPECT_EQ(150, CpuUsagePercent(kIdle - 5000000, kIdle, kClock + 10000000, kClock, 1));
}

TEST(CpuUsagePercent, ExtremeCountersStayDefined) {
    // Differences that overflow 64 bits still give a defined, clamped result.
    EXPECT_EQ(kMin, CpuUsagePercent(kI64Max, kI64Min, kClock, kClock, 1));
    EXPECT_EQ(kMax, CpuUsagePercent(kI64Min, kI64Max, kClock, kClock, 1));
    EXPECT_EQ(0, CpuUsagePercent(kI64Max, kI64Min, kI64Max, kI64Min, 1));
    EXPECT_EQ(100, CpuUsagePercent(1, 1, kI64Min, kI64Max, 255));
    EXPECT_EQ(kMin, CpuUsagePercent(kI64Max, 1, 1, 0, 1));
}

TEST(ProcessorCountTooSmall, OnlyIdleTimeBeyondCountTimesElapsed) {
    const int64_t t0 = 133444555666777777;
    EXPECT_FALSE(ProcessorCountTooSmall(5 + 20, 5, t0 + 10, t0, 2));  // exactly 2 x 10
    EXPECT_TRUE(ProcessorCountTooSmall(5 + 21, 5, t0 + 10, t0, 2));
    EXPECT_TRUE(ProcessorCountTooSmall(5 + 11, 5, t0 + 10, t0, 0));  // 0 counts as 1
    EXPECT_FALSE(ProcessorCountTooSmall(5 + 21, 0, t0 + 10, t0, 2));  // no baseline
    EXPECT_FALSE(ProcessorCountTooSmall(5 + 21, 5, t0, t0, 2));       // the clock did not move
    EXPECT_FALSE(ProcessorCountTooSmall(5 + 21, 5, t0 - 10, t0, 2));  // nor went back
    EXPECT_TRUE(ProcessorCountTooSmall(6400000000 + 5, 5, t0 + 100000000, t0, 32));  // 64 idle of 32
    EXPECT_FALSE(ProcessorCountTooSmall(6400000000 + 5, 5, t0 + 100000000, t0, 64));
}

TEST(FloorToInt32, RoundsTowardsMinusInfinity) {
    EXPECT_EQ(24, FloorToInt32(24.9));
    EXPECT_EQ(-1, FloorToInt32(-0.4));
    EXPECT_EQ(-1, FloorToInt32(-1.0));
    EXPECT_EQ(0, FloorToInt32(-0.0));
    EXPECT_EQ(0, FloorToInt32(0.999999));
    EXPECT_EQ(-2, FloorToInt32(-1.000001));
}

TEST(FloorToInt32, IsDefinedForEveryDouble) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(0, FloorToInt32(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_EQ(0, FloorToInt32(-std::numeric_limits<double>::quiet_NaN()));
    EXPECT_EQ(kMax, FloorToInt32(inf));
    EXPECT_EQ(kMin, FloorToInt32(-inf));
    EXPECT_EQ(kMax, FloorToInt32(1e300));
    EXPECT_EQ(kMin, FloorToInt32(-1e300));
    // The edges of the 32-bit range.
    EXPECT_EQ(kMax, FloorToInt32(2147483647.0));
    EXPECT_EQ(kMax, FloorToInt32(2147483647.9));
    EXPECT_EQ(kMax, FloorToInt32(2147483648.0));
    EXPECT_EQ(kMin, FloorToInt32(-2147483648.0));
    EXPECT_EQ(kMin, FloorToInt32(-2147483648.5));
    EXPECT_EQ(kMin + 1, FloorToInt32(-2147483646.5));
    EXPECT_EQ(kMax - 1, FloorToInt32(2147483646.5));
}
