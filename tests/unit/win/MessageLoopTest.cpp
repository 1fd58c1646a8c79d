// The resident program wakes up for its timers and nothing else: while the
// main window is hidden, every message the main loop takes from the queue is
// a tick of Timer_cpu (Timer_free is off unless the idle auto-free setting
// is on), and the loop's count of retrieved messages agrees with them.
#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

#include "app/MainForm.h"
#include "probes/unitUseage.h"
#include "widgets/Application.h"

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
    auto form = std::make_unique<app::TMainForm>();
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
    const widgets::UniqueKernelHandle stop(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
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
