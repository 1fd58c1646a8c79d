#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "monitor/CommitWarningRules.h"

using namespace monitor;

namespace {
constexpr std::int64_t kMb = 1048576;
constexpr std::int64_t kI64Max = std::numeric_limits<std::int64_t>::max();
}  // namespace

TEST(CommitWarningSetting, ZeroTurnsOffFiftyToNinetyNineSetAnythingElseIsNinety) {
    const struct {
        const wchar_t* raw;
        int threshold;
    } table[] = {{L"", 90},  {L"75", 75},  {L" \t75 ", 75}, {L"+60", 60}, {L"050", 50}, {L"99", 99}, {L"0", 0},
                 {L"00", 0}, {L"49", 90},  {L"100", 90},    {L"-5", 90},  {L"-0", 90},  {L"+", 90},  {L"7x", 90},
                 {L"0x50", 90}, {L"9 0", 90}, {L"abc", 90}, {L"99999999999999999999", 90}};
    for (const auto& row : table) EXPECT_EQ(row.threshold, ParseCommitWarningThreshold(row.raw)) << row.raw;
}

TEST(CommitChargePercent, RoundedDownAndMinusOneForAFailedReading) {
    const struct {
        std::int64_t total, free;
        std::int32_t percent;
    } table[] = {{1000, 100, 90}, {1000, 101, 89}, {1000, 0, 100}, {1000, 1000, 0}, {1000, 2000, 0},
                 {1000, -5, 0},   {0, 0, -1},      {-1, 0, -1},    {kI64Max, 0, 100}, {kI64Max, kI64Max / 10, 90}};
    for (const auto& row : table) EXPECT_EQ(row.percent, CommitChargePercent(row.total, row.free)) << row.free;
}

TEST(CommitWatch, WarnsOnceRearmsFiveBelowAndKeepsQuietAroundDeepClean) {
    // A limit of 1000 bytes: free = 1000 - 10 x percent (-1: a failed reading).
    // ended: a Deep Clean ended then, before the tick.
    const struct {
        std::int32_t percent;
        std::uint32_t now, ended;
        bool running, warn, high;
    } table[] = {{89, 1000, 0, 0, 0, 0},     {90, 2000, 0, 0, 1, 1},      {99, 3000, 0, 0, 0, 1},
                 {85, 4000, 0, 0, 0, 0},     {91, 5000, 0, 0, 0, 1},      {84, 6000, 0, 0, 0, 0},
                 {-1, 7000, 0, 0, 0, 0},     {95, 8000, 0, 1, 0, 1},      {95, 19999, 10000, 0, 0, 1},
                 {95, 20000, 0, 0, 1, 1},    {10, 21000, 0, 0, 0, 0},     {95, 0x1000, 0xFFFFF000u, 0, 0, 1},
                 {95, 0x2000, 0, 0, 1, 1}};  // the last two: the clock wraps during the quiet time
    CommitWatch watch;
    for (const auto& row : table) {
        if (row.ended) watch.DeepCleanEnded(row.ended);
        EXPECT_EQ(row.warn, watch.Tick(row.percent < 0 ? 0 : 1000, 1000 - 10 * row.percent, row.now, row.running))
            << row.now;
        EXPECT_EQ(row.high, watch.High()) << row.now;
        EXPECT_EQ(row.percent, watch.ChargePercent()) << row.now;
    }
    CommitWatch off(ParseCommitWarningThreshold(L"0"));
    EXPECT_FALSE(off.Tick(1000, 0, 1000, false) || off.High());
    off.SetThreshold(95);  // applies from the next tick
    EXPECT_FALSE(off.Tick(1000, 60, 2000, false));
    EXPECT_TRUE(off.Tick(1000, 50, 3000, false));
}

TEST(CommitWarningTexts, PlaceholdersAndFigures) {
    EXPECT_EQ(L"Low on memory: 93 % committed", CommitWarningHintLine(kCommitWarningHint, 93));
    const std::vector<std::wstring> args{L"a", L"b"};
    EXPECT_EQ(L"b before a", FillTemplate(L"%2 before %1", args));
    EXPECT_EQ(L"aa 100% %3 %% %0 %", FillTemplate(L"%1%1 100% %3 %% %0 %", args));
    const struct {
        std::int64_t bytes;
        const wchar_t* text;
    } figures[] = {{0, L"0 MB"}, {-5, L"0 MB"}, {850 * kMb + 7, L"850 MB"}, {1024 * kMb - 1, L"1023 MB"},
                   {1024 * kMb, L"1,0 GB"}, {3379 * kMb, L"3,2 GB"}, {2048000 * kMb, L"2000,0 GB"}};
    for (const auto& row : figures) EXPECT_EQ(row.text, ProcessCommitFigure(row.bytes, L",")) << row.bytes;
}

TEST(CommitWarningTexts, BalloonNamesTheLargestThatFitWhole) {
    const std::vector<ProcessCharge> four{{L"chrome.exe", 3379 * kMb}, {L"code.exe", 850 * kMb},
                                          {L"obs64.exe", 1536 * kMb}, {L"fourth.exe", kMb}};
    EXPECT_EQ(L"22.6 of 23.5GB committed (96 %).\nLargest: chrome.exe 3.2 GB, code.exe 850 MB, obs64.exe 1.5 GB",
              CommitWarningBalloon({}, 23143 * kMb, 24105 * kMb, 96, four));
    EXPECT_EQ(L"900 of 981MB committed (91 %).", CommitWarningBalloon({}, 900 * kMb, 981 * kMb, 91, {}));
    // Two names of 120 letters leave room for one; a name of 300 for none.
    const std::wstring a(120, L'a'), b(120, L'b');
    const std::wstring two = CommitWarningBalloon({}, 900 * kMb, 981 * kMb, 91, {{a, kMb}, {b, kMb}});
    EXPECT_EQ(L"900 of 981MB committed (91 %).\nLargest: " + a + L" 1 MB", two);
    EXPECT_EQ(L"900 of 981MB committed (91 %).",
              CommitWarningBalloon({}, 900 * kMb, 981 * kMb, 91, {{std::wstring(300, L'c'), kMb}}));
    // A translation too long for the balloon is cut to fit.
    const CommitBalloonTexts wordy{std::wstring(400, L'w') + L"%1", L"%1"};
    EXPECT_EQ(kBalloonTextCapacity - 1, CommitWarningBalloon(wordy, 0, kMb, 0, four).size());
}
