#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <tuple>

#include "freeing/FreeingRules.h"
#include "widgets/TrayIconRules.h"

using namespace freeing;

namespace {
constexpr std::int64_t MB = 1048576;
constexpr std::int64_t kI64Max = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kI64Min = std::numeric_limits<std::int64_t>::min();
constexpr std::int32_t kI32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kI32Min = std::numeric_limits<std::int32_t>::min();
}  // namespace

TEST(AutoFreeInterval, PacingTableWithStrictBounds) {
    const int previous = 1234;  // stands for whatever the timer had
    EXPECT_EQ(5000, AutoFreeInterval(0, previous));
    EXPECT_EQ(5000, AutoFreeInterval(30, previous));
    EXPECT_EQ(7000, AutoFreeInterval(31, previous));
    EXPECT_EQ(7000, AutoFreeInterval(50, previous));
    EXPECT_EQ(10000, AutoFreeInterval(51, previous));
    EXPECT_EQ(10000, AutoFreeInterval(80, previous));
    EXPECT_EQ(previous, AutoFreeInterval(81, previous));
    EXPECT_EQ(7000, AutoFreeInterval(81, 7000));
    EXPECT_EQ(previous, AutoFreeInterval(kI32Max, previous));
    // A broken, negative sample paces like an idle machine.
    EXPECT_EQ(5000, AutoFreeInterval(-1, previous));
    EXPECT_EQ(5000, AutoFreeInterval(kI32Min, previous));
}

TEST(AutoFreeInterval, SkipsOnlyAboveEighty) {
    EXPECT_FALSE(AutoFreeSkips(80));
    EXPECT_TRUE(AutoFreeSkips(81));
    EXPECT_FALSE(AutoFreeSkips(0));
    EXPECT_FALSE(AutoFreeSkips(-5));
    EXPECT_TRUE(AutoFreeSkips(1000));
}

TEST(FloorDiv, RoundsDownOnBothSides) {
    EXPECT_EQ(2, FloorDiv(17, 8));
    EXPECT_EQ(-3, FloorDiv(-17, 8));
    EXPECT_EQ(-2, FloorDiv(-16, 8));
    EXPECT_EQ(0, FloorDiv(0, MB));
    EXPECT_EQ(-1, FloorDiv(-1, MB));
    EXPECT_EQ(kI64Max / MB, FloorDiv(kI64Max, MB));
    EXPECT_EQ(-(std::int64_t{1} << 43), FloorDiv(kI64Min, MB));
}

TEST(ReleasedMegabytes, TruncatesEachReadingBeforeSubtracting) {
    // Same megabyte: no gain, even with almost a megabyte between them.
    EXPECT_EQ(0, ReleasedMegabytes(100 * MB, 100 * MB + MB - 1));
    // A few kilobytes across a megabyte boundary count as one.
    EXPECT_EQ(1, ReleasedMegabytes(100 * MB - 4096, 100 * MB + 4096));
    EXPECT_EQ(123, ReleasedMegabytes(900 * MB + 5, 1023 * MB + 7));
    EXPECT_EQ(-2, ReleasedMegabytes(512 * MB, 510 * MB));
    EXPECT_EQ(-1, ReleasedMegabytes(512 * MB, 512 * MB - 1));
    // Beyond 4 GB (the 32-bit status call would have clamped these).
    EXPECT_EQ(3072, ReleasedMegabytes(5 * 1024 * MB, 8 * 1024 * MB));
}

TEST(ReleasedMegabytes, DefinedAndSignKeptForAnyReadings) {
    EXPECT_EQ(kI32Max, ReleasedMegabytes(0, kI64Max));
    EXPECT_EQ(kI32Min, ReleasedMegabytes(kI64Max, 0));
    EXPECT_EQ(kI32Max, ReleasedMegabytes(kI64Min, kI64Max));
    EXPECT_EQ(kI32Min, ReleasedMegabytes(kI64Max, kI64Min));
    // Just inside the range: exact.
    EXPECT_EQ(kI32Max, ReleasedMegabytes(0, std::int64_t{kI32Max} * MB));
    EXPECT_EQ(kI32Max - 1, ReleasedMegabytes(MB, std::int64_t{kI32Max} * MB));
    EXPECT_EQ(-1, ReleasedMegabytes(0, -1));
}

TEST(CleanTraceText, NamesTheCleanAndItsFiguresInWholeMegabytes) {
    EXPECT_EQ(L"Smart Clean: 1000 MB free before, 1007 MB after, 7 MB released",
              CleanTraceText(L"Smart Clean", 1000 * MB + 5, 1007 * MB + MB - 1));
    EXPECT_EQ(L"Deep Clean: 512 MB free before, 510 MB after, -2 MB released",
              CleanTraceText(L"Deep Clean", 512 * MB, 510 * MB));
}

TEST(DeepCleanTarget, FreePlusAnEighthOfTheUsed) {
    // 3,072 + 5,120 / 8.
    EXPECT_EQ(3712, DeepCleanTarget(8192 * MB, 3072 * MB));
    EXPECT_EQ(1, DeepCleanTarget(MB, MB));
    EXPECT_EQ(0, DeepCleanTarget(MB - 1, MB - 1));
    // Rounded down twice: the eighth and the megabytes.
    EXPECT_EQ(1, DeepCleanTarget(MB - 1 + 15, MB - 1));  // 15 / 8 = 1 reaches the megabyte
    EXPECT_EQ(0, DeepCleanTarget(MB - 1 + 7, MB - 1));   // 7 / 8 = 0 stays short of it
    EXPECT_EQ(2, DeepCleanTarget(9 * MB + 8, MB));       // 1 MB + 1 + 1 MB
    EXPECT_EQ(512, DeepCleanTarget(4096 * MB, 0));       // nothing free: an eighth of all
}

TEST(DeepCleanTarget, CutToTheBlockTable) {
    EXPECT_EQ(16384, DeepCleanTarget(16384 * MB, 16384 * MB));
    EXPECT_EQ(16385, DeepCleanTarget(16385 * MB, 16385 * MB));
    EXPECT_EQ(16385, DeepCleanTarget(16386 * MB, 16386 * MB));
    EXPECT_EQ(16385, DeepCleanTarget(64 * 1024 * MB, 20 * 1024 * MB));
    EXPECT_EQ(16385, DeepCleanTarget(kI64Max, kI64Max));
    EXPECT_EQ(16385, DeepCleanTarget(kI64Max, kI64Max - 1));
    EXPECT_EQ(16385, DeepCleanTarget(kI64Max, 0));
}

TEST(DeepCleanTarget, NeverNegativeAndUnavailableFiguresGiveZero) {
    EXPECT_EQ(0, DeepCleanTarget(0, 0));
    EXPECT_EQ(0, DeepCleanTarget(-1, -1));
    EXPECT_EQ(0, DeepCleanTarget(kI64Min, kI64Min));
    EXPECT_EQ(0, DeepCleanTarget(0, kI64Min));
    // Free above total: the negative used part lowers the target.
    EXPECT_EQ(7, DeepCleanTarget(0, 8 * MB));
    EXPECT_EQ(16385, DeepCleanTarget(0, kI64Max));
    EXPECT_EQ(512, DeepCleanTarget(4096 * MB, kI64Min));
}

TEST(DeepCleanProgressMax, LastBlockIndexAndNothingBelowZero) {
    EXPECT_EQ(3711, DeepCleanProgressMax(3712));
    EXPECT_EQ(0, DeepCleanProgressMax(1));
    EXPECT_EQ(0, DeepCleanProgressMax(0));
    EXPECT_EQ(0, DeepCleanProgressMax(-5));
    EXPECT_EQ(16384, DeepCleanProgressMax(16385));
}

TEST(DeepCleanPausesAfter, EveryFiftiethBlock) {
    int pauses = 0;
    for (std::int32_t i = 0; i < 16385; ++i)
        if (DeepCleanPausesAfter(i)) ++pauses;
    EXPECT_EQ(16385 / 50, pauses);
    EXPECT_FALSE(DeepCleanPausesAfter(0));
    EXPECT_FALSE(DeepCleanPausesAfter(48));
    EXPECT_TRUE(DeepCleanPausesAfter(49));
    EXPECT_FALSE(DeepCleanPausesAfter(50));
    EXPECT_TRUE(DeepCleanPausesAfter(99));
    EXPECT_FALSE(DeepCleanPausesAfter(-1));
}

TEST(LeavesAddressSpaceReserve, AtLeastSixtyFourMegabytesStay) {
    EXPECT_TRUE(LeavesAddressSpaceReserve(65 * MB, MB));
    EXPECT_FALSE(LeavesAddressSpaceReserve(65 * MB - 1, MB));
    EXPECT_FALSE(LeavesAddressSpaceReserve(64 * MB, MB));
    EXPECT_FALSE(LeavesAddressSpaceReserve(0, MB));
    EXPECT_FALSE(LeavesAddressSpaceReserve(-MB, MB));
    EXPECT_FALSE(LeavesAddressSpaceReserve(kI64Min, MB));
    EXPECT_TRUE(LeavesAddressSpaceReserve(kI64Max, MB));
    EXPECT_TRUE(LeavesAddressSpaceReserve(64 * MB, 0));
    EXPECT_FALSE(LeavesAddressSpaceReserve(kI64Max, kI64Max));
}

TEST(DeepCleanReachableBlocks, TheTargetOrWhatTheReserveLeavesRoomFor) {
    EXPECT_EQ(3, DeepCleanReachableBlocks(8, 64 * MB + 3 * MB + MB / 2, MB));
    EXPECT_EQ(8, DeepCleanReachableBlocks(8, 64 * MB + 8 * MB, MB));
    EXPECT_EQ(7, DeepCleanReachableBlocks(8, 64 * MB + 8 * MB - 1, MB));
    EXPECT_EQ(8, DeepCleanReachableBlocks(8, kI64Max, MB));
    EXPECT_EQ(0, DeepCleanReachableBlocks(8, 64 * MB, MB));
    EXPECT_EQ(0, DeepCleanReachableBlocks(8, kI64Min, MB));
    EXPECT_EQ(0, DeepCleanReachableBlocks(0, kI64Max, MB));
    EXPECT_EQ(0, DeepCleanReachableBlocks(-3, kI64Max, MB));
    // A 32-bit process: about 1,900 MB of address space against 3,712 blocks.
    EXPECT_EQ(1836, DeepCleanReachableBlocks(3712, 1900 * MB, MB));
}

TEST(UsableBlockBytes, WholeBlocksFromAnAlignedStart) {
    const std::uint64_t g = 65536;
    EXPECT_EQ(2 * MB, UsableBlockBytes(0x10000000u, 2 * MB + MB / 2, g, MB));
    // A start one page past the granularity loses the rest of that unit.
    EXPECT_EQ(MB, UsableBlockBytes(0x10001000u, 2 * MB, g, MB));
    EXPECT_EQ(2 * MB, UsableBlockBytes(0x10001000u, 2 * MB + 0xF000, g, MB));
    EXPECT_EQ(0, UsableBlockBytes(0x10000000u, MB - 1, g, MB));
    EXPECT_EQ(0, UsableBlockBytes(0x10001000u, 0x1000, g, MB));
    EXPECT_EQ(0, UsableBlockBytes(0x10001000u, 0, g, MB));
    EXPECT_EQ(3 * MB, UsableBlockBytes(0x10001000u, 3 * MB, 0, MB));
    EXPECT_EQ(0, UsableBlockBytes(0, 5 * MB, g, 0));
    // No overflow near the top of a 64-bit range.
    const std::uint64_t top = std::numeric_limits<std::uint64_t>::max();
    EXPECT_EQ(0, UsableBlockBytes(top - 10, 11, g, MB));
    EXPECT_EQ(kI64Max, UsableBlockBytes(0, top, 1, 1));
}

TEST(ReportTextLeft, SevenPixelsAfterTheNumber) {
    EXPECT_EQ(3 + 21 + 7, ReportTextLeft(3, 21));
    EXPECT_EQ(10 + 0 + 7, ReportTextLeft(10, 0));
}

TEST(AutoFreePacer, StartsAtFiveSecondsAndOnlyPassesThatRunRetuneIt) {
    AutoFreePacer pacer;
    EXPECT_EQ(5000, pacer.Interval());
    const struct {
        int usage;
        bool runs;
        int interval;
    } steps[] = {{40, true, 7000}, {90, false, 7000}, {60, true, 10000}, {81, false, 10000}, {-3, true, 5000}};
    for (const auto& step : steps) {
        EXPECT_EQ(step.runs, pacer.Pace(step.usage)) << step.usage;
        EXPECT_EQ(step.interval, pacer.Interval()) << step.usage;
    }
}

TEST(ReportInTray, OnlyWhileTheWindowIsOutOfSightAsOneLineWithVersionedFlags) {
    EXPECT_TRUE(ReportInTray(false, false) && ReportInTray(true, true) && ReportInTray(false, true));
    EXPECT_FALSE(ReportInTray(true, false));  // the user sees the window's own report
    EXPECT_EQ(L"1234 MB memory has been released.", ReportLine(1234, L"MB memory has been released."));
    EXPECT_EQ(L"none", ReportLine(0, L"none"));
    EXPECT_EQ(L"none", ReportLine(-5, L"none"));
    const std::tuple<int, int, unsigned long> versions[] = {{5, 1, 0x01}, {6, 0, 0x01}, {6, 1, 0x81},
                                                            {10, 0, 0x81}, {0, 0, 0x01}, {7, 0, 0x81}};
    for (const auto& [major, minor, flags] : versions)
        EXPECT_EQ(flags, widgets::BalloonInfoFlags(major, minor)) << major << "." << minor;
    EXPECT_EQ(0x02u, widgets::BalloonInfoFlags(5, 1, widgets::BalloonIcon::Warning));
    EXPECT_EQ(0x82u, widgets::BalloonInfoFlags(6, 1, widgets::BalloonIcon::Warning));
}
