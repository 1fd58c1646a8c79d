// The resident program wakes up for its timers and nothing else: while the
// main window is hidden, every message the main loop takes from the queue is
// a tick of Timer_cpu (Timer_free is off unless the idle auto-free setting
// is on), and the loop's count of retrieved messages agrees with them.
// The program ends on a close request to its hidden windows and at the
// session's end, and a modal loop ends when Exit came from inside it.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

#include "SettingsTestSupport.h"
#include "MainFormSupport.h"
#include "app/MainForm.h"
#include "probes/CpuUsage.h"
#include "widgets/Application.h"
#include "widgets/Errors.h"
#include "widgets/TrayIcon.h"
#include "widgets/Window.h"

using widgets::Application;

namespace {

constexpr unsigned kTimerTicks = 3;

std::vector<MSG> taken;
HWND mainWindow = nullptr;
UINT_PTR cpuTimer = 0;
unsigned cpuTicks = 0;

// Records each message; ends the loop after the wanted number of ticks.
void Record(const MSG& msg) {
    taken.push_back(msg);
    if (msg.message == WM_TIMER && msg.hwnd == mainWindow && msg.wParam == cpuTimer && ++cpuTicks == kTimerTicks)
        Application.Terminate();
}

}  // namespace

TEST(MessageLoop, HiddenMainWindowWakesTheLoopOnlyForTimerCpu) {
    Application.SetCommandLineForTest(L"brimvale.exe /m");
    probes::ResetCpuUsageForTest();
    auto form = std::make_unique<testsupport::OwnMainForm>();
    Application.SetCommandLineForTest(L"brimvale.exe");
    EXPECT_FALSE(Application.ShowMainFormOnRun());
    Application.SetShowMainFormOnRun(true);  // Run has no main form to show here anyway
    ASSERT_FALSE(form->Visible());
    ASSERT_FALSE(form->Timer_free->Enabled());
    mainWindow = form->Handle();
    cpuTimer = form->Timer_cpu->Id();
    taken.clear();
    cpuTicks = 0;
    // Whatever earlier tests left in the queue is not this window's doing.
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);

    // A guard against a loop that never sees a tick: end it from outside.
    const DWORD guiThread = ::GetCurrentThreadId();
    const platform::UniqueKernelHandle stop(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    HANDLE done = stop.get();
    std::thread guard([guiThread, done] {
        if (::WaitForSingleObject(done, 60000) == WAIT_TIMEOUT) ::PostThreadMessageW(guiThread, WM_QUIT, 0, 0);
    });
    const unsigned long before = Application.MessagesRetrieved();
    Application.SetMessageObserverForTest(&Record);
    Application.Run();
    Application.SetMessageObserverForTest(nullptr);
    ::SetEvent(done);
    guard.join();
    Application.ResetTerminatedForTest();
    while (::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }

    EXPECT_EQ(kTimerTicks, cpuTicks);
    EXPECT_EQ(taken.size(), Application.MessagesRetrieved() - before);
    for (const MSG& m : taken) {
        EXPECT_EQ(static_cast<UINT>(WM_TIMER), m.message) << "message 0x" << std::hex << m.message;
        EXPECT_EQ(mainWindow, m.hwnd);
        EXPECT_EQ(cpuTimer, m.wParam);
    }
}

// ---- Ending: close requests, the session's end, and modal loops ----

namespace {

widgets::FormOptions SmallForm() {
    widgets::FormOptions o;
    o.caption = L"ending";
    o.clientWidth = 100;
    o.clientHeight = 50;
    return o;
}

// Takes a waiting quit off the queue; whether there was one.
bool TakeQuit() {
    MSG msg;
    return ::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
}

void ResetEnding() {
    Application.ResetTerminatedForTest();
    while (TakeQuit()) {
    }
}

}  // namespace

// A close request to the hidden application window or the tray's window
// ends the program as "Exit" does, and neither window is destroyed by it; a
// form's own close only hides the form.
TEST(Ending, CloseRequestsToTheHiddenWindowsEndTheProgram) {
    ResetEnding();
    widgets::TTntForm form(L"EndingForm", "TEndingForm", SmallForm());
    auto* tray = form.Add<widgets::TTextTrayIcon>(L"Tray");
    for (HWND wnd : {Application.Handle(), tray->Window()}) {
        ::SendMessageW(wnd, WM_CLOSE, 0, 0);
        EXPECT_TRUE(Application.Terminated());
        EXPECT_TRUE(TakeQuit());
        EXPECT_TRUE(::IsWindow(wnd));
        ResetEnding();
    }
    form.Show();
    ::SendMessageW(form.Handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(form.Visible());
    EXPECT_FALSE(Application.Terminated());
}

// At log-off every window agrees; once the session does end, the program
// ends and no report opens any more. A session that goes on changes nothing.
TEST(Ending, TheSessionsEndIsAgreedToAndEndsTheProgramQuietly) {
    ResetEnding();
    testsupport::CapturedReports reports;
    widgets::TTntForm form(L"EndingForm", "TEndingForm", SmallForm());
    auto* tray = form.Add<widgets::TTextTrayIcon>(L"Tray");
    for (HWND wnd : {Application.Handle(), tray->Window(), form.Handle()}) {
        EXPECT_EQ(TRUE, ::SendMessageW(wnd, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
        ::SendMessageW(wnd, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
        EXPECT_FALSE(Application.Terminated());
        ::SendMessageW(wnd, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
        EXPECT_TRUE(Application.Terminated());
        widgets::ReportError(L"raised as the session ends");
        EXPECT_TRUE(reports.Messages().empty());
        EXPECT_TRUE(TakeQuit());
        ResetEnding();
    }
}

namespace {
widgets::TTntForm* gModal = nullptr;
bool gGaveUp = false;
// Exit chosen inside the modal loop, in a handler whose own pump took the
// quit off the queue.
void CALLBACK ExitInsideTheLoop(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    Application.Terminate();
    TakeQuit();
}
void CALLBACK GiveUp(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    gGaveUp = true;
    if (gModal) gModal->Hide();
}
}  // namespace

// The modal loop learns of an Exit chosen inside it even when the quit
// itself was taken by an inner pump: the dialog closes and the quit waits
// for the loop outside.
TEST(Ending, AModalLoopEndsWhenExitWasChosenInsideIt) {
    ResetEnding();
    widgets::TTntForm owner(L"EndingOwner", "TEndingForm", SmallForm());
    widgets::TTntForm dialog(L"EndingDialog", "TEndingForm", SmallForm(), owner.Handle());
    gModal = &dialog;
    gGaveUp = false;
    const UINT_PTR exitTimer = ::SetTimer(nullptr, 0, 50, &ExitInsideTheLoop);
    const UINT_PTR guard = ::SetTimer(nullptr, 0, 10000, &GiveUp);
    dialog.ShowModal();
    ::KillTimer(nullptr, exitTimer);
    ::KillTimer(nullptr, guard);
    gModal = nullptr;
    EXPECT_FALSE(gGaveUp);
    EXPECT_FALSE(dialog.Visible());
    EXPECT_TRUE(Application.Terminated());
    EXPECT_TRUE(TakeQuit());
    ResetEnding();
}

// ---- The window base: refused windows and escaping exceptions ----

namespace {

class ThrowingForm : public widgets::TTntForm {
public:
    ThrowingForm() : TTntForm(L"ThrowingForm", "TThrowingForm", SmallForm()) {}

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_APP + 7) throw std::runtime_error("escaped the handler");
        return TTntForm::HandleMessage(msg, wParam, lParam);
    }
};

}  // namespace

TEST(WindowBase, ARefusedWindowNamesItselfAndAnEscapingExceptionStopsAtTheProcedure) {
    widgets::WindowArgs args;
    args.what = L"Label_nowhere";
    args.className = L"NoSuchWindowClass";
    try {
        (void)widgets::CreateChildWindow(args);
        ADD_FAILURE() << "a window of an unregistered class was created";
    } catch (const platform::Exception& e) {
        EXPECT_NE(std::wstring::npos, e.Message().find(L"'Label_nowhere'"));
    }

    ThrowingForm form;
    EXPECT_EQ(0, ::SendMessageW(form.Handle(), WM_APP + 7, 0, 0));
    EXPECT_TRUE(::IsWindow(form.Handle()));  // and it goes on working
    EXPECT_EQ(L"ending", form.Caption());
}
