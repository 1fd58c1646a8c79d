#include <gtest/gtest.h>

#include "SettingsTestSupport.h"
#include "MainFormSupport.h"
#include "app/MainForm.h"
#include "localisation/Language.h"
#include "localisation/TranslateForm.h"
#include "probes/CpuUsage.h"
#include "settings/OptionForm.h"
#include "settings/SettingsStore.h"
#include "widgets/Application.h"
#include "platform/Paths.h"

using namespace testsupport;

namespace {

// Both windows, with an English.lng in the program's language folder.
class FormTranslation : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(platform::CreateDir(root_ / L"program"));
        ASSERT_TRUE(platform::CreateDir(root_ / L"program\\language"));
        ASSERT_TRUE(platform::CreateDir(root_ / L"appdata"));
        appData_.SetString(root_ / L"appdata");
        run_.Delete();
        platform::SetModulePathForTest(root_ / L"program\\brimvale.exe");
        widgets::Application.SetCommandLineForTest(L"brimvale.exe");
        settings::ResetSettingsForTest();
    }
    void TearDown() override {
        dialog_.reset();
        main_.reset();
        platform::SetModulePathForTest(L"");
        settings::ResetSettingsForTest();
    }
    void WriteLanguage(const std::wstring& text) { WriteBytes(root_ / L"program\\language\\English.lng", Utf16Bytes(text)); }
    void Start() {
        probes::ResetCpuUsageForTest();
        main_ = std::make_unique<testsupport::OwnMainForm>();
        dialog_ = std::make_unique<settings::TOptionForm>(main_->TheProgram());
    }
    std::vector<std::wstring> Captions(widgets::TTntForm& form) {
        std::vector<std::wstring> captions{form.Caption()};
        for (int i = 0; i < form.ComponentCount(); ++i) captions.push_back(form.Components(i)->Caption());
        return captions;
    }

    ScratchFolder root_{L"translation"};
    SavedRegistryValue appData_{settings::ShellFoldersKey, settings::AppDataValue};
    SavedRegistryValue run_{settings::RunKey, settings::AutostartValue};
    CapturedReports reports_;
    std::unique_ptr<app::TMainForm> main_;
    std::unique_ptr<settings::TOptionForm> dialog_;
};

}  // namespace

TEST_F(FormTranslation, MainWindowMakesTwentyFiveLookupsAndTheDialogSeven) {
    Start();
    int before = localisation::TranslateLookupCount;
    localisation::TranslateForm(main_->Language(), *main_);
    EXPECT_EQ(25, localisation::TranslateLookupCount - before);
    before = localisation::TranslateLookupCount;
    localisation::TranslateForm(main_->Language(), *dialog_);
    EXPECT_EQ(7, localisation::TranslateLookupCount - before);
}

TEST_F(FormTranslation, AnEmptyLanguageFileChangesNoCaption) {
    WriteLanguage(L"\r\n");
    Start();
    main_->Label_free_number->SetCaption(L"123");  // changed at run time
    const auto mainBefore = Captions(*main_);
    const auto dialogBefore = Captions(*dialog_);
    main_->FormShow();
    dialog_->FormShow();
    EXPECT_EQ(mainBefore, Captions(*main_));
    EXPECT_EQ(dialogBefore, Captions(*dialog_));
}

TEST_F(FormTranslation, TextsOfBothWindowsAndTheHintComeFromTheFile) {
    WriteLanguage(
        L"[Brimvale_MainForm]\r\nCaption=\x0392\x03C1\x03B9\x03BC\r\nButton_go.Caption=Los!\r\n"
        L"Tray_Exit.Caption=Beenden\r\nLabel_cpu_usage.Caption=viel\r\n"
        L"[Brimvale_OptionForm]\r\nButton_set_cancel.Caption=Abbrechen\r\nCaption=Einstellungen\r\n"
        L"[M_Brimvale]\r\nRamFree=RAM frei\r\nSmartFreeoff=Smart aus\r\nCpuUsageHint=Last\r\n");
    Start();
    EXPECT_EQ(L"Smart aus", main_->Label_status_Smart->Caption());
    EXPECT_EQ(L"Last", main_->Image_cpu->Hint());
    EXPECT_NE(std::wstring::npos, main_->TextTrayIcon->Hint().find(L"% RAM frei (")) ;
    EXPECT_EQ(0u, main_->TextTrayIcon->Hint().find(L"\x0392\x03C1\x03B9\x03BC: "));

    main_->FormShow();
    dialog_->FormShow();
    EXPECT_EQ(L"\x0392\x03C1\x03B9\x03BC", main_->Caption());
    EXPECT_EQ(L"Los!", main_->Button_go->Caption());
    EXPECT_EQ(L"Beenden", main_->Tray_Exit->Caption());
    EXPECT_EQ(L"Einstellungen", dialog_->Caption());
    EXPECT_EQ(L"Abbrechen", dialog_->Button_set_cancel->Caption());
    EXPECT_EQ(L"OK", dialog_->Button_set_save->Caption());
    // The figure shows the file's text until the next tick writes it again.
    EXPECT_EQ(L"viel", main_->Label_cpu_usage->Caption());
    main_->Timer_cpuTimer();
    EXPECT_NE(L"viel", main_->Label_cpu_usage->Caption());
}

TEST_F(FormTranslation, CloseHidesAndTheNextShowTranslatesAgain) {
    WriteLanguage(L"\r\n");
    Start();
    main_->Show();
    main_->Close();
    EXPECT_FALSE(main_->Visible());
    EXPECT_FALSE(widgets::Application.Terminated());
    WriteLanguage(L"[Brimvale_MainForm]\r\nButton_minimize.Caption=Verbergen\r\n");
    main_->TextTrayIconClick();
    EXPECT_TRUE(main_->Visible());
    EXPECT_EQ(L"Verbergen", main_->Button_minimize->Caption());
    main_->Button_minimizeClick();
    EXPECT_FALSE(main_->Visible());
    main_->Tray_ShowWindowClick();
    EXPECT_TRUE(main_->Visible());
    ::SendMessageW(main_->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_FALSE(main_->Visible());
    main_->Hide();
}
