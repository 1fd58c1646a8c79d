#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "probes/CpuUsageRules.h"

using probes::CpuUsageFromProcessorTimes;
using probes::CpuUsagePercent;
using probes::FloorToInt32;
using probes::ProcessorTimes;

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

// The processors the counters cover, as a 32-bit process on 64-bit Windows
// may see them: all of a 48-thread machine, or its first 32; of a 128-thread
// one the calling thread's group of 64, or 32. No count enters, so a machine
// idle on every processor reads 0, never -50. Busy processors spend a
// quarter of their time in the kernel; the baseline is a month's uptime.
TEST(CpuUsageFromProcessorTimes, BusyShareOfTheCountedProcessors) {
    const auto after = [](const ProcessorTimes& from, double counted, double idle) {
        const auto units = [](double seconds) { return static_cast<int64_t>(seconds * 1e7); };
        return ProcessorTimes{from.idle + units(idle), from.kernel + units(idle + (counted - idle) / 4),
                              from.user + units((counted - idle) * 3 / 4)};
    };
    const struct {
        double counted, idle;
        int32_t expected;
    } cases[] = {{48, 48, 0}, {48, 36, 25}, {32, 32, 0}, {32, 8, 75}, {64, 48, 25}, {128, 0, 100}, {4, 3.004, 24}};
    for (const auto& c : cases) {
        const ProcessorTimes month{int64_t(c.counted * 2.3e13), int64_t(c.counted * 2.4e13),
                                   int64_t(c.counted * 1e12)};
        EXPECT_EQ(c.expected, CpuUsageFromProcessorTimes(after(month, c.counted, c.idle), month)) << c.counted;
    }
}

TEST(CpuUsageFromProcessorTimes, FirstSampleZeroTotalAndOddCounters) {
    const ProcessorTimes t{kIdle, 2 * kIdle, kIdle};
    EXPECT_EQ(0, CpuUsageFromProcessorTimes(t, ProcessorTimes{0, 5, 5}));  // no baseline
    EXPECT_EQ(100, CpuUsageFromProcessorTimes(t, t));  // nothing moved: the undivided idle count
    EXPECT_EQ(-200, CpuUsageFromProcessorTimes({kIdle + 3, 2 * kIdle, kIdle}, t));
    EXPECT_EQ(kMin, CpuUsageFromProcessorTimes({kI64Max, 0, 0}, {kI64Min, 0, 0}));  // defined beyond 64 bits
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
