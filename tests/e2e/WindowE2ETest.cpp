#include <gtest/gtest.h>

#include "Driver.h"
#include "app/MainFormIds.h"
#include "settings/OptionFormIds.h"

using namespace e2e;

namespace {

std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

// The user state, and no language folder beside the program.
void ResetWindowState() {
    ResetUserState();
    RemoveTree(ProgramFolder() + L"language");
}

HWND DialogControl(HWND dialog, int id) { return ::GetDlgItem(dialog, id); }

HWND FocusOf(HWND wnd) {  // the window with the focus in the thread of wnd
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return ::GetGUIThreadInfo(::GetWindowThreadProcessId(wnd, nullptr), &info) ? info.hwndFocus : nullptr;
}
void PressKey(HWND wnd, WPARAM key) { ::PostMessageW(FocusOf(wnd), WM_KEYDOWN, key, 1); }

}  // namespace

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override { ResetWindowState(); }
    void TearDown() override { ResetWindowState(); }
};

TEST_F(MainWindow, EveryCaptionOfBothWindowsIsTheDesignedText) {
    Program program;
    HWND main = program.MainWindow();
    ASSERT_NE(nullptr, main);
    const std::pair<int, const wchar_t*> mainTexts[] = {
        {app::idLabel_cpu, L"CPU Usage:"},
        {app::idLabel_Physical, L"Free Physical:"},
        {app::idLabel_PageFile, L"Free PageFile:"},
        {app::idLabel_Virtual, L"Free Virtual:"},
        {app::idLabel_clean_progress, L"Clean Progress:"},
        {app::idLabel_free_number_before, L""},
        {app::idLabel_free_number, L"0"},
        {app::idLabel_Memory_Released, L"MB memory has been released."},
        {app::idLabel_status_Smart, L"Smart free off"},
        {app::idLabel_Status_Auto, L"Auto free off"},
        {app::idButton_go, L"Go!"},
        {app::idButton_setting, L"Settings"},
        {app::idButton_minimize, L"Minimize"},
    };
    EXPECT_EQ(L"Brimvale", program.Text(main));
    // The settings dialog is created right after the main window and sets the status texts.
    ASSERT_TRUE(WaitFor([&] { return program.FindWindowOfClass(settings::kOptionFormClass) != nullptr; }));
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(main) != FALSE; }));
    for (const auto& [id, text] : mainTexts) EXPECT_EQ(text, program.ControlText(id)) << "control " << id;
    EXPECT_EQ(0u, program.ControlText(app::idLabel_Introduction).find(L"Palvo Brimvale monitors your system"));
    EXPECT_FALSE(program.ControlVisible(app::idLabel_clean_progress));
    EXPECT_FALSE(program.ControlVisible(app::idProgressBar_clean_progress));
    EXPECT_FALSE(program.ControlVisible(app::idLabel_Memory_Released));

    HWND dialog = program.FindWindowOfClass(settings::kOptionFormClass);
    ASSERT_NE(nullptr, dialog);
    EXPECT_FALSE(::IsWindowVisible(dialog));
    EXPECT_EQ(L"Brimvale Settings", program.Text(dialog));
    const std::pair<int, const wchar_t*> dialogTexts[] = {
        {settings::idCheckBox_set_start_with_window, L"Run at Windows Startup"},
        {settings::idCheckBox_set_auto_free, L"Automatically free ram while system is idle"},
        {settings::idCheckBox_set_pause_free, L"Do not auto free during high CPU and disk usage"},
        {settings::idCheckBox_use_smart_algorithm, L"Use Brimvale compression technology"},
        {settings::idButton_set_save, L"OK"},
        {settings::idButton_set_cancel, L"Cancel"},
    };
    for (const auto& [id, text] : dialogTexts) EXPECT_EQ(text, program.Text(DialogControl(dialog, id)));
    EXPECT_TRUE(program.ExitThroughTray());
}

TEST_F(MainWindow, SlashMStartsInTheTrayAndTheTrayBringsTheWindowBack) {
    Program program(L"/m");
    HWND main = program.MainWindow();
    ASSERT_NE(nullptr, main);
    ASSERT_NE(nullptr, program.TrayIcon());
    ::Sleep(500);
    EXPECT_FALSE(::IsWindowVisible(main));
    program.ClickTrayIcon();
    EXPECT_TRUE(WaitFor([&] { return ::IsWindowVisible(main) != FALSE; }));
    // "Minimize" hides it again; "Show window" from the tray menu brings it back.
    ::PostMessageW(program.Control(app::idButton_minimize), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !::IsWindowVisible(main); }));
    program.OpenTrayMenu();
    ASSERT_TRUE(program.ChooseMenuItem(2));
    EXPECT_TRUE(WaitFor([&] { return ::IsWindowVisible(main) != FALSE; }));
    // The close box hides too, and the program keeps running.
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !::IsWindowVisible(main); }));
    EXPECT_TRUE(program.Running());
    EXPECT_TRUE(program.ExitThroughTray());
}

TEST_F(MainWindow, OtherParametersStartWithTheWindowShown) {
    for (const wchar_t* parameters : {L"/M", L"-m", L"/m extra"}) {
        Program program(parameters);
        HWND main = program.MainWindow();
        ASSERT_NE(nullptr, main);
        EXPECT_TRUE(WaitFor([&] { return ::IsWindowVisible(main) != FALSE; })) << Narrow(parameters);
        EXPECT_TRUE(program.ExitThroughTray());
    }
}

TEST_F(MainWindow, SettingsRoundTripWritesTheFileStatusTextsAndRunValue) {
    Program program;
    HWND main = program.MainWindow();
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(main) != FALSE; }));
    HWND dialog = program.FindWindowOfClass(settings::kOptionFormClass);
    ASSERT_NE(nullptr, dialog);

    // The keyboard: the shown window starts at Go!, and Enter presses it (its
    // menu opens; Escape closes it); Tab, and Enter opens the dialog, which
    // starts at its first box. Tick auto-free and "Run at Windows Startup", OK.
    EXPECT_TRUE(WaitFor([&] { return FocusOf(main) == program.Control(app::idButton_go); }));
    PressKey(main, VK_RETURN);
    HWND menu = nullptr;
    EXPECT_TRUE(WaitFor([&] { return (menu = ::FindWindowW(L"#32768", nullptr)) && ::IsWindowVisible(menu); }));
    ::PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindowVisible(menu); }));
    PressKey(main, VK_TAB);
    ASSERT_TRUE(WaitFor([&] { return FocusOf(main) == program.Control(app::idButton_setting); }));
    PressKey(main, VK_RETURN);
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(dialog) != FALSE; }));
    HWND start = DialogControl(dialog, settings::idCheckBox_set_start_with_window);
    EXPECT_TRUE(WaitFor([&] { return FocusOf(dialog) == start; }));
    EXPECT_EQ(BST_UNCHECKED, ::SendMessageW(start, BM_GETCHECK, 0, 0));
    ::SendMessageW(start, BM_CLICK, 0, 0);
    ::SendMessageW(DialogControl(dialog, settings::idCheckBox_set_auto_free), BM_CLICK, 0, 0);
    ::PostMessageW(DialogControl(dialog, settings::idButton_set_save), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindowVisible(dialog); }));
    EXPECT_EQ("[Brimvale]\r\nstartwithwindows=1\r\nfreewhenleisure=1\r\npausewhenbusy=1\r\nsmartfree=0\r\n",
              ReadFileBytes(SettingsFilePath()));
    // OK hides the dialog first, then applies the settings; the main window
    // gets the activation back.
    EXPECT_TRUE(WaitFor([&] { return program.ControlText(app::idLabel_Status_Auto) == L"Auto free on"; }));
    EXPECT_TRUE(WaitFor([&] { return ::GetForegroundWindow() == main; })) << "after OK";
    std::wstring run;
    ASSERT_TRUE(WaitFor([&] { return ReadRegString(kRunKey, L"Brimvale", run); }));
    EXPECT_EQ(L"\"" + ProgramPath() + L"\" /m", run);

    // Cancel writes nothing; clearing the box and OK removes the Run value.
    ::PostMessageW(program.Control(app::idButton_setting), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(dialog) != FALSE; }));
    ::SendMessageW(DialogControl(dialog, settings::idCheckBox_use_smart_algorithm), BM_CLICK, 0, 0);
    ::PostMessageW(DialogControl(dialog, settings::idButton_set_cancel), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindowVisible(dialog); }));
    EXPECT_TRUE(WaitFor([&] { return ::GetForegroundWindow() == main; })) << "after Cancel";
    EXPECT_EQ(L"Smart free off", program.ControlText(app::idLabel_status_Smart));
    EXPECT_NE(std::string::npos, ReadFileBytes(SettingsFilePath()).find("smartfree=0"));

    ::PostMessageW(program.Control(app::idButton_setting), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(dialog) != FALSE; }));
    ::SendMessageW(DialogControl(dialog, settings::idCheckBox_set_start_with_window), BM_CLICK, 0, 0);
    ::PostMessageW(DialogControl(dialog, settings::idButton_set_save), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindowVisible(dialog); }));
    EXPECT_TRUE(WaitFor([&] { return !ReadRegString(kRunKey, L"Brimvale", run); }));
    EXPECT_NE(std::string::npos, ReadFileBytes(SettingsFilePath()).find("startwithwindows=0"));
    EXPECT_TRUE(program.ExitThroughTray());
}

TEST_F(MainWindow, ALanguageFileOverridesCaptionsOfBothWindows) {
    ::CreateDirectoryW((ProgramFolder() + L"language").c_str(), nullptr);
    WriteFileBytes(ProgramFolder() + L"language\\English.lng",
                   Utf16File(L"[Brimvale_MainForm]\r\nCaption=Brimvale \x03A9\r\nButton_setting.Caption=Optionen\r\n"
                             L"[Brimvale_OptionForm]\r\nButton_set_save.Caption=Gut\r\n"
                             L"[M_Brimvale]\r\nautoFreeoff=Auto aus\r\n"));
    Program program;
    HWND main = program.MainWindow();
    ASSERT_TRUE(WaitFor([&] { return program.Text(main) == L"Brimvale \x03A9"; }));
    EXPECT_EQ(L"Optionen", program.ControlText(app::idButton_setting));
    EXPECT_EQ(L"Auto aus", program.ControlText(app::idLabel_Status_Auto));
    HWND dialog = program.FindWindowOfClass(settings::kOptionFormClass);
    ::PostMessageW(program.Control(app::idButton_setting), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(dialog) != FALSE; }));
    EXPECT_EQ(L"Gut", program.Text(DialogControl(dialog, settings::idButton_set_save)));
    ::PostMessageW(DialogControl(dialog, settings::idButton_set_cancel), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindowVisible(dialog); }));
    EXPECT_TRUE(program.ExitThroughTray());
}
