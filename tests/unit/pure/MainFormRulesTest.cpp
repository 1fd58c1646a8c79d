#include <gtest/gtest.h>

#include "app/MainFormRules.h"
#include "widgets/CommandLineRules.h"

using app::GoMenuPoint;
using app::StartsInTray;
using widgets::SplitParameters;

TEST(GoMenuPoint, SitsJustBelowTheButtonAndFollowsTheWindow) {
    const auto p = GoMenuPoint(100, 100, 16, 274, 25);
    EXPECT_EQ(119, p.x);
    EXPECT_EQ(429, p.y);
    const auto moved = GoMenuPoint(100 + 37, 100 - 12, 16, 274, 25);
    EXPECT_EQ(p.x + 37, moved.x);
    EXPECT_EQ(p.y - 12, moved.y);
}

TEST(StartsInTray, OnlyTheExactSingleSwitch) {
    EXPECT_TRUE(StartsInTray({L"/m"}));
    EXPECT_FALSE(StartsInTray({}));
    EXPECT_FALSE(StartsInTray({L"/M"}));
    EXPECT_FALSE(StartsInTray({L"-m"}));
    EXPECT_FALSE(StartsInTray({L"/m", L"x"}));
    EXPECT_FALSE(StartsInTray({L"/m "}));
}

TEST(SplitParameters, SkipsTheProgramAndHonoursQuotes) {
    using V = std::vector<std::wstring>;
    EXPECT_EQ(V{}, SplitParameters(L""));
    EXPECT_EQ(V{}, SplitParameters(L"\"C:\\Program Files\\b.exe\""));
    EXPECT_EQ(V{L"/m"}, SplitParameters(L"\"C:\\Program Files\\b.exe\" /m"));
    EXPECT_EQ(V{L"/m"}, SplitParameters(L"b.exe   /m   "));
    EXPECT_EQ((V{L"/m", L"two words"}), SplitParameters(L"b.exe /m \"two words\""));
    // Every double quote toggles quoting and is dropped.
    EXPECT_EQ((V{L"ab c"}), SplitParameters(L"b.exe a\"\"\"b c\""));
    EXPECT_EQ((V{L"\u03bb\u6587"}), SplitParameters(L"b.exe \u03bb\u6587"));
    EXPECT_EQ((V{L"x"}), SplitParameters(L"b.exe\tx\r\n"));
}
