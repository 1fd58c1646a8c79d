#include <gtest/gtest.h>

#include "platform/IniFileRules.h"

using platform::IniLines;
using platform::ParseIniBool;
using platform::WithKeysSet;

namespace {

// Each text is tried with both defaults: an integer ignores the default, a
// non-integer returns it.
void ExpectOn(const std::wstring& text) {
    EXPECT_TRUE(ParseIniBool(text, false)) << "\"" << std::string(text.begin(), text.end()) << "\"";
    EXPECT_TRUE(ParseIniBool(text, true));
}
void ExpectOff(const std::wstring& text) {
    EXPECT_FALSE(ParseIniBool(text, true)) << "\"" << std::string(text.begin(), text.end()) << "\"";
    EXPECT_FALSE(ParseIniBool(text, false));
}
void ExpectDefault(const std::wstring& text) {
    EXPECT_TRUE(ParseIniBool(text, true)) << "\"" << std::string(text.begin(), text.end()) << "\"";
    EXPECT_FALSE(ParseIniBool(text, false)) << "\"" << std::string(text.begin(), text.end()) << "\"";
}

}  // namespace

TEST(ParseIniBool, NonZeroDecimalAndHexadecimalIntegersAreOn) {
    for (const wchar_t* text : {L"1", L"2", L"-1", L"+7", L"0x1", L"0X1", L"$A", L"$a", L"0xff",
                                L"0010", L"2147483647", L"-2147483648", L"0xFFFFFFFF", L"$80000000",
                                L"0x000000001", L"9", L"0x9"}) {
        ExpectOn(text);
    }
}

TEST(ParseIniBool, ZeroInEveryFormIsOff) {
    for (const wchar_t* text : {L"0", L"-0", L"+0", L"000", L"0x0", L"0X00", L"$0"}) ExpectOff(text);
}

TEST(ParseIniBool, AnythingThatIsNotA32BitIntegerGivesTheDefault) {
    for (const wchar_t* text :
         {L"", L"yes", L"true", L"on", L" 1x", L"1x", L"1 ", L" 1", L"99999999999", L"2147483648",
          L"-2147483649", L"0x1FFFFFFFF", L"$100000000", L"0x", L"$", L"-", L"+", L"0xg", L"$-1",
          L"-0x1", L"-$1", L"1.0", L"1e3", L"0b1", L"\x0661" /* Arabic-Indic one */,
          L"\xFF11" /* full-width one */, L"1a", L"A"}) {
        ExpectDefault(text);
    }
}

TEST(NextReadStep, GoneIsMissingAnyOtherRefusalIsWaitedForTwoSeconds) {
    using platform::NextReadStep, platform::ReadStep;
    for (unsigned long waited : {0ul, 1999ul, 2000ul}) {
        EXPECT_EQ(ReadStep::Read, NextReadStep(0, waited));
        for (unsigned long gone : {2ul, 3ul}) EXPECT_EQ(ReadStep::Missing, NextReadStep(gone, waited));
        // Sharing and lock violations, access denied.
        for (unsigned long held : {32ul, 33ul, 5ul})
            EXPECT_EQ(waited < 2000 ? ReadStep::Wait : ReadStep::Unreadable, NextReadStep(held, waited));
    }
}

TEST(WithKeysSet, ExistingKeysKeepPlaceAndSpellingNewOnesFollowOthersStay) {
    const IniLines lines{{L"StartWithWindows", L"1"}, {L"exclude", L"game.exe"}, {L"smartfree", L"0"}};
    const IniLines set = WithKeysSet(lines, {{L"startwithwindows", L"0"}, {L"freewhenleisure", L"1"}});
    EXPECT_EQ((IniLines{{L"StartWithWindows", L"0"}, {L"exclude", L"game.exe"}, {L"smartfree", L"0"},
                        {L"freewhenleisure", L"1"}}),
              set);
    EXPECT_EQ(lines, WithKeysSet(lines, {{L"SMARTFREE", L"0"}}));  // nothing changes: nothing to write
}
