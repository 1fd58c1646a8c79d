// Bad input given to the real program: broken settings and language files,
// registry values of the wrong type, and odd command lines. The program must
// survive, its ticks must go on, its settings dialog must open, and every
// error report must be one message box at a time.
#include <gtest/gtest.h>

#include <functional>
#include <regex>
#include <set>

#include <shlobj.h>

#include "Driver.h"
#include "app/MainFormIds.h"
#include "settings/OptionFormIds.h"

using namespace e2e;
using std::chrono::milliseconds;
using std::chrono::seconds;

namespace {

std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

std::string GarbageBytes(std::size_t size, unsigned seed) {
    std::string bytes;
    bytes.reserve(size);
    unsigned x = seed;
    while (bytes.size() < size) {
        x = x * 1103515245u + 12345u;
        bytes.push_back(static_cast<char>(x >> 16));
    }
    return bytes;
}

std::wstring LanguageFolder() { return ProgramFolder() + L"language"; }
std::wstring RootSettingsFolder() { return L"C:\\Palvo"; }

void WriteLanguage(const std::string& bytes) {
    ::CreateDirectoryW(LanguageFolder().c_str(), nullptr);
    WriteFileBytes(LanguageFolder() + L"\\English.lng", bytes);
}

// A value of the settings file as the platform's reader finds it ("?" when absent).
std::wstring StoredValue(const std::wstring& file, const wchar_t* key) {
    wchar_t buffer[64] = {};
    const DWORD n = ::GetPrivateProfileStringW(L"Brimvale", key, L"?", buffer, 64, file.c_str());
    return std::wstring(buffer, n);
}

void SetRegValue(const wchar_t* key, const wchar_t* name, DWORD type, const void* data, DWORD size) {
    HKEY h = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr) !=
        ERROR_SUCCESS)
        return;
    ::RegSetValueExW(h, name, 0, type, static_cast<const BYTE*>(data), size);
    ::RegCloseKey(h);
}

bool RegValueExists(const wchar_t* key, const wchar_t* name, DWORD* type = nullptr) {
    HKEY h = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
    DWORD t = 0;
    const bool found = ::RegQueryValueExW(h, name, nullptr, &t, nullptr, nullptr) == ERROR_SUCCESS;
    ::RegCloseKey(h);
    if (type) *type = t;
    return found;
}

// The message boxes of the program that show now.
std::vector<HWND> MessageBoxes(const Program& program) {
    std::vector<HWND> boxes;
    for (HWND wnd : program.TopLevelWindows()) {
        wchar_t name[16] = {};
        ::GetClassNameW(wnd, name, 16);
        if (std::wstring(name) == L"#32770" && ::IsWindowVisible(wnd)) boxes.push_back(wnd);
    }
    return boxes;
}

BOOL CALLBACK CollectStaticText(HWND wnd, LPARAM lParam) {
    wchar_t name[16] = {};
    ::GetClassNameW(wnd, name, 16);
    wchar_t text[512] = {};
    ::GetWindowTextW(wnd, text, 512);
    if (std::wstring(name) == L"Static" && text[0]) *reinterpret_cast<std::wstring*>(lParam) = text;
    return TRUE;
}

struct Report {
    std::wstring title, text;
};

// Watches the program's message boxes until `expected` reports have been
// seen and closed: it checks at every look that at most one box is open,
// keeps each box open for `hold` (the program's timers keep firing inside
// it) and then presses its OK. Returns the reports in order.
std::vector<Report> CloseReports(const Program& program, std::size_t expected, milliseconds hold,
                                 std::size_t& mostAtOnce) {
    std::vector<Report> reports;
    mostAtOnce = 0;
    while (reports.size() < expected) {
        std::vector<HWND> boxes;
        if (!WaitFor([&] {
                boxes = MessageBoxes(program);
                mostAtOnce = std::max(mostAtOnce, boxes.size());
                return !boxes.empty() || !program.Running();
            }))
            break;
        if (boxes.empty()) break;  // the program ended
        HWND box = boxes.front();
        Report report;
        report.title = program.Text(box);
        ::EnumChildWindows(box, &CollectStaticText, reinterpret_cast<LPARAM>(&report.text));
        reports.push_back(report);
        const auto end = std::chrono::steady_clock::now() + hold;
        while (std::chrono::steady_clock::now() < end) {
            mostAtOnce = std::max(mostAtOnce, MessageBoxes(program).size());
            ::Sleep(50);
        }
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
        WaitFor([&] {
            mostAtOnce = std::max(mostAtOnce, MessageBoxes(program).size());
            return !::IsWindow(box) || !::IsWindowVisible(box);
        });
    }
    return reports;
}

// No box shows while the program runs on for `span`.
bool NoReportFor(const Program& program, milliseconds span) {
    return !WaitFor([&] { return !MessageBoxes(program).empty(); }, span);
}

// A tick runs and writes its figures again: the processor figure is blanked
// from outside and must come back as a percentage, the memory figure as
// "<free> of <total>MB" (gigabytes with a decimal from a total of 10,000 MB).
bool TicksGoOn(const Program& program) {
    HWND cpu = program.Control(app::idLabel_cpu_usage);
    if (!cpu) return false;
    ::SendMessageTimeoutW(cpu, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"-"), SMTO_ABORTIFHUNG, 5000, nullptr);
    const std::wregex percent(L"-?\\d+%");
    const std::wregex figure(L"\\d+ of \\d+MB|\\d+\\D\\d of \\d+\\D\\dGB");
    return WaitFor([&] { return std::regex_match(program.ControlText(app::idLabel_cpu_usage), percent); },
                   seconds(5)) &&
           std::regex_match(program.ControlText(app::idLabel_avail_phys), figure);
}

// Opens the settings dialog with the Settings button; returns it (null when
// it did not show).
HWND OpenDialog(const Program& program) {
    HWND dialog = program.FindWindowOfClass(settings::kOptionFormClass);
    if (!dialog) return nullptr;
    ::PostMessageW(program.Control(app::idButton_setting), BM_CLICK, 0, 0);
    return WaitFor([&] { return ::IsWindowVisible(dialog) != FALSE; }) ? dialog : nullptr;
}

void Press(HWND dialog, int id) { ::PostMessageW(::GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

bool Checked(HWND dialog, int id) {
    return ::SendMessageW(::GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void SetChecked(HWND dialog, int id, bool checked) {
    if (Checked(dialog, id) != checked) ::SendMessageW(::GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

}  // namespace

class BadInput : public ::testing::Test {
protected:
    void SetUp() override {
        ResetUserState();
        RemoveTree(LanguageFolder());
        hadRootSettings_ = FileExists(RootSettingsFolder());
    }
    void TearDown() override {
        ResetUserState();
        RemoveTree(LanguageFolder());
        if (!hadRootSettings_) RemoveTree(RootSettingsFolder());
    }
    bool hadRootSettings_ = false;
};

// Broken files at start-up: no report at any time, the figures keep coming,
// and the dialog opens and its OK stores the boxes.
TEST_F(BadInput, BrokenFilesNeitherStopNorBreakTheProgram) {
    const std::wstring longText(100000, L'\x0416');
    const struct {
        const char* name;
        std::function<void()> arrange;
    } cases[] = {
        {"settings and language: 10 MB of binary garbage each",
         [] {
             WriteSettingsFile(GarbageBytes(10u << 20, 31u));
             WriteLanguage(GarbageBytes(10u << 20, 57u));
         }},
        {"settings empty; language values of 100,000 characters",
         [&] {
             WriteSettingsFile("");
             WriteLanguage(Utf16File(L"[M_Brimvale]\r\nRamFree=" + longText + L"\r\nautoFreeoff=" + longText +
                                     L"\r\n[Brimvale_MainForm]\r\nCaption=" + longText +
                                     L"\r\n[Brimvale_OptionForm]\r\nButton_set_save.Caption=" + longText + L"\r\n"));
         }},
        {"settings with LF line ends, duplicate keys, a value of 2,000 characters",
         [] {
             WriteSettingsFile("[Brimvale]\nsmartfree=1\nsmartfree=0\nfreewhenleisure=" + std::string(2000, '7') +
                           "\npausewhenbusy=0\n");
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResetUserState();
        RemoveTree(LanguageFolder());
        c.arrange();
        Program program;
        HWND main = program.MainWindow();
        ASSERT_NE(nullptr, main);
        ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(main) != FALSE; }));
        EXPECT_TRUE(NoReportFor(program, milliseconds(1500)));
        EXPECT_TRUE(TicksGoOn(program));

        HWND dialog = OpenDialog(program);
        ASSERT_NE(nullptr, dialog);
        SetChecked(dialog, settings::idCheckBox_set_start_with_window, false);
        SetChecked(dialog, settings::idCheckBox_use_smart_algorithm, true);
        Press(dialog, settings::idButton_set_save);
        EXPECT_TRUE(WaitFor([&] { return !::IsWindowVisible(dialog); }));
        EXPECT_TRUE(WaitFor([&] { return program.ControlText(app::idLabel_status_Smart) == L"Smart free on"; }));
        EXPECT_EQ(L"1", StoredValue(SettingsFilePath(), L"smartfree"));
        EXPECT_EQ(L"0", StoredValue(SettingsFilePath(), L"startwithwindows"));
        EXPECT_TRUE(NoReportFor(program, milliseconds(500)));
        EXPECT_TRUE(TicksGoOn(program));
        EXPECT_TRUE(program.ExitThroughTray());
        EXPECT_EQ(0u, program.ExitCode());
    }
}

// "AppData" as a DWORD, with a language folder: the language lookup reports
// it, and so does the settings store unless asking the shell for the folder
// has put a string back in its place (Wine's shell does); one box after the
// other, never two at once; the first box is held open across several ticks
// of the program. Then the program runs on with its settings in the shell's
// application-data folder.
TEST_F(BadInput, AppDataOfTheWrongTypeGivesOneReportAtATimeAndTheProgramRunsOn) {
    ::CreateDirectoryW(LanguageFolder().c_str(), nullptr);
    wchar_t shellFolder[MAX_PATH] = {};
    ASSERT_TRUE(SUCCEEDED(::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, shellFolder)));
    const std::wstring shellSettings = std::wstring(shellFolder) + L"\\Palvo";
    const bool hadShellSettings = FileExists(shellSettings);
    const DWORD one = 1;
    SetRegValue(kShellFoldersKey, L"AppData", REG_DWORD, &one, sizeof one);
    Program program;
    std::size_t mostAtOnce = 0;
    const std::vector<Report> reports = CloseReports(program, 2, milliseconds(1500), mostAtOnce);
    ASSERT_TRUE(program.Running()) << "exit code " << program.ExitCode();
    ASSERT_GE(reports.size(), 1u);
    ASSERT_LE(reports.size(), 2u);
    EXPECT_EQ(1u, mostAtOnce);
    for (const Report& r : reports) {
        EXPECT_EQ(L"Brimvale", r.title);
        EXPECT_NE(std::wstring::npos, r.text.find(L"'AppData'")) << Narrow(r.text);
    }
    HWND main = program.MainWindow();
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(main) != FALSE; }));
    EXPECT_TRUE(NoReportFor(program, milliseconds(1500)));
    EXPECT_TRUE(TicksGoOn(program));
    EXPECT_EQ(L"Auto free off", program.ControlText(app::idLabel_Status_Auto));

    HWND dialog = OpenDialog(program);
    ASSERT_NE(nullptr, dialog);
    SetChecked(dialog, settings::idCheckBox_set_start_with_window, false);
    SetChecked(dialog, settings::idCheckBox_set_auto_free, true);
    Press(dialog, settings::idButton_set_save);
    EXPECT_TRUE(WaitFor([&] { return !::IsWindowVisible(dialog); }));
    EXPECT_TRUE(WaitFor([&] { return program.ControlText(app::idLabel_Status_Auto) == L"Auto free on"; }));
    EXPECT_EQ(L"1", StoredValue(shellSettings + L"\\Brimvale\\Brimvale.ini", L"freewhenleisure"));
    EXPECT_FALSE(FileExists(RootSettingsFolder() + L"\\Brimvale\\Brimvale.ini"));
    EXPECT_TRUE(NoReportFor(program, milliseconds(500)));
    EXPECT_TRUE(program.ExitThroughTray());
    if (!hadShellSettings) RemoveTree(shellSettings);
}

// A Run value of another type with "Run at Windows Startup" and auto-free
// stored on: the value is the program's, so start-up replaces it by the
// string without a report, and the status bar says what the boxes say.
// Clearing the box and OK deletes the value.
TEST_F(BadInput, ARunValueOfTheWrongTypeIsReplacedAndAutoFreeRuns) {
    WriteSettingsFile("[Brimvale]\r\nstartwithwindows=1\r\nfreewhenleisure=1\r\npausewhenbusy=1\r\nsmartfree=0\r\n");
    const DWORD one = 1;
    SetRegValue(kRunKey, L"Brimvale", REG_DWORD, &one, sizeof one);
    Program program;
    HWND main = program.MainWindow();
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(main) != FALSE; }));
    DWORD type = 0;
    EXPECT_TRUE(WaitFor([&] { return RegValueExists(kRunKey, L"Brimvale", &type) && type == REG_SZ; }));
    std::wstring value;
    EXPECT_TRUE(ReadRegString(kRunKey, L"Brimvale", value));
    EXPECT_EQ(L"\"" + ProgramPath() + L"\" /m", value);
    EXPECT_EQ(L"Auto free on", program.ControlText(app::idLabel_Status_Auto));
    EXPECT_EQ(L"Smart free off", program.ControlText(app::idLabel_status_Smart));
    EXPECT_TRUE(NoReportFor(program, milliseconds(1000)));
    EXPECT_TRUE(TicksGoOn(program));

    HWND dialog = OpenDialog(program);
    ASSERT_NE(nullptr, dialog);
    SetChecked(dialog, settings::idCheckBox_set_start_with_window, false);
    Press(dialog, settings::idButton_set_save);
    EXPECT_TRUE(WaitFor([&] { return !::IsWindowVisible(dialog); }));
    EXPECT_TRUE(WaitFor([] { return !RegValueExists(kRunKey, L"Brimvale"); }));
    EXPECT_TRUE(NoReportFor(program, milliseconds(500)));
    EXPECT_TRUE(program.ExitThroughTray());
}

// Odd command lines (none of them "/m" alone): the program starts with its
// window shown and runs normally.
TEST_F(BadInput, OddCommandLinesStartTheProgramNormally) {
    const std::wstring manyParameters = [] {
        std::wstring line;
        for (int i = 0; i < 8000; ++i) line += L"/m ";
        return line;
    }();
    const struct {
        const char* name;
        std::wstring parameters;
    } cases[] = {
        {"one parameter of 30,000 characters", std::wstring(30000, L'x')},
        {"foreign letters", L"\x03A9\x03BC\x03AD\x03B3\x03B1 \x6F22\x5B57 /\x043C \xFF0Fm"},
        {"8,000 parameters", manyParameters},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Program program(c.parameters);
        HWND main = program.MainWindow();
        ASSERT_NE(nullptr, main);
        ASSERT_NE(nullptr, program.TrayIcon());
        EXPECT_TRUE(WaitFor([&] { return ::IsWindowVisible(main) != FALSE; }));
        EXPECT_TRUE(TicksGoOn(program));
        EXPECT_TRUE(MessageBoxes(program).empty());
        EXPECT_TRUE(program.ExitThroughTray());
    }
}

// ---- Ending from outside and inside modal loops ----

namespace {

// The program's hidden windows, by class.
constexpr wchar_t kApplicationClass[] = L"TApplication";
constexpr wchar_t kTrayWindowClass[] = L"TTextTrayIconWindow";

bool ShowsItsWindow(const Program& program) {
    HWND main = program.MainWindow();
    return main && WaitFor([&] { return ::IsWindowVisible(main) != FALSE; });
}

// Chooses the tray menu's Smart Clean and waits until the run shows its row.
bool StartTraySmartClean(const Program& program) {
    program.OpenTrayMenu();
    return program.ChooseMenuItem(0) &&
           WaitFor([&] { return program.ControlVisible(app::idProgressBar_clean_progress); });
}

// The tray menu's Exit, chosen while a clean runs; the process must end by
// itself, leaving no tray icon.
bool ExitsDuringTheClean(Program& program) {
    program.OpenTrayMenu();
    return program.ChooseMenuItem(3) && program.WaitForExit(seconds(20)) && WaitFor([] { return TrayIconCount() == 0; });
}

// What the session's end sends every top-level window: all must agree, and
// once told that the session ends, the program must be gone.
bool AgreesAndEndsWithTheSession(Program& program) {
    const std::vector<HWND> windows = program.TopLevelWindows();
    for (HWND wnd : windows) {
        DWORD_PTR agreed = 0;
        if (!::SendMessageTimeoutW(wnd, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &agreed) ||
            !agreed)
            return false;
    }
    for (HWND wnd : windows) ::SendMessageTimeoutW(wnd, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, nullptr);
    return program.WaitForExit(seconds(10));
}

}  // namespace

class Ending : public BadInput {};

// Exit chosen during a clean that runs inside the settings dialog's or an
// error report's modal loop ends the program when the clean returns; a close
// request to the hidden application window or the tray's window ends it as
// Exit does (icon gone, a new start runs), the main window's own close only
// hides it; and the session's end is agreed to and ends it, with no report
// or dialog left open.
TEST_F(Ending, ExitInModalLoopsAndRequestsFromOutsideEndTheProgram) {
    {
        SCOPED_TRACE("Exit during a clean inside the settings dialog");
        Program program;
        ASSERT_TRUE(ShowsItsWindow(program));
        ASSERT_NE(nullptr, OpenDialog(program));
        ASSERT_TRUE(StartTraySmartClean(program));
        EXPECT_TRUE(ExitsDuringTheClean(program));
        EXPECT_EQ(0u, program.ExitCode());
    }
    {
        SCOPED_TRACE("Exit during a clean inside an error report");
        // A file where the settings folder should be: start-up reports the
        // refused first-run write and waits in the report's box.
        RemoveTree(AppDataFolder() + L"\\Palvo");
        WriteFileBytes(AppDataFolder() + L"\\Palvo", "not a folder");
        Program program;
        ASSERT_TRUE(WaitFor([&] { return MessageBoxes(program).size() == 1; }));
        ASSERT_TRUE(StartTraySmartClean(program));
        EXPECT_TRUE(ExitsDuringTheClean(program));
        ::DeleteFileW((AppDataFolder() + L"\\Palvo").c_str());
    }
    const struct {
        const wchar_t* windowClass;
        const char* name;
    } closed[] = {{kApplicationClass, "WM_CLOSE to the application window"},
                  {kTrayWindowClass, "WM_CLOSE to the tray's window"}};
    for (const auto& c : closed) {
        SCOPED_TRACE(c.name);
        Program program;
        HWND main = program.MainWindow();
        ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(main) != FALSE; }));
        ASSERT_NE(nullptr, program.TrayIcon());
        ::PostMessageW(main, WM_CLOSE, 0, 0);  // its own close: hidden, still running
        EXPECT_TRUE(WaitFor([&] { return !::IsWindowVisible(main); }));
        EXPECT_TRUE(program.Running());
        HWND target = program.FindWindowOfClass(c.windowClass);
        ASSERT_NE(nullptr, target);
        ::PostMessageW(target, WM_CLOSE, 0, 0);
        EXPECT_TRUE(program.WaitForExit(seconds(10)));
        EXPECT_EQ(0u, program.ExitCode());
        EXPECT_TRUE(WaitFor([] { return TrayIconCount() == 0; }));
        Program next;  // the mutex went with it: a new start runs
        EXPECT_TRUE(WaitFor([&] { return next.HasVisibleWindow(); }));
        EXPECT_TRUE(next.ExitThroughTray());
    }
    {
        SCOPED_TRACE("the session ends with the settings dialog open");
        Program program;
        ASSERT_TRUE(ShowsItsWindow(program));
        ASSERT_NE(nullptr, OpenDialog(program));
        EXPECT_TRUE(AgreesAndEndsWithTheSession(program));
    }
    {
        SCOPED_TRACE("the session ends with an error report open");
        RemoveTree(AppDataFolder() + L"\\Palvo");
        WriteFileBytes(AppDataFolder() + L"\\Palvo", "not a folder");
        Program program;
        ASSERT_TRUE(WaitFor([&] { return MessageBoxes(program).size() == 1; }));
        EXPECT_TRUE(AgreesAndEndsWithTheSession(program));
        ::DeleteFileW((AppDataFolder() + L"\\Palvo").c_str());
    }
}

// A hotkey that another program holds (here a copy under another file name,
// which runs beside the first) is reported once by the later start, with the
// system's reason, and that copy runs on without it while the first keeps
// it; a hotkey that cannot be read is reported once, naming the fault.
TEST_F(BadInput, AHotkeyHeldElsewhereOrUnreadableIsReportedOnceAndTheProgramRunsOn) {
    WriteSettingsFile("[Brimvale]\r\nhotkey=Ctrl+Alt+M\r\n");
    Program first;
    ASSERT_TRUE(ShowsItsWindow(first));
    EXPECT_TRUE(NoReportFor(first, milliseconds(500)));
    const struct {
        const char* setting;
        const wchar_t* fileName;
        const wchar_t* says;
        bool systemReason;  // the system's text on a line of its own
    } starts[] = {{"hotkey=Ctrl+Alt+M", L"brimvale-other.exe", L"The hotkey Ctrl+Alt+M cannot be registered", true},
                  {"hotkey=Ctrl+Q1", L"brimvale-third.exe", L"cannot be read (unknown key 'Q1')", false}};
    for (const auto& start : starts) {
        SCOPED_TRACE(start.setting);
        WriteSettingsFile(std::string("[Brimvale]\r\n") + start.setting + "\r\n");
        Program other(L"", CopyProgramAs(start.fileName));
        std::size_t mostAtOnce = 0;
        const std::vector<Report> reports = CloseReports(other, 1, milliseconds(200), mostAtOnce);
        ASSERT_EQ(1u, reports.size());
        EXPECT_NE(std::wstring::npos, reports[0].text.find(start.says)) << Narrow(reports[0].text);
        EXPECT_EQ(start.systemReason, reports[0].text.find(L'\n') != std::wstring::npos) << Narrow(reports[0].text);
        EXPECT_TRUE(NoReportFor(other, milliseconds(1500)));
        EXPECT_TRUE(TicksGoOn(other));
        ::PostMessageW(other.FindWindowOfClass(kApplicationClass), WM_CLOSE, 0, 0);
        EXPECT_TRUE(other.WaitForExit(seconds(10)));
    }
    // The first copy still holds the key.
    PressKeys({VK_CONTROL, VK_MENU, 'M'});
    EXPECT_TRUE(WaitFor([&] { return first.ControlVisible(app::idLabel_Memory_Released); }, seconds(60)));
    EXPECT_TRUE(first.ExitThroughTray());
}
