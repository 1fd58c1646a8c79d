// Bad input files and registry values, given to both windows of the program
// made in this process: each outcome is what the program's rules say, or the
// standard error report, and never a crash, a hang or a damaged file.
#include <gtest/gtest.h>

#include <functional>

#include "RobustnessTestSupport.h"
#include "app/MainFormIds.h"
#include "widgets/Errors.h"
#include "platform/Seam.h"
#include "localisation/Language.h"

using namespace robustness;
using testsupport::Contains;
using testsupport::FileBytes;
using testsupport::ListFolder;
using testsupport::Utf16Bytes;

namespace {

const std::vector<bool> kDefaultBoxes{false, false, true, false};

}  // namespace

// ---- The settings file ----

class BadSettingsFile : public ProgramRig {};

// Each file is read at start-up by the rules (a value that is not an integer
// gives the default), nothing is written to it then, and OK rewrites the four
// values so that a fresh reader finds exactly what the boxes show. The
// dialog's creation step, which reads the file at start-up, runs once per
// file on one program.
TEST_F(BadSettingsFile, EachIsReadByTheRulesAndOkStoresTheBoxes) {
    const std::string k2000 = std::string(1999, '0') + "1";
    const struct {
        const char* name;
        std::function<std::string()> bytes;
        std::vector<bool> boxes;  // after start-up
    } cases[] = {
        {"empty file", [] { return std::string(); }, kDefaultBoxes},
        {"10 MB of binary garbage", [] { return GarbageBytes(10u << 20, 777u); }, kDefaultBoxes},
        {"10 MB, the section last",
         [] {
             return FillerSection(10u << 20) +
                    "[Brimvale]\r\nstartwithwindows=0\r\nfreewhenleisure=1\r\npausewhenbusy=0\r\nsmartfree=1\r\n";
         },
         {false, true, false, true}},
        {"values of 2,000 characters",
         [&] {
             return "[Brimvale]\r\nstartwithwindows=" + std::string(2000, 'x') + "\r\nfreewhenleisure=" + k2000 +
                    "\r\npausewhenbusy=" + std::string(2000, '1') + "\r\nsmartfree=" + std::string(2000, '0') +
                    "\r\n";
         },
         // not a number: default; 1 with leading zeros; out of range: default; 0
         {false, true, true, false}},
        {"duplicate keys, the first one counts",
         [] {
             return std::string("[Brimvale]\r\nsmartfree=1\r\nsmartfree=0\r\nfreewhenleisure=0\r\n"
                                "freewhenleisure=1\r\n");
         },
         {false, false, true, true}},
        {"LF line ends",
         [] { return std::string("[Brimvale]\nstartwithwindows=0\nfreewhenleisure=1\npausewhenbusy=0\nsmartfree=1\n"); },
         {false, true, false, true}},
    };
    Start();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // The dialog's creation step, as at a start with this file.
        settings::ResetSettingsForTest();
        main_->Timer_free->SetEnabled(false);
        const std::string bytes = c.bytes();
        WriteIni(bytes);
        widgets::Dispatch([this] { dialog_->FormCreate(); });
        EXPECT_EQ(c.boxes, Boxes());
        EXPECT_EQ(c.boxes[1], main_->Timer_free->Enabled());
        EXPECT_EQ(c.boxes[3] ? L"Smart free on" : L"Smart free off", main_->Label_status_Smart->Caption());
        EXPECT_TRUE(FileBytes(IniPath()) == bytes) << "start-up changed the file";
        EXPECT_TRUE(TickShowsFigures());

        // The dialog loads the file (the first box now defaults to on), the
        // user changes two boxes and presses OK.
        dialog_->LoadForDialog();
        std::vector<bool> chosen = Boxes();
        chosen[2] = !chosen[2];
        chosen[3] = !chosen[3];
        SetBoxes(chosen);
        dialog_->Button_set_save->Click();
        EXPECT_EQ(AsStored(chosen), StoredValues(IniPath()));
        EXPECT_EQ(chosen[3] ? L"Smart free on" : L"Smart free off", main_->Label_status_Smart->Caption());
        EXPECT_TRUE(reports_.Messages().empty());
        run_.Delete();
    }
}

// A file that cannot be written: OK shows one report naming the file, the
// dialog stays open, nothing is applied and the file is as it was. Once the
// obstacle is gone, OK works.
TEST_F(BadSettingsFile, AnUnwritableFileKeepsTheDialogOpenAndTheFileAsItWas) {
    const struct {
        const char* name;
        std::function<std::function<void()>(const std::wstring& file)> block;  // returns the unblocker
    } cases[] = {
        {"held open without write sharing",
         [](const std::wstring& file) -> std::function<void()> {
             auto lock = std::make_shared<platform::UniqueFileHandle>(::CreateFileW(
                 file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
             EXPECT_TRUE(lock->valid());
             return [lock] { lock->reset(); };
         }},
        {"a folder in the file's place",
         [](const std::wstring& file) -> std::function<void()> {
             EXPECT_TRUE(::DeleteFileW(file.c_str()));
             EXPECT_TRUE(platform::CreateDir(file));
             return [file] { EXPECT_TRUE(::RemoveDirectoryW(file.c_str())); };
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        settings::ResetSettingsForTest();
        reports_.Messages().clear();
        WriteIni("[Brimvale]\r\nstartwithwindows=0\r\nfreewhenleisure=0\r\npausewhenbusy=1\r\nsmartfree=0\r\n");
        Start();
        std::string before;
        const bool wasFile = testsupport::ReadBytes(IniPath(), before);
        const std::function<void()> unblock = c.block(IniPath());
        std::string blocked;
        const bool isFile = testsupport::ReadBytes(IniPath(), blocked);

        dialog_->LoadForDialog();
        dialog_->Show();
        SetBoxes({false, true, true, true});
        dialog_->Button_set_save->Click();
        ASSERT_EQ(1u, reports_.Messages().size());
        EXPECT_TRUE(Contains(reports_.Messages()[0], IniPath())) << reports_.Messages()[0];
        EXPECT_TRUE(dialog_->Visible());
        EXPECT_FALSE(main_->Timer_free->Enabled());
        EXPECT_EQ(L"Smart free off", main_->Label_status_Smart->Caption());
        std::string after;
        EXPECT_EQ(isFile, testsupport::ReadBytes(IniPath(), after));
        EXPECT_TRUE(after == blocked) << "the refused write changed the file";
        EXPECT_TRUE(TickShowsFigures());

        unblock();
        if (!platform::FileExists(IniPath()) && wasFile) testsupport::WriteBytes(IniPath(), before);
        dialog_->Button_set_save->Click();
        EXPECT_EQ(1u, reports_.Messages().size());
        EXPECT_FALSE(dialog_->Visible());
        EXPECT_TRUE(main_->Timer_free->Enabled());
        EXPECT_EQ(AsStored({false, true, true, true}), StoredValues(IniPath()));
        dialog_.reset();
        main_.reset();
    }
}

namespace {
// The settings file held open without any sharing, as a backup or virus
// scanner holds it, until the given number of waits has passed (or ever).
platform::UniqueFileHandle gHeld;
int gWaits = 0, gReleaseAfter = 0;
void CountWait(unsigned long) {
    if (++gWaits == gReleaseAfter) gHeld.reset();
}
}  // namespace

// A file that is there but cannot be read is waited for (two seconds at
// most); then the settings stay as they are and one report gives the
// system's reason. Nothing is written over the file: at start-up, and at OK
// after the dialog found it held too, where only the box the user changed
// is stored and the autostart entry is left alone.
TEST_F(BadSettingsFile, AFileHeldOpenIsWaitedForThenLeftAsItIs) {
    const std::string stored = "[Brimvale]\r\nstartwithwindows=1\r\nfreewhenleisure=1\r\nsmartfree=1\r\n";
    platform::ScopedSeam<settings::ReadWaitFn> wait(settings::SettingsReadWait, &CountWait);
    WriteIni(stored);
    for (int releaseAfter : {3, 0}) {  // let go during the wait, or held throughout
        dialog_.reset();
        main_.reset();
        gHeld.reset(::CreateFileW(IniPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        gWaits = 0;
        gReleaseAfter = releaseAfter;
        Start();
        EXPECT_EQ(releaseAfter ? 3 : 20, gWaits);
        const std::vector<bool> stored{true, true, true, true};
        EXPECT_EQ(releaseAfter ? stored : kDefaultBoxes, Boxes());
    }
    ASSERT_EQ(1u, reports_.Messages().size());
    EXPECT_TRUE(Contains(reports_.Messages()[0], IniPath()) &&
                Contains(reports_.Messages()[0], platform::SystemErrorText(ERROR_SHARING_VIOLATION)));
    dialog_->LoadForDialog();  // still held: the boxes as they were, one more report
    EXPECT_EQ(kDefaultBoxes, Boxes());
    EXPECT_EQ(2u, reports_.Messages().size());
    gHeld.reset();
    EXPECT_EQ(stored, FileBytes(IniPath()));
    dialog_->CheckBox_set_pause_free->SetChecked(false);
    dialog_->Button_set_save->Click();
    EXPECT_EQ((std::vector<std::wstring>{L"1", L"1", L"0", L"1"}), StoredValues(IniPath()));
    EXPECT_TRUE(run_.Current().exists);
}

// A file where a settings folder should be: the folder cannot be made and
// the first-run write is refused. Start-up reports it once and still runs to
// its end: the boxes take the defaults and the status texts say so (never
// the design texts); the program runs on, the dialog opens, and its OK is
// refused in turn while the obstacle stays.
TEST_F(BadSettingsFile, AFileInPlaceOfAFolderIsReportedAndTheProgramRunsOn) {
    for (const wchar_t* blocker : {L"Palvo", L"Palvo\\Brimvale"}) {
        SCOPED_TRACE(testing::Message() << "a file at " << std::string(blocker, blocker + wcslen(blocker)));
        settings::ResetSettingsForTest();
        reports_.Messages().clear();
        testsupport::RemoveTree(AppDataFolder() + L"\\Palvo");
        if (std::wstring(blocker) != L"Palvo") platform::CreateDir(AppDataFolder() + L"\\Palvo");
        const std::wstring blockerPath = AppDataFolder() + L"\\" + blocker;
        testsupport::WriteBytes(blockerPath, "not a folder");

        Start();
        ASSERT_EQ(1u, reports_.Messages().size());
        EXPECT_TRUE(Contains(reports_.Messages()[0], IniPath())) << reports_.Messages()[0];
        EXPECT_EQ((std::vector<bool>{false, false, true, false}), Boxes());
        EXPECT_EQ(L"Smart free off", main_->Label_status_Smart->Caption());
        EXPECT_EQ(L"Auto free off", main_->Label_Status_Auto->Caption());
        EXPECT_FALSE(run_.Current().exists);
        EXPECT_TRUE(TickShowsFigures());

        dialog_->LoadForDialog();
        dialog_->Show();
        dialog_->Button_set_save->Click();
        EXPECT_EQ(2u, reports_.Messages().size());
        EXPECT_TRUE(dialog_->Visible());
        dialog_->Button_set_cancel->Click();
        EXPECT_FALSE(dialog_->Visible());
        EXPECT_EQ("not a folder", FileBytes(blockerPath));
        EXPECT_TRUE(TickShowsFigures());
        dialog_.reset();
        main_.reset();
        ::DeleteFileW(blockerPath.c_str());
    }
}

// ---- Language files ----

class BadLanguageFile : public ProgramRig {
protected:
    // Texts a language file may give: the status text "autoFreeoff" and the
    // Go button's caption.
    static std::string Texts(const std::wstring& autoFreeOff, const std::wstring& goCaption) {
        return Utf16Bytes(L"[M_Brimvale]\r\nautoFreeoff=" + autoFreeOff + L"\r\n[Brimvale_MainForm]\r\nButton_go.Caption=" +
                          goCaption + L"\r\n");
    }
    // Writes the language file with a modification time of its own, so that
    // no reader can take it for the previous version.
    void ReplaceLanguage(const std::string& bytes, int version) {
        WriteLanguage(bytes);
        platform::UniqueFileHandle file(::CreateFileW(LanguageFile().c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                                     OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(file.valid());
        FILETIME time{};
        ::GetFileTime(file.get(), nullptr, nullptr, &time);
        ULARGE_INTEGER t{{time.dwLowDateTime, time.dwHighDateTime}};
        t.QuadPart += static_cast<unsigned long long>(version) * 10ull * 10000000ull;
        time = FILETIME{t.LowPart, t.HighPart};
        ASSERT_TRUE(::SetFileTime(file.get(), nullptr, nullptr, &time));
    }
    // The texts as the program shows them next: the status texts as OK
    // writes them, both windows as they show, and a tick.
    std::pair<std::wstring, std::wstring> ShownTexts() {
        main_->ShowSettingsStatus(main_->TheProgram().Settings());
        main_->FormShow();
        dialog_->FormShow();
        EXPECT_TRUE(TickShowsFigures());
        return {main_->Label_Status_Auto->Caption(), main_->Button_go->Caption()};
    }
};

// A language file is only read, anew at every lookup: whatever it holds,
// each text is either the file's (cut to 2047 characters) or the built-in
// default, and the file is left as it was.
TEST_F(BadLanguageFile, EachGivesItsTextsOrTheDefaultsAndIsLeftAsItWas) {
    const std::string utf8 = "Auto \xC3\xBC\xE6\xBC\xA2";  // "Auto ü漢"
    const std::string ansi = "Auto \xFC\xE9";             // "Auto üé" in Western code pages
    const std::wstring longValue(100000, L'\x0416');
    const struct {
        const char* name;
        std::function<std::string()> bytes;
        std::wstring autoFreeOff, goCaption;
    } cases[] = {
        {"64 KB of binary garbage", [] { return GarbageBytes(65536, 99u); }, L"Auto free off", L"Go!"},
        {"10 MB of binary garbage", [] { return GarbageBytes(10u << 20, 4242u); }, L"Auto free off", L"Go!"},
        {"code-page text without a byte-order mark",
         [&] { return "[M_Brimvale]\r\nautoFreeoff=" + ansi + "\r\n[Brimvale_MainForm]\r\nButton_go.Caption=Los!\r\n"; },
         CodePageText(ansi), L"Los!"},
        {"UTF-8 without a byte-order mark: read as the code page",
         [&] { return "[M_Brimvale]\r\nautoFreeoff=" + utf8 + "\r\n"; }, CodePageText(utf8), L"Go!"},
        {"UTF-8 with a byte-order mark",
         [&] { return "\xEF\xBB\xBF[M_Brimvale]\r\nautoFreeoff=" + utf8 + "\r\n"; }, L"Auto \x00FC\x6F22", L"Go!"},
        {"10 MB, the texts last",
         [] {
             return FillerSection(10u << 20) + "[M_Brimvale]\r\nautoFreeoff=Auto aus\r\n"
                                               "[Brimvale_MainForm]\r\nButton_go.Caption=Los!\r\n";
         },
         L"Auto aus", L"Los!"},
        {"values of 100,000 characters", [&] { return Texts(longValue, std::wstring(100000, L'g')); },
         longValue.substr(0, 2047), std::wstring(2047, L'g')},
        {"sections repeated: the first copy counts",
         [] {
             return Texts(L"first", L"Go first") +
                    "[M_Brimvale]\r\nautoFreeoff=second\r\n[Brimvale_MainForm]\r\nButton_go.Caption=Go second\r\n";
         },
         L"first", L"Go first"},
        {"empty again: the defaults come back", [] { return std::string(); }, L"Auto free off", L"Go!"},
    };
    WriteLanguage(Texts(L"Auto aus", L"Los!"));
    Start();
    int version = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string bytes = c.bytes();
        ReplaceLanguage(bytes, ++version);
        // The previous file's captions must not count as this file's.
        main_->Button_go->SetCaption(L"Go!");
        const auto texts = ShownTexts();
        EXPECT_TRUE(texts.first == c.autoFreeOff) << texts.first.size() << " characters";
        EXPECT_TRUE(texts.second == c.goCaption) << texts.second.size() << " characters";
        EXPECT_TRUE(reports_.Messages().empty());
        EXPECT_TRUE(FileBytes(LanguageFile()) == bytes) << "a lookup changed the language file";
        EXPECT_EQ(std::vector<std::wstring>{L"English.lng"}, ListFolder(LanguageFolder()));
    }
}

// A long value in every text the tick and the window use: captions are cut
// to 2047 characters and the tray hint still fits the tray.
TEST_F(BadLanguageFile, LongTextsEverywhereAreCutAndTheTrayHintStillFits) {
    const std::wstring longText(100000, L'\x6F22');
    WriteLanguage(Utf16Bytes(L"[M_Brimvale]\r\nRamFree=" + longText + L"\r\nCpuFree=" + longText +
                             L"\r\nCpuUsageHint=" + longText + L"\r\n[Brimvale_MainForm]\r\nCaption=" + longText +
                             L"\r\nLabel_cpu.Caption=" + longText + L"\r\n"));
    Start();
    main_->FormShow();
    EXPECT_EQ(longText.substr(0, 2047), main_->Caption());
    EXPECT_EQ(longText.substr(0, 2047), main_->Label_cpu->Caption());
    EXPECT_EQ(longText.substr(0, 2047), main_->Image_cpu->Hint());
    for (int tick = 0; tick < 3; ++tick) EXPECT_TRUE(TickShowsFigures());
    EXPECT_EQ(0u, main_->TextTrayIcon->Hint().find(longText.substr(0, 16)));
    EXPECT_TRUE(reports_.Messages().empty());
}

// A language file that cannot be made: every text stays at its default and
// nothing is created or reported, at start-up, at every show and every tick.
TEST_F(BadLanguageFile, ALanguageFileThatCannotBeMadeLeavesTheDefaults) {
    const struct {
        const char* name;
        std::function<void()> arrange;
    } cases[] = {
        {"a folder in the chosen file's place",
         [this] {
             ChooseLanguage(L"Deutsch");
             ASSERT_TRUE(platform::CreateDir(LanguageFolder()));
             ASSERT_TRUE(platform::CreateDir(LanguageFile(L"Deutsch")));
         }},
        {"a file named \"language\" in the folder's place",
         [this] { testsupport::WriteBytes(LanguageFolder(), "not a folder"); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::RemoveTree(LanguageFolder());
        ::DeleteFileW(LanguageFolder().c_str());
        c.arrange();
        const std::vector<std::wstring> programBefore = ListFolder(ProgramFolder());
        const std::vector<std::wstring> languageBefore = ListFolder(LanguageFolder());
        Start();
        const auto texts = ShownTexts();
        EXPECT_EQ(L"Auto free off", texts.first);
        EXPECT_EQ(L"Go!", texts.second);
        EXPECT_EQ(L"Brimvale", main_->Caption());
        EXPECT_TRUE(TickShowsFigures());
        EXPECT_TRUE(reports_.Messages().empty());
        EXPECT_EQ(programBefore, ListFolder(ProgramFolder()));
        EXPECT_EQ(languageBefore, ListFolder(LanguageFolder()));
        dialog_.reset();
        main_.reset();
        settings::ResetSettingsForTest();
    }
}

// ---- Registry values ----

namespace {

// Stands for the message box of the standard report: records the message
// and, while it is "open", lets the queue deliver what the box's own modal
// loop would: a tick of each of the main window's timers and a click on the
// tray icon.
std::vector<std::wstring> gPumpedReports;

BOOL CALLBACK PostTicksAndTrayClicks(HWND wnd, LPARAM) {
    wchar_t name[64] = {};
    ::GetClassNameW(wnd, name, 64);
    if (std::wstring(name) == app::kMainFormClass) {
        for (UINT_PTR id = 1; id <= 3; ++id) ::PostMessageW(wnd, WM_TIMER, id, 0);
    } else if (std::wstring(name) == L"TTextTrayIconWindow") {
        ::PostMessageW(wnd, widgets::TTextTrayIcon::kCallbackMessage, 0, WM_LBUTTONUP);
    }
    return TRUE;
}

void PumpingReporter(const std::wstring& message) {
    gPumpedReports.push_back(message);
    ::EnumThreadWindows(::GetCurrentThreadId(), &PostTicksAndTrayClicks, 0);
    widgets::Application.ProcessMessages();
}

class PumpedReports {
public:
    PumpedReports() { gPumpedReports.clear(); }
    const std::vector<std::wstring>& Messages() const { return gPumpedReports; }

private:
    platform::ScopedSeam<widgets::ErrorReporter> pumping_{widgets::ShowReport, &PumpingReporter};
};

}  // namespace

class BadRegistryValue : public ProgramRig {};

// "AppData" of a type other than a string: the language lookup and the
// settings store each report it once, naming the value, and go on with the
// shell's folder; here the shell cannot tell either, so the folder is empty
// (the settings then live below the current drive's root).
// Ticks and a tray click delivered while a report is open find a working
// window, and afterwards the program runs as usual.
TEST_F(BadRegistryValue, AppDataOfTheWrongTypeIsReportedAndTheProgramRunsOn) {
    const BYTE binary[] = {0x43, 0x00, 0x3A, 0x00, 0x5C, 0x00};
    const struct {
        const char* name;
        DWORD type;
        const void* data;
        DWORD size;
    } cases[] = {
        {"REG_DWORD", REG_DWORD, "\x01\x00\x00\x00", 4},
        {"REG_BINARY", REG_BINARY, binary, sizeof binary},
    };
    ASSERT_TRUE(platform::CreateDir(LanguageFolder()));  // so the language reads "AppData" too
    testsupport::RootFolderGuard root(root_.Path());
    testsupport::ShellAppData shell(L"");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        settings::ResetSettingsForTest();
        ::DeleteFileW(root.File().c_str());
        testsupport::SetValue(settings::ShellFoldersKey, settings::AppDataValue, c.type, c.data, c.size);
        {
            PumpedReports reports;
            Start();
            ASSERT_EQ(2u, reports.Messages().size());
            for (const std::wstring& m : reports.Messages()) EXPECT_TRUE(Contains(m, L"'AppData'")) << m;
        }
        if (!root.SharedChoiceExists()) {
        EXPECT_EQ(L"English", main_->Language().LanguageName());
    }
        EXPECT_EQ(L"\\Palvo\\Brimvale\\Brimvale.ini", settings::SettingsPath);
        EXPECT_EQ(AsStored(kDefaultBoxes), StoredValues(root.File()));
        EXPECT_EQ(kDefaultBoxes, Boxes());
        EXPECT_EQ(L"Auto free off", main_->Label_Status_Auto->Caption());
        EXPECT_TRUE(TickShowsFigures());

        dialog_->LoadForDialog();
        SetBoxes({false, true, true, false});
        dialog_->Button_set_save->Click();
        EXPECT_EQ(AsStored({false, true, true, false}), StoredValues(root.File()));
        EXPECT_TRUE(main_->Timer_free->Enabled());
        EXPECT_TRUE(reports_.Messages().empty());
        main_->Hide();
        dialog_.reset();
        main_.reset();
    }
}

// The "Brimvale" Run value of a type other than a string, with "Run at
// Windows Startup" stored on: the value is ours and the user asked for
// autostart, so start-up replaces it by the string without a report, and the
// rest of start-up runs (status texts, auto-free). Clearing the box and OK
// deletes the value.
TEST_F(BadRegistryValue, TheRunValueOfTheWrongTypeIsReplacedWhenAutostartIsTicked) {
    const BYTE binary[] = {0x22, 0x00, 0x43, 0x00};
    const DWORD one = 1;
    const struct {
        const char* name;
        DWORD type;
        const void* data;
        DWORD size;
    } cases[] = {{"REG_DWORD", REG_DWORD, &one, sizeof one}, {"REG_BINARY", REG_BINARY, binary, sizeof binary}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        settings::ResetSettingsForTest();
        reports_.Messages().clear();
        testsupport::SetValue(settings::RunKey, settings::AutostartValue, c.type, c.data, c.size);
        WriteIni("[Brimvale]\r\nstartwithwindows=1\r\nfreewhenleisure=1\r\npausewhenbusy=1\r\nsmartfree=1\r\n");
        Start();
        EXPECT_TRUE(reports_.Messages().empty());
        EXPECT_EQ(L"Smart free on", main_->Label_status_Smart->Caption());
        EXPECT_EQ(L"Auto free on", main_->Label_Status_Auto->Caption());
        EXPECT_TRUE(main_->Timer_free->Enabled());
        EXPECT_EQ(static_cast<DWORD>(REG_SZ), run_.Current().type);
        EXPECT_TRUE(TickShowsFigures());

        dialog_->LoadForDialog();
        dialog_->CheckBox_set_start_with_window->SetChecked(false);
        dialog_->Button_set_save->Click();
        EXPECT_TRUE(reports_.Messages().empty());
        EXPECT_FALSE(run_.Current().exists);
        dialog_.reset();
        main_.reset();
    }
}

// No Run key: registering is reported once per start-up and per OK, saying
// that the key is missing, and the key is not created; every other step
// still runs (status texts, auto-free). Unregistering is quiet.
TEST_F(BadRegistryValue, AMissingRunKeyIsReportedAndNotCreated) {
    RemovedKey removed(settings::RunKey);
    if (!removed.Missing()) GTEST_SKIP() << "the Run key has subkeys here; it is left alone";
    WriteIni("[Brimvale]\r\nstartwithwindows=1\r\nfreewhenleisure=1\r\nsmartfree=0\r\n");
    Start();
    ASSERT_EQ(1u, reports_.Messages().size());
    EXPECT_TRUE(Contains(reports_.Messages()[0], L"'Brimvale'")) << reports_.Messages()[0];
    EXPECT_TRUE(Contains(reports_.Messages()[0], L"is missing")) << reports_.Messages()[0];
    EXPECT_EQ(L"Smart free off", main_->Label_status_Smart->Caption());
    EXPECT_EQ(L"Auto free on", main_->Label_Status_Auto->Caption());
    EXPECT_TRUE(main_->Timer_free->Enabled());
    EXPECT_TRUE(TickShowsFigures());

    main_->Timer_free->SetEnabled(false);
    dialog_->LoadForDialog();
    dialog_->Button_set_save->Click();
    ASSERT_EQ(2u, reports_.Messages().size());
    EXPECT_TRUE(Contains(reports_.Messages()[1], L"is missing"));
    EXPECT_FALSE(dialog_->Visible());
    EXPECT_TRUE(main_->Timer_free->Enabled());

    dialog_->LoadForDialog();
    dialog_->CheckBox_set_start_with_window->SetChecked(false);
    dialog_->Button_set_save->Click();
    EXPECT_EQ(2u, reports_.Messages().size());
    HKEY raw = nullptr;
    EXPECT_NE(ERROR_SUCCESS, ::RegOpenKeyExW(HKEY_CURRENT_USER, settings::RunKey, 0, KEY_READ, &raw));
}

// No Shell Folders key and no folder from the shell: nothing is reported;
// the settings go below the current drive's root and the language is the
// default one.
TEST_F(BadRegistryValue, AMissingShellFoldersKeyPutsTheSettingsBelowTheRoot) {
    ASSERT_TRUE(platform::CreateDir(LanguageFolder()));
    testsupport::RootFolderGuard root(root_.Path());
    testsupport::ShellAppData shell(L"");
    RemovedKey removed(settings::ShellFoldersKey);
    if (!removed.Missing()) GTEST_SKIP() << "the Shell Folders key has subkeys here; it is left alone";
    Start();
    EXPECT_TRUE(reports_.Messages().empty());
    EXPECT_EQ(L"\\Palvo\\Brimvale\\Brimvale.ini", settings::SettingsPath);
    EXPECT_EQ(AsStored(kDefaultBoxes), StoredValues(root.File()));
    if (!root.SharedChoiceExists()) {
        EXPECT_EQ(L"English", main_->Language().LanguageName());
    }
    EXPECT_TRUE(TickShowsFigures());
    dialog_->LoadForDialog();
    SetBoxes({false, false, false, true});
    dialog_->Button_set_save->Click();
    EXPECT_EQ(AsStored({false, false, false, true}), StoredValues(root.File()));
    EXPECT_TRUE(reports_.Messages().empty());
}
