#include <gtest/gtest.h>

#include "monitor/TickModelRules.h"

using namespace monitor;

namespace {
constexpr std::int64_t MB = 1048576;
MemoryReading Mb(std::int64_t freeMb, std::int64_t totalMb) { return {freeMb * MB, totalMb * MB}; }
}  // namespace

// What the tick shows, from its readings alone: captions, bars clamped as a
// bar clamps, the tooltip built on the physical bar's position, and the tray
// picture's unclamped inputs.
TEST(TickModel, ReadingsBecomeCaptionsBarsHintAndTrayInputs) {
    const struct {
        std::int32_t sample;
        MemoryReading physical;
        int physBar;
        std::int32_t trayPercent;
        const wchar_t* physCaption;
        int cpuBar;
        const wchar_t* hint;
    } rows[] = {
        {15, Mb(594, 981), 60, 60, L"594 of 981MB", 15, L"Brimvale: 60% RAM free (594MB)  85% CPU free"},
        // A reading with more free than total: the bar and the hint stop at 100, the picture does not.
        {0, Mb(2000, 1000), 100, 200, L"2000 of 1000MB", 0, L"Brimvale: 100% RAM free (2000MB)  100% CPU free"},
        // A broken sample below 0: the caption and hint show it, the bar stops at 0.
        {-5, Mb(0, 0), 0, 0, L"0 of 0MB", 0, L"Brimvale: 0% RAM free (0MB)  105% CPU free"},
        {130, Mb(23155, 24105), 96, 96, L"22.6 of 23.5GB", 100, L"Brimvale: 96% RAM free (23155MB)  -30% CPU free"},
    };
    std::array<std::int32_t, kCpuHistorySize> history{};
    for (const auto& row : rows) {
        history[kNewestSample] = row.sample;
        TickReadings readings{row.sample, row.physical, Mb(1, 4), Mb(2047, 2047), L""};
        const TickView view = ComputeTick(readings, history, TickTexts{});
        EXPECT_EQ(std::to_wstring(row.sample) + L"%", view.cpuCaption);
        EXPECT_EQ(row.cpuBar, view.cpuBarPosition) << row.sample;
        EXPECT_EQ(row.physCaption, view.physical.caption);
        EXPECT_EQ(row.physBar, view.physical.barPosition) << row.sample;
        EXPECT_EQ(L"1 of 4MB", view.pageFile.caption);
        EXPECT_EQ(25, view.pageFile.barPosition);
        EXPECT_EQ(L"2047 of 2047MB", view.addressSpace.caption);
        EXPECT_EQ(row.hint, view.hint);
        EXPECT_EQ(row.trayPercent, view.trayPercent);
        EXPECT_EQ(row.physical.freeBytes / MB, view.trayFreeMb);
    }
}

TEST(TickModel, TheNewestSampleComesFromTheHistoryAndTheTextsAreTranslated) {
    std::array<std::int32_t, kCpuHistorySize> history{};
    history[kNewestSample] = 40;
    const TickReadings readings{40, Mb(500, 1000), {}, {}, L","};
    const TickView view = ComputeTick(readings, history, TickTexts{L"Brimvale", L"RAM frei", L"CPU frei"});
    EXPECT_EQ(40, view.cpuBarPosition);
    EXPECT_EQ(L"Brimvale: 50% RAM frei (500MB)  60% CPU frei", view.hint);
    EXPECT_EQ(0, view.pageFile.barPosition);  // a status that could not be read
}

// The words that say a clean runs always fit: a long hint is cut first.
TEST(ShownCpuPercent, SamplesOutsideZeroToHundredAreClamped) {
    const std::pair<std::int32_t, std::int32_t> cases[] = {{-2, 0}, {0, 0}, {57, 57}, {100, 100}, {102, 100}};
    for (const auto& [sample, shown] : cases) EXPECT_EQ(shown, ShownCpuPercent(sample)) << sample;
}

TEST(CleaningHint, TheHintThenTwoBlanksAndTheCleaningWordsWithinTheTraysBuffer) {
    const std::wstring hint = L"Brimvale: 60% RAM free (594MB)  85% CPU free";
    const std::wstring words = L"Cleaning memory\u2026";
    const std::wstring longHint(120, L'x'), longWords(140, L'y');
    const struct {
        std::wstring hint, words, shown;
    } cases[] = {
        {hint, words, hint + L"  " + words},
        {longHint, words, std::wstring(127 - 18, L'x') + L"  " + words},  // 127 units and the null
        {longHint, longWords, L"  " + std::wstring(125, L'y')},
    };
    for (const auto& c : cases) EXPECT_EQ(c.shown, CleaningHint(c.hint, c.words)) << c.shown.size();
}
