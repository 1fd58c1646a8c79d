// One running copy per executable file name: a second start of the same file
// ends at once with exit code 0 and no window, and the running copy's main
// window comes back, from the tray, from the minimised state and from a "/m"
// start. The name is compared as the file system compares it: another case is
// the same program, two names the code page cannot tell apart are not. A copy
// under another file name runs alongside; after Exit a new start runs, even at
// once; so does one whose running copy ends without answering.
#include <gtest/gtest.h>

#include "Driver.h"
#include "app/MainFormIds.h"
#include "settings/OptionFormIds.h"

using namespace e2e;
using std::chrono::seconds;

namespace {

struct SecondStartResult {
    bool exited = false;
    DWORD exitCode = STILL_ACTIVE;
    bool showedAWindow = false;
    bool createdAMainWindow = false;
};

// Starts the program once more and watches it until it ends.
SecondStartResult StartAgain(const std::wstring& exePath = ProgramPath(), const std::wstring& parameters = L"") {
    Program second(parameters, exePath);
    SecondStartResult result;
    result.exited = WaitFor(
        [&] {
            if (second.HasVisibleWindow()) result.showedAWindow = true;
            if (second.FindWindowOfClass(app::kMainFormClass)) result.createdAMainWindow = true;
            return !second.Running();
        },
        seconds(10));
    result.exitCode = second.ExitCode();
    return result;
}

bool ShownAndRestored(HWND wnd) { return ::IsWindowVisible(wnd) && !::IsIconic(wnd); }

void ExpectQuietExit(const SecondStartResult& second) {
    EXPECT_TRUE(second.exited);
    EXPECT_EQ(0u, second.exitCode);
    EXPECT_FALSE(second.showedAWindow);
    EXPECT_FALSE(second.createdAMainWindow);
}

}  // namespace

class SingleInstance : public ::testing::Test {
protected:
    void SetUp() override { ResetUserState(); }
};

TEST_F(SingleInstance, SecondStartShowsTheRunningCopyFromTheTray) {
    Program first;
    HWND main = first.MainWindow();
    ASSERT_NE(nullptr, main);
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(main) != FALSE; }));
    ::PostMessageW(first.Control(app::idButton_minimize), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindowVisible(main); }));

    ExpectQuietExit(StartAgain());
    EXPECT_TRUE(WaitFor([&] { return ShownAndRestored(main); }));
    EXPECT_TRUE(WaitFor([&] { return ::GetForegroundWindow() == main; }));
    EXPECT_EQ(1, TrayIconCount());
    EXPECT_TRUE(first.Running());
    EXPECT_TRUE(first.ExitThroughTray());
    EXPECT_EQ(0u, first.ExitCode());
}

TEST_F(SingleInstance, SecondStartRestoresAMinimisedWindow) {
    Program first;
    HWND main = first.MainWindow();
    ASSERT_NE(nullptr, main);
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(main) != FALSE; }));
    ::ShowWindow(main, SW_MINIMIZE);
    ASSERT_TRUE(WaitFor([&] { return ::IsIconic(main) != FALSE; }));

    ExpectQuietExit(StartAgain());
    EXPECT_TRUE(WaitFor([&] { return ShownAndRestored(main); }));
    EXPECT_TRUE(WaitFor([&] { return ::GetForegroundWindow() == main; }));
    EXPECT_TRUE(first.ExitThroughTray());
}

// With the settings dialog or a start-up error report open (the main window
// disabled behind it), a second start brings forward that window, the one
// the user can use.
TEST_F(SingleInstance, SecondStartBringsForwardTheDialogOrReportInUse) {
    const auto shownBox = [](const Program& program) -> HWND {
        for (HWND wnd : program.TopLevelWindows()) {
            wchar_t name[16] = {};
            ::GetClassNameW(wnd, name, 16);
            if (std::wstring(name) == L"#32770" && ::IsWindowVisible(wnd)) return wnd;
        }
        return nullptr;
    };
    for (const bool report : {false, true}) {
        SCOPED_TRACE(report ? "a start-up report" : "the settings dialog");
        if (report) {  // a file where the settings folder should be: the first-run write is refused
            RemoveTree(AppDataFolder() + L"\\Palvo");
            WriteFileBytes(AppDataFolder() + L"\\Palvo", "not a folder");
        }
        Program first;
        HWND inUse = nullptr;
        if (report) {
            ASSERT_TRUE(WaitFor([&] { return (inUse = shownBox(first)) != nullptr; }));
        } else {
            HWND main = first.MainWindow();
            ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(main) != FALSE; }));
            ::PostMessageW(first.Control(app::idButton_setting), BM_CLICK, 0, 0);
            ASSERT_TRUE(WaitFor([&] {
                inUse = first.FindWindowOfClass(settings::kOptionFormClass);
                return inUse && ::IsWindowVisible(inUse);
            }));
        }
        // The user has turned to another program's window.
        HWND other = ::CreateWindowExW(0, L"STATIC", L"another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                       200, 100, nullptr, nullptr, nullptr, nullptr);
        ::SetForegroundWindow(other);
        ASSERT_TRUE(WaitFor([&] { return ::GetForegroundWindow() == other; }));

        ExpectQuietExit(StartAgain());
        EXPECT_TRUE(WaitFor([&] { return ::GetForegroundWindow() == inUse; }));
        ::DestroyWindow(other);
        // The report's OK, or the dialog's close box (Cancel).
        ::PostMessageW(inUse, report ? WM_COMMAND : WM_CLOSE, report ? IDOK : 0, 0);
        ASSERT_TRUE(WaitFor([&] { return !::IsWindowVisible(inUse); }));
        EXPECT_TRUE(first.ExitThroughTray());
        if (report) ::DeleteFileW((AppDataFolder() + L"\\Palvo").c_str());
    }
}

TEST_F(SingleInstance, SecondStartShowsACopyStartedInTheTray) {
    Program first(L"/m");
    HWND main = first.MainWindow();
    ASSERT_NE(nullptr, main);
    ASSERT_NE(nullptr, first.TrayIcon());  // running, with only its tray icon
    ASSERT_FALSE(::IsWindowVisible(main));

    ExpectQuietExit(StartAgain());
    EXPECT_TRUE(WaitFor([&] { return ShownAndRestored(main); }));
    EXPECT_TRUE(first.ExitThroughTray());
}

TEST_F(SingleInstance, CopyUnderAnotherFileNameRunsAlongside) {
    Program first;
    HWND main = first.MainWindow();
    ASSERT_NE(nullptr, main);
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(main) != FALSE; }));
    const std::wstring otherPath = CopyProgramAs(L"brimvale-other.exe");
    {
        Program other(L"", otherPath);
        HWND otherMain = other.MainWindow();
        ASSERT_NE(nullptr, otherMain);
        EXPECT_NE(main, otherMain);
        EXPECT_TRUE(WaitFor([&] { return ::IsWindowVisible(otherMain) != FALSE; }));
        EXPECT_TRUE(first.Running());
        EXPECT_TRUE(other.Running());
        // Each name has its own guard: a second start of the other name ends too.
        ExpectQuietExit(StartAgain(otherPath));
        EXPECT_TRUE(other.Running());
        EXPECT_TRUE(first.Running());
    }  // the other copy is ended here, so one tray icon is left
    ASSERT_TRUE(WaitFor([] { return TrayIconCount() == 1; }));
    EXPECT_TRUE(first.ExitThroughTray());
}

TEST_F(SingleInstance, TheNameCountsAsTheFileSystemSpellsItNotAsTheCodePageNarrowsIt) {
    Program first;
    HWND main = first.MainWindow();
    ASSERT_NE(nullptr, main);
    ::PostMessageW(first.Control(app::idButton_minimize), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindowVisible(main); }));

    // Another case: the same file started as BRIMVALE.EXE, and a copy under
    // that spelling elsewhere. Each ends and brings the running copy back.
    ExpectQuietExit(StartAgain(ProgramFolder() + L"BRIMVALE.EXE"));
    EXPECT_TRUE(WaitFor([&] { return ShownAndRestored(main); }));
    ::PostMessageW(first.Control(app::idButton_minimize), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindowVisible(main); }));
    const std::wstring folder = L"C:\\brimvale-e2e\\upper";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_TRUE(::CopyFileW(ProgramPath().c_str(), (folder + L"\\BRIMVALE.EXE").c_str(), FALSE));
    ExpectQuietExit(StartAgain(folder + L"\\BRIMVALE.EXE"));
    EXPECT_TRUE(WaitFor([&] { return ShownAndRestored(main); }));
    EXPECT_EQ(1, TrayIconCount());

    // Two names that both narrow to "????.exe" in a Western code page: two
    // programs, both run.
    {
        Program brim(L"", CopyProgramAs(L"\u0411\u0440\u0438\u043C.exe"));    // Брим.exe
        ASSERT_NE(nullptr, brim.MainWindow());
        Program mirb(L"", CopyProgramAs(L"\u041C\u0438\u0440\u0431.exe"));    // Мирб.exe
        HWND mirbMain = mirb.MainWindow();
        ASSERT_NE(nullptr, mirbMain);
        EXPECT_TRUE(WaitFor([&] { return ::IsWindowVisible(mirbMain) != FALSE; }));
        EXPECT_TRUE(brim.Running());
        EXPECT_TRUE(mirb.Running());
        EXPECT_TRUE(first.Running());
        EXPECT_TRUE(WaitFor([] { return TrayIconCount() == 3; }));
    }  // both are ended here
    ASSERT_TRUE(WaitFor([] { return TrayIconCount() == 1; }));
    EXPECT_TRUE(first.ExitThroughTray());
}

TEST_F(SingleInstance, SameFileNameInAnotherFolderCountsAsTheSameProgram) {
    Program first;
    HWND main = first.MainWindow();
    ASSERT_NE(nullptr, main);
    ::PostMessageW(first.Control(app::idButton_minimize), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindowVisible(main); }));
    const std::wstring folder = L"C:\\brimvale-e2e\\elsewhere";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_TRUE(::CopyFileW(ProgramPath().c_str(), (folder + L"\\brimvale.exe").c_str(), FALSE));

    ExpectQuietExit(StartAgain(folder + L"\\brimvale.exe"));
    EXPECT_TRUE(WaitFor([&] { return ShownAndRestored(main); }));
    EXPECT_TRUE(first.ExitThroughTray());
}

TEST_F(SingleInstance, AfterExitANewStartRunsEvenAtOnce) {
    Program first;
    ASSERT_NE(nullptr, first.MainWindow());
    first.OpenTrayMenu();
    ASSERT_TRUE(first.ChooseMenuItem(3));
    Program again;  // while the first copy still takes its windows down, as an updater starts it
    EXPECT_TRUE(first.WaitForExit(seconds(10)));
    HWND main = again.MainWindow();
    ASSERT_NE(nullptr, main);
    EXPECT_TRUE(WaitFor([&] { return ::IsWindowVisible(main) != FALSE; }));
    EXPECT_TRUE(again.Running());
    EXPECT_TRUE(again.ExitThroughTray());
    EXPECT_EQ(0u, again.ExitCode());

    // The name held as by a copy that never answers, let go once a start signalled.
    HANDLE held = ::CreateMutexW(nullptr, FALSE, L"BRIMVALE.EXE");
    HWND listener = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    const UINT signal = ::RegisterWindowMessageW(L"BRIMVALE.EXE");
    Program late;
    MSG msg;
    EXPECT_TRUE(WaitFor([&] { return ::PeekMessageW(&msg, listener, signal, signal, PM_REMOVE) != FALSE; }));
    ::CloseHandle(held);
    ::DestroyWindow(listener);
    EXPECT_TRUE(WaitFor([&] { return late.HasVisibleWindow(); }));
    EXPECT_TRUE(late.ExitThroughTray());
}

TEST_F(SingleInstance, ApplicationTitleEndsInABlankAndItsWindowStaysHidden) {
    Program program;
    ASSERT_NE(nullptr, program.MainWindow());
    HWND application = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (application = program.FindWindowOfClass(L"TApplication")) != nullptr; }));
    EXPECT_EQ(L"Brimvale ", program.Text(application));
    EXPECT_FALSE(::IsWindowVisible(application));
    // A top-level window (not message-only), so the broadcast reaches it.
    EXPECT_EQ(nullptr, ::GetParent(application));
    EXPECT_TRUE(program.ExitThroughTray());
}

// "/exit" ends the running copy as its tray menu's Exit does and returns once
// it has ended; with no copy running it ends at once; a copy that never
// gives the name up makes it end with 1 after ten seconds.
TEST_F(SingleInstance, ExitSwitchEndsTheRunningCopyAndWaitsForIt) {
    ExpectQuietExit(StartAgain(ProgramPath(), L"/exit"));
    EXPECT_EQ(0, TrayIconCount());

    Program first(L"/m");
    ASSERT_NE(nullptr, first.TrayIcon());
    ExpectQuietExit(StartAgain(ProgramFolder() + L"BRIMVALE.EXE", L"-EXIT"));
    EXPECT_FALSE(first.Running());  // ended before the request returned
    EXPECT_EQ(0u, first.ExitCode());
    EXPECT_EQ(0, TrayIconCount());

    HANDLE held = ::CreateMutexW(nullptr, FALSE, L"BRIMVALE.EXE");
    Program stuck(L"/Exit");
    EXPECT_TRUE(stuck.WaitForExit(seconds(20)));
    EXPECT_EQ(1u, stuck.ExitCode());
    ::CloseHandle(held);
}
