#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "freeing/ExclusionRules.h"

using namespace freeing;

using Names = std::vector<std::wstring>;

TEST(ExclusionList, ReadsNamesWithoutFoldersBlanksQuotesRepeatsOrNonsense) {
    const struct {
        std::wstring raw;
        Names names;
    } table[] = {
        {L"game.exe;obs64.exe", {L"GAME.EXE", L"OBS64.EXE"}},
        {L" game.exe ; ;;\tobs64.exe\t;", {L"GAME.EXE", L"OBS64.EXE"}},
        {L"C:\\Games\\game.exe;D:/tools/obs64.exe;C:x.exe", {L"GAME.EXE", L"OBS64.EXE", L"X.EXE"}},
        {L"\"C:\\Program Files\\x.exe\";\"y.exe", {L"X.EXE"}},
        {L"game.exe;GAME.EXE;C:\\Game.Exe", {L"GAME.EXE"}},
        {L"*.exe;ga?e.exe;a|b.exe;<x>;..;.;C:\\Games\\;t\x01.exe;ok.exe", {L"OK.EXE"}},
        {L"", {}},
        {L";;  ;", {}},
        {std::wstring(259, L'n') + L";" + std::wstring(260, L'm'), {std::wstring(259, L'N')}},
    };
    for (const auto& row : table) EXPECT_EQ(row.names, ExclusionList::Parse(row.raw).Names()) << row.raw;
    std::wstring many;
    for (int i = 0; i < 300; ++i) many += L"p" + std::to_wstring(i) + L".exe;";
    const Names capped = ExclusionList::Parse(many).Names();
    ASSERT_EQ(kMaxExcludedNames, capped.size());
    EXPECT_EQ(L"P255.EXE", capped.back());
}

TEST(ExclusionList, MatchesTheFileNameWithoutLetterCase) {
    const ExclusionList list = ExclusionList::Parse(L"game.exe;Élan.exe;ŁÓDŹ.exe;ÿ.exe");
    const struct {
        const wchar_t* process;
        bool excluded;
    } table[] = {{L"game.exe", true},       {L"GAME.EXE", true},          {L"C:\\Games\\Game.exe", true},
                 {L"élan.exe", true},        {L"łódź.exe", true},           {L"Ÿ.EXE", true},
                 {L"game.ex", false},        {L"game.exe.exe", false},      {L"elan.exe", false},
                 {L"", false},               {L"C:\\game.exe\\x.exe", false}};
    for (const auto& row : table) EXPECT_EQ(row.excluded, list.Excludes(row.process)) << row.process;
    EXPECT_FALSE(ExclusionList::Parse(L"").Excludes(L"game.exe"));
}

TEST(FoldNameCase, UpperCaseOfLatinLettersOnly) {
    EXPECT_EQ(L"AZ09_ß.µÀÉÞ÷ŸĀĂĲĹĽŃŊŒŹŽİıĸŉſΑω", FoldNameCase(L"az09_ß.µàéþ÷ÿāăĳĺľńŋœźžİıĸŉſΑω"));
}
