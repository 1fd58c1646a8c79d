#include <gtest/gtest.h>

#include "SettingsTestSupport.h"
#include "MainFormSupport.h"
#include "app/MainForm.h"
#include "probes/CpuUsage.h"
#include "settings/OptionForm.h"
#include "settings/SettingsStore.h"
#include "widgets/Application.h"
#include "platform/Paths.h"

using namespace testsupport;
using app::TMainForm;
using settings::TOptionForm;

namespace {

class OptionFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        appData_.SetString(appDataFolder_.Path());
        run_.Delete();
        settings::ResetSettingsForTest();
        platform::SetModulePathForTest(programFolder_ / L"brimvale.exe");
        widgets::Application.SetCommandLineForTest(L"brimvale.exe");
    }
    void TearDown() override {
        dialog_.reset();
        main_.reset();
        platform::SetModulePathForTest(L"");
        settings::ResetSettingsForTest();
    }
    void Start() {
        probes::ResetCpuUsageForTest();
        main_ = std::make_unique<testsupport::OwnMainForm>();
        dialog_ = std::make_unique<TOptionForm>(main_->TheProgram());
    }
    std::wstring IniPath() const { return appDataFolder_ / L"Palvo\\Brimvale\\Brimvale.ini"; }
    void WriteIni(const std::string& text) {
        ::CreateDirectoryW((appDataFolder_ / L"Palvo").c_str(), nullptr);
        ::CreateDirectoryW((appDataFolder_ / L"Palvo\\Brimvale").c_str(), nullptr);
        WriteBytes(IniPath(), text);
    }
    std::vector<bool> Boxes() const {
        return {dialog_->CheckBox_set_start_with_window->Checked(), dialog_->CheckBox_set_auto_free->Checked(),
                dialog_->CheckBox_set_pause_free->Checked(), dialog_->CheckBox_use_smart_algorithm->Checked()};
    }

    ScratchFolder appDataFolder_{L"appdata"};
    ScratchFolder programFolder_{L"program"};
    SavedRegistryValue appData_{settings::ShellFoldersKey, settings::AppDataValue};
    SavedRegistryValue run_{settings::RunKey, settings::AutostartValue};
    CapturedReports reports_;
    std::unique_ptr<TMainForm> main_;
    std::unique_ptr<TOptionForm> dialog_;
};

}  // namespace

TEST_F(OptionFormTest, FirstStartCreatesTheFileAndAppliesItsDefaults) {
    Start();
    EXPECT_EQ("[Brimvale]\r\nstartwithwindows=0\r\nfreewhenleisure=0\r\npausewhenbusy=1\r\nsmartfree=0\r\n",
              FileBytes(IniPath()));
    EXPECT_EQ((std::vector<bool>{false, false, true, false}), Boxes());
    EXPECT_EQ(L"Smart free off", main_->Label_status_Smart->Caption());
    EXPECT_EQ(L"Auto free off", main_->Label_Status_Auto->Caption());
    EXPECT_FALSE(main_->Timer_free->Enabled());
    EXPECT_FALSE(run_.Current().exists);
    EXPECT_FALSE(dialog_->Visible());
    EXPECT_TRUE(reports_.Messages().empty());
}

TEST_F(OptionFormTest, StoredSettingsAreAppliedAtStartUp) {
    WriteIni("[Brimvale]\r\nstartwithwindows=1\r\nfreewhenleisure=1\r\npausewhenbusy=0\r\nsmartfree=$A\r\n");
    Start();
    EXPECT_EQ((std::vector<bool>{true, true, false, true}), Boxes());
    EXPECT_TRUE(main_->Timer_free->Enabled());
    EXPECT_EQ(L"Smart free on", main_->Label_status_Smart->Caption());
    EXPECT_EQ(L"Auto free on", main_->Label_Status_Auto->Caption());
    const RegistryValue run = run_.Current();
    ASSERT_TRUE(run.exists);
    EXPECT_EQ(L"\"" + platform::ModulePath() + L"\" /m", std::wstring(StringOf(run).c_str()));
}

TEST_F(OptionFormTest, KeysMissingFromTheFileShowTheSettingsInUseSoOkChangesNothing) {
    WriteIni("[Brimvale]\r\nfreewhenleisure=0\r\n");
    Start();
    EXPECT_EQ((std::vector<bool>{false, false, true, false}), Boxes());
    dialog_->LoadForDialog();
    EXPECT_EQ((std::vector<bool>{false, false, true, false}), Boxes());
    dialog_->Button_set_saveClick();
    EXPECT_FALSE(run_.Current().exists);
    EXPECT_NE(std::string::npos, FileBytes(IniPath()).find("startwithwindows=0"));
}

TEST_F(OptionFormTest, OkWritesAppliesAndStartsIdleFreeingWithoutARestart) {
    Start();
    // The user ticks auto-free and presses OK while the dialog is shown
    // modally: the modal loop ends.
    ::PostMessageW(dialog_->CheckBox_set_auto_free->Handle(), BM_CLICK, 0, 0);
    ::PostMessageW(dialog_->Button_set_save->Handle(), BM_CLICK, 0, 0);
    main_->Button_settingClick();
    EXPECT_FALSE(dialog_->Visible());
    EXPECT_EQ("[Brimvale]\r\nstartwithwindows=0\r\nfreewhenleisure=1\r\npausewhenbusy=1\r\nsmartfree=0\r\n",
              FileBytes(IniPath()));
    EXPECT_EQ(L"Auto free on", main_->Label_Status_Auto->Caption());
    EXPECT_TRUE(main_->Timer_free->Enabled());
    EXPECT_FALSE(run_.Current().exists);
}

TEST_F(OptionFormTest, OkAfterTheSettingsFolderWasRemovedMakesItAgainAndStores) {
    Start();
    testsupport::RemoveTree(appDataFolder_ / L"Palvo");
    dialog_->LoadForDialog();
    dialog_->CheckBox_set_start_with_window->SetChecked(false);
    dialog_->CheckBox_use_smart_algorithm->SetChecked(true);
    dialog_->Button_set_save->Click();
    EXPECT_TRUE(reports_.Messages().empty());
    EXPECT_EQ("[Brimvale]\r\nstartwithwindows=0\r\nfreewhenleisure=0\r\npausewhenbusy=1\r\nsmartfree=1\r\n",
              FileBytes(IniPath()));
}

TEST_F(OptionFormTest, ModalDialogReloadsTheBoxesAndCancelPutsThemBack) {
    Start();
    // The file changed behind the program's back: the dialog shows the file...
    WriteIni("[Brimvale]\r\nstartwithwindows=0\r\nfreewhenleisure=1\r\npausewhenbusy=1\r\nsmartfree=1\r\n");
    const std::string edited = FileBytes(IniPath());
    bool seenInDialog = false;
    ::PostMessageW(dialog_->Button_set_cancel->Handle(), BM_CLICK, 0, 0);
    dialog_->OnShow = [&] { seenInDialog = dialog_->CheckBox_set_auto_free->Checked(); };
    main_->Button_settingClick();
    EXPECT_TRUE(seenInDialog);
    // ...and Cancel writes nothing and leaves the live settings as they were.
    EXPECT_EQ(edited, FileBytes(IniPath()));
    EXPECT_EQ((std::vector<bool>{false, false, true, false}), Boxes());
    EXPECT_FALSE(main_->Timer_free->Enabled());
    EXPECT_EQ(L"Auto free off", main_->Label_Status_Auto->Caption());
}

TEST_F(OptionFormTest, CloseBoxActsAsCancel) {
    Start();
    dialog_->LoadForDialog();
    dialog_->CheckBox_use_smart_algorithm->SetChecked(true);
    dialog_->Close();
    EXPECT_FALSE(dialog_->CheckBox_use_smart_algorithm->Checked());
    EXPECT_FALSE(dialog_->Visible());
}

namespace {
int gWaits = 0;
platform::UniqueFileHandle* gHeld = nullptr;
void CountWait(unsigned long) { ++gWaits; }
void ReleaseOnFirstWait(unsigned long) {
    if (++gWaits == 1) gHeld->reset();
}
}  // namespace

TEST_F(OptionFormTest, AHeldFileIsWaitedForAndARefusedWriteChangesNothingAndKeepsTheDialogOpen) {
    Start();
    const std::string before = FileBytes(IniPath());
    dialog_->LoadForDialog();
    dialog_->Show();
    dialog_->CheckBox_set_auto_free->SetChecked(true);
    dialog_->CheckBox_set_start_with_window->SetChecked(true);
    // Held open without write sharing: the profile writer cannot replace it.
    auto hold = [&] {
        return platform::UniqueFileHandle(::CreateFileW(IniPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                        OPEN_EXISTING, 0, nullptr));
    };
    platform::UniqueFileHandle lock = hold();
    ASSERT_TRUE(lock.valid());
    gWaits = 0;
    {
        platform::ScopedSeam<settings::ReadWaitFn> wait(settings::SettingsReadWait, &CountWait);
        dialog_->Button_set_save->Click();
    }
    lock.reset();
    EXPECT_EQ(20, gWaits);  // two seconds in steps of 100 ms
    ASSERT_EQ(1u, reports_.Messages().size());
    EXPECT_NE(std::wstring::npos, reports_.Messages()[0].find(IniPath()));
    EXPECT_TRUE(dialog_->Visible());
    EXPECT_TRUE(dialog_->CheckBox_set_start_with_window->Checked());  // the user's choices stay
    EXPECT_FALSE(main_->Timer_free->Enabled());
    EXPECT_FALSE(run_.Current().exists);
    EXPECT_EQ(before, FileBytes(IniPath()));

    // Let go within the wait: OK goes through.
    lock = hold();
    gHeld = &lock;
    gWaits = 0;
    {
        platform::ScopedSeam<settings::ReadWaitFn> wait(settings::SettingsReadWait, &ReleaseOnFirstWait);
        dialog_->Button_set_save->Click();
    }
    EXPECT_EQ(1, gWaits);
    EXPECT_FALSE(dialog_->Visible());
    EXPECT_TRUE(main_->Timer_free->Enabled());
    EXPECT_TRUE(run_.Current().exists);
    EXPECT_NE(std::string::npos, FileBytes(IniPath()).find("freewhenleisure=1"));
}

TEST_F(OptionFormTest, StatusBarShowsOkForSmartAndCancelForAuto) {
    WriteIni("[Brimvale]\r\nsmartfree=1\r\nfreewhenleisure=0\r\n");
    Start();
    widgets::TTntStatusBar& bar = *main_->StatusBar_smart_auto;
    RECT r{};
    ::GetClientRect(bar.Handle(), &r);
    widgets::TBitmap painted(r.right, r.bottom);
    bar.PaintPanels(painted.Dc());
    auto drawnAlone = [&](HICON icon, int x, int y) {
        widgets::TBitmap expected(r.right, r.bottom);
        ::BitBlt(expected.Dc(), 0, 0, r.right, r.bottom, painted.Dc(), 0, 0, SRCCOPY);
        ::DrawIconEx(expected.Dc(), x, y, icon, 16, 16, 0, nullptr, DI_NORMAL);
        int differing = 0, inked = 0;
        for (int yy = y; yy < y + 16; ++yy)
            for (int xx = x; xx < x + 16; ++xx) {
                differing += painted.Canvas().Pixel(xx, yy) != expected.Canvas().Pixel(xx, yy);
                inked += painted.Canvas().Pixel(xx, yy) != ::GetSysColor(COLOR_BTNFACE);
            }
        return std::make_pair(differing, inked);
    };
    const auto ok = drawnAlone(main_->Image_ok_ico->Icon(), 2, 4);
    EXPECT_EQ(0, ok.first);  // drawing the ok picture again changes nothing: it is there
    EXPECT_GT(ok.second, 10);
    const auto cancel = drawnAlone(main_->Image_cancel_ico->Icon(), 248, 4);
    EXPECT_EQ(0, cancel.first);
    EXPECT_GT(cancel.second, 10);
    // And the pictures differ: the cancel picture at (2, 4) would change pixels.
    EXPECT_GT(drawnAlone(main_->Image_cancel_ico->Icon(), 2, 4).first, 0);
}

TEST_F(OptionFormTest, EnterAndEscapeAreNotBoundToTheButtons) {
    Start();
    const std::string before = FileBytes(IniPath());
    HWND box = dialog_->CheckBox_use_smart_algorithm->Handle();
    bool shown = false;
    dialog_->OnShow = [&] {
        shown = true;
        // A change that OK would save and Cancel would drop.
        dialog_->CheckBox_use_smart_algorithm->SetChecked(true);
        ::SetFocus(box);
        for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
            ::PostMessageW(box, WM_KEYDOWN, key, 0);
            ::PostMessageW(box, WM_KEYUP, key, 0);
        }
        // Still open after both keys: only the Cancel button closes it.
        ::PostMessageW(dialog_->Button_set_cancel->Handle(), BM_CLICK, 0, 0);
    };
    int reportsBefore = static_cast<int>(reports_.Messages().size());
    main_->Button_settingClick();
    EXPECT_TRUE(shown);
    EXPECT_EQ(before, FileBytes(IniPath()));
    EXPECT_EQ(L"Smart free off", main_->Label_status_Smart->Caption());
    EXPECT_EQ(reportsBefore, static_cast<int>(reports_.Messages().size()));
}
