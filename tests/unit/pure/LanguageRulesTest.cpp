#include <gtest/gtest.h>

#include "localisation/LanguageRules.h"

using localisation::IsSafeLanguageName;
using localisation::LanguageSection;

TEST(LanguageSection, OnlyAnExactCapitalMSelectsTheMainSection) {
    EXPECT_EQ(L"M_Brimvale", LanguageSection(L"M"));
    EXPECT_EQ(L"Brimvale_m", LanguageSection(L"m"));
    EXPECT_EQ(L"Brimvale_MainForm", LanguageSection(L"MainForm"));
    EXPECT_EQ(L"Brimvale_OptionForm", LanguageSection(L"OptionForm"));
    EXPECT_EQ(L"Brimvale_M ", LanguageSection(L"M "));
    EXPECT_EQ(L"Brimvale_", LanguageSection(L""));
}

TEST(IsSafeLanguageName, OrdinaryNamesAreAccepted) {
    for (const wchar_t* name : {L"English", L"Deutsch", L"\x0395\x03BB\x03BB\x03B7\x03BD\x03B9\x03BA\x03AC",
                                L"\x4E2D\x6587", L"Portugu\x00EAs (Brasil)", L"en-US", L"English.old",
                                L"CONSOLE", L"Nullish", L"COM", L"COM10", L"LPT0", L"AUXILIARY", L".x",
                                L"..x"}) {
        EXPECT_TRUE(IsSafeLanguageName(name)) << std::wstring(name).size();
    }
}

TEST(IsSafeLanguageName, PathsAndDrivesAreRefused) {
    for (const wchar_t* name : {L"..\\..\\evil", L"sub/x", L"\\root", L"C:evil", L"C:\\x\\English",
                                L"English:stream", L"\\\\server\\share\\x", L"Eng\nlish",
                                // no name at all: ".lng", "..lng" and so on, stray files
                                L"", L".", L"..", L"..."}) {
        EXPECT_FALSE(IsSafeLanguageName(name));
    }
    EXPECT_FALSE(IsSafeLanguageName(std::wstring(L"Eng\0lish", 8)));
}

TEST(IsSafeLanguageName, ReservedDeviceNamesAreRefusedInAnyCaseAndWithAnExtension) {
    for (const wchar_t* name : {L"CON", L"con", L"Prn", L"AUX", L"nul", L"COM1", L"com9", L"LPT1",
                                L"lpt9", L"CON.txt", L"nul.lng", L"NUL .x", L"AUX ", L"com1.tar.gz",
                                L"COM\x00B9", L"LPT\x00B3", L"CONIN$", L"conout$", L"CON  ", L"COM\x00B2",
                                L"LPT\x00B2"}) {
        EXPECT_FALSE(IsSafeLanguageName(name));
    }
}
