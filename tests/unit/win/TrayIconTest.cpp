#include <gtest/gtest.h>
#include <windows.h>

#include <shellapi.h>

#include <string>
#include <utility>
#include <vector>

#include "widgets/Form.h"
#include "widgets/Menus.h"
#include "widgets/MessageFilter.h"
#include "platform/DynCalls.h"
#include "platform/Seam.h"
#include "widgets/TrayIcon.h"

using namespace widgets;
using namespace platform;

namespace {

// Asks the tray directly whether it holds icon 1 of the given window.
bool TrayHolds(HWND wnd) {
    NOTIFYICONDATAW data{};
    data.cbSize = NOTIFYICONDATAW_V2_SIZE;
    data.hWnd = wnd;
    data.uID = 1;
    data.uFlags = 0;
    return ::Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

void RemoveBehindItsBack(HWND wnd) {
    NOTIFYICONDATAW data{};
    data.cbSize = NOTIFYICONDATAW_V2_SIZE;
    data.hWnd = wnd;
    data.uID = 1;
    ::Shell_NotifyIconW(NIM_DELETE, &data);
}

platform::UniqueIcon NewIcon() {
    return platform::UniqueIcon(static_cast<HICON>(::CopyImage(::LoadIconW(nullptr, IDI_APPLICATION), IMAGE_ICON, 0, 0, 0)));
}

struct TrayFixture : ::testing::Test {
    FormOptions Options() {
        FormOptions o;
        o.caption = L"tray test";
        o.clientWidth = 100;
        o.clientHeight = 50;
        return o;
    }
    TTntForm form{L"TrayTestForm", "TTrayTestForm", Options()};
    TTextTrayIcon* tray = form.Add<TTextTrayIcon>(L"TextTrayIcon");
};

}  // namespace

TEST_F(TrayFixture, IconIsAddedAtCreationAndReplacedIconsAreDestroyed) {
    EXPECT_TRUE(tray->IconVisible());
    EXPECT_TRUE(TrayHolds(tray->Window()));
    const int live = platform::UniqueIcon::liveCount();
    for (int i = 0; i < 20; ++i) tray->Update(L"hint " + std::to_wstring(i), NewIcon());
    EXPECT_EQ(live, platform::UniqueIcon::liveCount());
    EXPECT_EQ(L"hint 19", tray->Hint());
}

TEST_F(TrayFixture, LostIconComesBackOnTheNextUpdateAndWhenTheTaskbarIsRecreated) {
    RemoveBehindItsBack(tray->Window());
    ASSERT_FALSE(TrayHolds(tray->Window()));
    tray->SetIcon(NewIcon());  // the modify fails: the icon is added again
    EXPECT_TRUE(TrayHolds(tray->Window()));

    RemoveBehindItsBack(tray->Window());
    ASSERT_FALSE(TrayHolds(tray->Window()));
    ::SendMessageW(tray->Window(), ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(TrayHolds(tray->Window()));
}

TEST_F(TrayFixture, LeftClickRaisesOnClickAndShowHideDriveTheMainForm) {
    int clicks = 0;
    tray->OnClick = [&] {
        ++clicks;
        tray->ShowMainForm();
    };
    tray->HideMainForm();
    EXPECT_FALSE(form.Visible());
    tray->HandleCallback(WM_LBUTTONDOWN);  // only the button's release is a click
    EXPECT_EQ(0, clicks);
    tray->HandleCallback(WM_LBUTTONUP);
    EXPECT_EQ(1, clicks);
    EXPECT_TRUE(form.Visible());
    ::ShowWindow(form.Handle(), SW_MINIMIZE);
    tray->ShowMainForm();
    EXPECT_FALSE(form.Iconic());
    EXPECT_TRUE(form.Visible());
}

// ---- A shell that times out and refuses, through the tray seam ----

namespace {

// The shell's view: whether it holds the icon, the tip it shows, and how it
// answers. A busy shell lets every call time out (FALSE) without a change,
// or only the first few; an add of an icon it holds is refused.
struct FakeShell {
    bool holds = false;
    std::wstring tip;
    int timeOuts = 0;  // the next this many calls time out; -1: all of them
    int calls = 0;
};
FakeShell* Shell = nullptr;

BOOL WINAPI FakeShellNotifyIcon(DWORD message, PNOTIFYICONDATAW data) {
    ++Shell->calls;
    if (Shell->timeOuts != 0) {
        if (Shell->timeOuts > 0) --Shell->timeOuts;
        return FALSE;
    }
    switch (message) {
        case NIM_ADD:
            if (Shell->holds) return FALSE;
            Shell->holds = true;
            Shell->tip = data->szTip;
            return TRUE;
        case NIM_MODIFY:
            if (!Shell->holds) return FALSE;
            Shell->tip = data->szTip;
            return TRUE;
        case NIM_DELETE:
            if (!Shell->holds) return FALSE;
            Shell->holds = false;
            return TRUE;
        default:
            return FALSE;
    }
}

struct BusyShellFixture : TrayFixture {
    void SetUp() override {
        Shell = &shell_;
    }
    void TearDown() override { Shell = nullptr; }
    // Builds a tray icon against the fake shell (the fixture's own talks to
    // the real one).
    TTextTrayIcon* NewTray() { return form.Add<TTextTrayIcon>(L"FakeShellTray"); }
    FakeShell shell_;
    platform::ScopedSeam<decltype(ShellNotifyIcon)> fakeShell_{ShellNotifyIcon, &FakeShellNotifyIcon};
};

}  // namespace

// Each case: the shell's state before a tick's update, and what the update
// leaves. Then the shell answers again, and the very next tick reaches it:
// whatever failed before, an update never gives up.
TEST_F(BusyShellFixture, TimeOutsAndRefusalsNeverFreezeThePictureOrTheHint) {
    const struct {
        const char* what;
        bool holds;     // the shell holds the icon before the update
        bool counted;   // the tray icon counts it as present before the update
        int timeOuts;   // calls that time out first (-1: all)
        bool visible;   // afterwards
        bool tipShown;  // the shell shows the update's tip
    } cases[] = {
        {"modify times out although the icon is there; the add is refused; the modify again works",
         true, true, 1, true, true},
        {"counted absent; the add refused, as the icon is there; the modify works", true, false, 0, true, true},
        {"the shell lost the icon: the modify fails, the add works", false, true, 0, true, true},
        {"the modify times out, the shell lost the icon: the add works", false, true, 1, true, true},
        {"the shell answers nothing", true, true, -1, false, false},
        {"counted absent and the shell answers nothing", true, false, -1, false, false},
        {"the add and the modify of an absent icon time out", false, false, 2, false, false},
    };
    TTextTrayIcon* tray = NewTray();
    int tick = 0;
    for (const auto& c : cases) {
        // The icon's own view first, through an update the shell passes or fails.
        shell_ = FakeShell{};
        shell_.holds = true;
        shell_.timeOuts = c.counted ? 0 : -1;
        tray->Update(L"before", NewIcon());
        ASSERT_EQ(c.counted, tray->IconVisible()) << c.what;

        shell_ = FakeShell{};
        shell_.holds = c.holds;
        shell_.timeOuts = c.timeOuts;
        shell_.tip = L"stale";
        const std::wstring tip = L"tick " + std::to_wstring(++tick);
        tray->Update(tip, NewIcon());
        EXPECT_EQ(c.visible, tray->IconVisible()) << c.what;
        EXPECT_EQ(c.tipShown, shell_.tip == tip) << c.what;

        shell_.timeOuts = 0;
        tray->Update(tip + L", next", NewIcon());
        EXPECT_TRUE(tray->IconVisible()) << c.what;
        EXPECT_EQ(tip + L", next", shell_.tip) << c.what;
        EXPECT_TRUE(shell_.holds) << c.what;
    }
}

// Started at the first update: nothing reaches the shell before it, not even
// a re-created taskbar; the update adds the icon with its tip in one call.
TEST_F(BusyShellFixture, AnIconStartedAtItsFirstUpdateGoesToTheShellOnlyThen) {
    TTextTrayIcon* tray = form.Add<TTextTrayIcon>(L"LateTray", TrayIconStart::AtFirstUpdate);
    ::SendMessageW(tray->Window(), ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_EQ(0, shell_.calls);
    EXPECT_FALSE(tray->IconVisible());
    tray->Update(L"first tick", NewIcon());
    EXPECT_EQ(1, shell_.calls);
    EXPECT_TRUE(shell_.holds);
    EXPECT_EQ(L"first tick", shell_.tip);
}

TEST_F(BusyShellFixture, AnIconTheShellAlreadyHoldsIsTakenOverAndAlwaysRemovedAtTheEnd) {
    shell_.holds = true;  // left over, or added by a call the shell timed out
    TTextTrayIcon* tray = NewTray();
    EXPECT_TRUE(tray->IconVisible());
    EXPECT_EQ(2, shell_.calls);  // the add refused, the modify taken
    // Created while every call times out, the icon counts as absent; the
    // shell may hold it all the same, so it is removed at the end.
    {
        TTntForm other{L"TrayOther", "TTrayOther", Options()};
        shell_ = FakeShell{};
        shell_.timeOuts = -1;
        TTextTrayIcon* busy = other.Add<TTextTrayIcon>(L"BusyTray");
        EXPECT_FALSE(busy->IconVisible());
        shell_.timeOuts = 0;
        shell_.holds = true;
    }
    EXPECT_FALSE(shell_.holds);
}

namespace {
std::vector<std::pair<HWND, UINT>> Opened;
BOOL WINAPI RecordFilterEx(HWND wnd, UINT msg, DWORD, void*) {
    Opened.emplace_back(wnd, msg);
    return TRUE;
}
}  // namespace

TEST_F(BusyShellFixture, TaskbarCreatedAddsTheIconAgainAndIsLetPastTheIntegrityFilter) {
    Opened.clear();
    TTextTrayIcon* tray = [&] {
        const platform::ScopedSeam filterEx(platform::DynCalls().ChangeWindowMessageFilterEx, &RecordFilterEx);
        return NewTray();
    }();
    const UINT taskbarCreated = ::RegisterWindowMessageW(L"TaskbarCreated");
    ASSERT_EQ(1u, Opened.size());
    EXPECT_EQ(tray->Window(), Opened[0].first);
    EXPECT_EQ(taskbarCreated, Opened[0].second);

    shell_.holds = false;  // the shell restarted without the icon
    shell_.tip.clear();
    tray->Update(L"after the restart", NewIcon());
    shell_.holds = false;
    ::SendMessageW(tray->Window(), taskbarCreated, 0, 0);
    EXPECT_TRUE(shell_.holds);
    EXPECT_EQ(L"after the restart", shell_.tip);
    EXPECT_TRUE(tray->IconVisible());
}
