#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <tuple>

#include "monitor/MonitorRules.h"

using namespace monitor;

namespace {
constexpr std::int64_t kMb = 1048576;
constexpr std::int64_t kI64Max = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kI64Min = std::numeric_limits<std::int64_t>::min();
constexpr std::int32_t kI32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kI32Min = std::numeric_limits<std::int32_t>::min();
}  // namespace

TEST(BytesToMegabytes, TruncatesEachDivision) {
    EXPECT_EQ(0, BytesToMegabytes(1048575));
    EXPECT_EQ(1, BytesToMegabytes(1048576));
    EXPECT_EQ(981, BytesToMegabytes(981 * kMb + kMb - 1));
    EXPECT_EQ(0, BytesToMegabytes(0));
    EXPECT_EQ(-1, BytesToMegabytes(-kMb - 1));  // toward zero, not down
    EXPECT_EQ(8796093022207, BytesToMegabytes(kI64Max));
}

TEST(FreePercent, TruncatedPercentOfMegabyteFigures) {
    EXPECT_EQ(60, FreePercent(594, 981));  // 59,400 div 981 = 60.55...
    EXPECT_EQ(100, FreePercent(981, 981));
    EXPECT_EQ(0, FreePercent(0, 981));
    EXPECT_EQ(33, FreePercent(1, 3));
    EXPECT_EQ(-33, FreePercent(-1, 3));  // truncation toward zero
    EXPECT_EQ(-60, FreePercent(-594, 981));
    EXPECT_EQ(200, FreePercent(2, 1));
}

TEST(FreePercent, ZeroOrNegativeTotalGivesZeroInsteadOfDividing) {
    EXPECT_EQ(0, FreePercent(0, 0));  // memory status unreadable: all figures 0
    EXPECT_EQ(0, FreePercent(594, 0));
    EXPECT_EQ(0, FreePercent(594, -5));
    EXPECT_EQ(0, FreePercent(kI64Min, kI64Min));
}

TEST(FreePercent, LargestMegabyteFiguresStayExactAndClampToInt32) {
    const std::int64_t maxMb = BytesToMegabytes(kI64Max);
    EXPECT_EQ(100, FreePercent(maxMb, maxMb));
    EXPECT_EQ(99, FreePercent(maxMb - 1, maxMb));
    EXPECT_EQ(49, FreePercent(maxMb / 2, maxMb));  // maxMb is odd: just below half
    EXPECT_EQ(50, FreePercent(maxMb / 2 + 1, maxMb));
    EXPECT_EQ(-100, FreePercent(-maxMb, maxMb));
    const std::int64_t total = 4000000000000;  // 4 TB in MB
    EXPECT_EQ(99, FreePercent(3999999999999, total));
    EXPECT_EQ(2147483600, FreePercent(21474836, 1));
    EXPECT_EQ(kI32Max, FreePercent(21474837, 1));
    EXPECT_EQ(kI32Max, FreePercent(maxMb, 1));
    EXPECT_EQ(kI32Min, FreePercent(-maxMb, 1));
    EXPECT_EQ(kI32Min, FreePercent(-21474837, 1));
}

TEST(Captions, PlainDecimalWithUnits) {
    EXPECT_EQ(L"15%", CpuCaption(15));
    EXPECT_EQ(L"0%", CpuCaption(0));
    EXPECT_EQ(L"-1%", CpuCaption(-1));
    EXPECT_EQ(L"-2147483648%", CpuCaption(kI32Min));
    EXPECT_EQ(L"594 of 981MB", MemoryCaption(594, 981));
    EXPECT_EQ(L"0 of 0MB", MemoryCaption(0, 0));
    EXPECT_EQ(L"11.7 of 95.3TB", MemoryCaption(12345678, 99999999));  // see MemoryCaption below
    EXPECT_EQ(L"-3 of 4MB", MemoryCaption(-3, 4));
}

TEST(MemoryCaption, TheTotalPicksUnitAndDecimalBothFiguresTruncate) {
    const std::tuple<std::int64_t, std::int64_t, const wchar_t*, const wchar_t*> cases[] = {
        {9999, 9999, L",", L"9999 of 9999MB"},   {9000, 10000, L".", L"8.7 of 9.7GB"},
        {23155, 24105, L",", L"22,6 of 23,5GB"}, {23155, 24105, L"", L"22.6 of 23.5GB"},  // none read: "."
        {23155, 24105, L" ,", L"22 ,6 of 23 ,5GB"}, {-200, 65536, L".", L"-0.1 of 64.0GB"},
        // A separator that would break the figure is not used.
        {23155, 24105, L"5", L"22.6 of 23.5GB"}, {23155, 24105, L"WWWW", L"22.6 of 23.5GB"},
        {23155, 24105, L"a1", L"22.6 of 23.5GB"}, {23155, 24105, L"WWW", L"22WWW6 of 23WWW5GB"},
        {-50, 65536, L".", L"0.0 of 64.0GB"},    {1023999, 1023999, L".", L"999.9 of 999.9GB"},
        {1024000, 1024000, L".", L"1000 of 1000GB"}, {10239999, 10239999, L".", L"9999 of 9999GB"},
        {16777215, 16777216, L".", L"15.9 of 16.0TB"},
        {kI64Min, kI64Max, L".", L"-8796093022208 of 8796093022207TB"},  // unbounded, not wrapped
    };
    for (const auto& [freeMb, totalMb, separator, caption] : cases)
        EXPECT_EQ(caption, MemoryCaption(freeMb, totalMb, separator)) << totalMb;
}

TEST(AddressSpaceCaption, MegabytesBelowOneTerabyteWholeTerabytesFromIt) {
    const struct {
        std::int64_t freeMb, totalMb;
        const wchar_t* caption;
    } cases[] = {
        {1900, 2047, L"1900 of 2047MB"},               // 32-bit process
        {4000, 4095, L"4000 of 4095MB"},               // large-address-aware on 64-bit Windows
        {1048575, 1048575, L"1023 of 1023GB"},         // just under 1 TB: as the memory labels
        {1048000, 1048576, L"0 of 1TB"},               // free rounds down
        {8388000, 8388608, L"7 of 8TB"},               // 64-bit process, Windows 7
        {134200000, 134217727, L"127 of 128TB"},       // 64-bit process, Windows 8.1 and later
        {-5, 2097152, L"-1 of 2TB"},                   // a negative reading rounds down too
        {0, 1572863, L"0 of 1TB"},                     // just under 1.5 TB rounds to 1
        {0, 1572864, L"0 of 2TB"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.totalMb);
        EXPECT_EQ(c.caption, AddressSpaceCaption(c.freeMb, c.totalMb));
    }
}

TEST(TrayHintText, JoinsElevenPiecesWithDefaultTexts) {
    const std::wstring hint = TrayHintText(L"Brimvale", 60, L"RAM free", 594, 15, L"CPU free");
    EXPECT_EQ(L"Brimvale: 60% RAM free (594MB)  85% CPU free", hint);
    EXPECT_NE(L' ', hint.back());
    EXPECT_NE(std::wstring::npos, hint.find(L"MB)  85"));
}

TEST(TrayHintText, ProcessorFreeIsHundredMinusNewestSample) {
    EXPECT_EQ(L"B: 0% R (0MB)  101% C", TrayHintText(L"B", 0, L"R", 0, -1, L"C"));
    EXPECT_EQ(L"B: 0% R (0MB)  0% C", TrayHintText(L"B", 0, L"R", 0, 100, L"C"));
    EXPECT_EQ(L"B: -5% R (-7MB)  2147483748% C",
              TrayHintText(L"B", -5, L"R", -7, kI32Min, L"C"));  // no int32 wrap
}

TEST(TrayHintText, TranslatedTextsStayWide) {
    const std::wstring caption = L"\u30D6\u30EA\u30E0";  // not in any single code page with the rest
    const std::wstring ram = L"\u0421\u0432\u043E\u0431\u043E\u0434\u043D\u043E";
    const std::wstring hint = TrayHintText(caption, 7, ram, 1, 3, L"\u7A7A\u95F2");
    EXPECT_EQ(caption + L": 7% " + ram + L" (1MB)  97% \u7A7A\u95F2", hint);
}

TEST(FitTrayHint, KeepsWhatFitsBeforeTheTerminator) {
    EXPECT_EQ(L"short", FitTrayHint(L"short"));
    const std::wstring exact(127, L'x');
    EXPECT_EQ(exact, FitTrayHint(exact));  // 127 units + null fill 128
    const std::wstring longer = std::wstring(127, L'a') + L"bcd";
    EXPECT_EQ(std::wstring(127, L'a'), FitTrayHint(longer));
    EXPECT_EQ(L"abc", FitTrayHint(L"abcdef", 4));
    EXPECT_EQ(L"", FitTrayHint(L"abc", 1));
    EXPECT_EQ(L"", FitTrayHint(L"abc", 0));
}

TEST(FitTrayHint, NeverSplitsASurrogatePair) {
    const std::wstring pair = {wchar_t(0xD83D), wchar_t(0xDE00)};
    // The pair would straddle the cut: both halves go.
    const std::wstring straddling = std::wstring(126, L'a') + pair + L"z";
    EXPECT_EQ(std::wstring(126, L'a'), FitTrayHint(straddling));
    // The pair ends exactly at the cut: it stays whole.
    const std::wstring fitting = std::wstring(125, L'a') + pair + L"z";
    EXPECT_EQ(std::wstring(125, L'a') + pair, FitTrayHint(fitting));
}
