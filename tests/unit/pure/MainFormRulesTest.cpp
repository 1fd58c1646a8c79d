#include <gtest/gtest.h>

#include "app/MainFormRules.h"
#include "platform/CommandLineRules.h"

using app::GoMenuPoint;
using app::StartsInTray;
using platform::SplitParameters;

TEST(GoMenuPoint, SitsJustBelowTheButtonAndFollowsTheWindow) {
    const auto p = GoMenuPoint(100, 100, 16, 274, 25);
    EXPECT_EQ(119, p.x);
    EXPECT_EQ(429, p.y);
    const auto moved = GoMenuPoint(100 + 37, 100 - 12, 16, 274, 25);
    EXPECT_EQ(p.x + 37, moved.x);
    EXPECT_EQ(p.y - 12, moved.y);
}

// Each command line and what it means: the tray-only start takes exactly
// "/m"; a clean, or the end of the running copy, takes its switch alone, in
// any case, after "/" or "-".
TEST(StartsInTray, OnlyTheExactSingleSwitchAndTheCleansOnlyTheirs) {
    using platform::CleanSwitch;
    const struct {
        std::vector<std::wstring> params;
        bool tray;
        CleanSwitch clean;
    } cases[] = {
        {{L"/m"}, true, CleanSwitch::None},
        {{}, false, CleanSwitch::None},
        {{L"/M"}, false, CleanSwitch::None},
        {{L"-m"}, false, CleanSwitch::None},
        {{L"/m", L"x"}, false, CleanSwitch::None},
        {{L"/m "}, false, CleanSwitch::None},
        {{L"/smartclean"}, false, CleanSwitch::Smart},
        {{L"-SmartClean"}, false, CleanSwitch::Smart},
        {{L"/DEEPCLEAN"}, false, CleanSwitch::Deep},
        {{L"-deepClean"}, false, CleanSwitch::Deep},
        {{L"/smartclean", L"/m"}, false, CleanSwitch::None},
        {{L"smartclean"}, false, CleanSwitch::None},
        {{L"//smartclean"}, false, CleanSwitch::None},
        {{L"/smartclean "}, false, CleanSwitch::None},
        {{L"/smart"}, false, CleanSwitch::None},
        {{L"/deepcleaner"}, false, CleanSwitch::None},
        {{L"/\u017Fmartclean"}, false, CleanSwitch::None},  // a long s: only ASCII letters fold
        {{L"/exit"}, false, CleanSwitch::Exit},
        {{L"-EXIT"}, false, CleanSwitch::Exit},
        {{L"/eXit"}, false, CleanSwitch::Exit},
        {{L"/exit", L"/m"}, false, CleanSwitch::None},
        {{L"exit"}, false, CleanSwitch::None},
        {{L"/exi"}, false, CleanSwitch::None},
        {{L"/exits"}, false, CleanSwitch::None},
    };
    for (const auto& c : cases) {
        const std::wstring line = c.params.empty() ? L"(none)" : c.params[0];
        EXPECT_EQ(c.tray, StartsInTray(c.params)) << std::string(line.begin(), line.end());
        EXPECT_EQ(c.clean, platform::CleanSwitchOf(c.params)) << std::string(line.begin(), line.end());
    }
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
