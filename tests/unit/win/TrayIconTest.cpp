#include <gtest/gtest.h>
#include <windows.h>

#include <shellapi.h>

#include "widgets/Form.h"
#include "widgets/Menus.h"
#include "widgets/TrayIcon.h"

using namespace widgets;

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

UniqueIcon NewIcon() {
    return UniqueIcon(static_cast<HICON>(::CopyImage(::LoadIconW(nullptr, IDI_APPLICATION), IMAGE_ICON, 0, 0, 0)));
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
    const int live = UniqueIcon::liveCount();
    for (int i = 0; i < 20; ++i) tray->Update(L"hint " + std::to_wstring(i), NewIcon());
    EXPECT_EQ(live, UniqueIcon::liveCount());
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
