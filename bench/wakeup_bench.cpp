// Wake-ups of the message loop, counted in-process: the program's start
// sequence (both windows, as the entry does) with "/m", so the main window
// stays hidden, then the real message loop for a while; every message the
// loop takes is counted and sorted by what it is, and the count is set
// against the timers' own ticks: Timer_cpu once a second, Timer_free only
// while it is enabled. A second phase runs with the idle auto-free setting
// on (Timer_free enabled). Settings come from a fresh application-data
// folder (the registry value is pointed at a scratch folder and restored).
// Also prints the process's CPU time over each phase.
// Usage: wakeup_bench [seconds, default 60] [seconds with auto-free on, default 30]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <thread>

#include "BenchUtil.h"
#include "ProcessUtil.h"
#include "app/MainForm.h"
#include "app/Program.h"
#include "settings/OptionForm.h"
#include "widgets/Application.h"

namespace {

const wchar_t kScratch[] = L"C:\\brimvale-bench-wakeup";

struct Seen {
    HWND mainForm = nullptr;
    UINT_PTR cpuTimer = 0, freeTimer = 0;
    unsigned long cpuTicks = 0, freeTicks = 0;
    std::map<std::string, unsigned long> others;
    unsigned long sentFromOutside = 0;  // sent by another thread: handled while the loop waits
} seen;

// Messages sent (not posted) to this thread's windows by another thread or
// process never pass through the loop: they are handled inside its wait, and
// wake the thread all the same. A window-procedure hook counts them.
LRESULT CALLBACK CountSent(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && ::InSendMessage()) ++seen.sentFromOutside;
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

void Observe(const MSG& msg) {
    if (msg.message == WM_TIMER && msg.hwnd == seen.mainForm && msg.wParam == seen.cpuTimer) {
        ++seen.cpuTicks;
        return;
    }
    if (msg.message == WM_TIMER && msg.hwnd == seen.mainForm && msg.wParam == seen.freeTimer) {
        ++seen.freeTicks;
        return;
    }
    wchar_t className[64] = L"(no window)";
    if (msg.hwnd) ::GetClassNameW(msg.hwnd, className, 64);
    char key[160];
    std::snprintf(key, sizeof key, "message 0x%04X to %ls", msg.message, className);
    ++seen.others[key];
}

double OwnCpuMs() { return bench::CpuTimeMs(::GetCurrentProcess()); }

// Runs the main loop for `seconds` and prints what it took from the queue.
void Phase(const char* title, int seconds, bool autoFree) {
    const unsigned long before = widgets::Application.MessagesRetrieved();
    seen.cpuTicks = seen.freeTicks = seen.sentFromOutside = 0;
    seen.others.clear();
    const DWORD guiThread = ::GetCurrentThreadId();
    std::thread stopper([guiThread, seconds] {
        ::Sleep(static_cast<DWORD>(seconds) * 1000);
        ::PostThreadMessageW(guiThread, WM_QUIT, 0, 0);
    });
    const double cpuStart = OwnCpuMs(), wallStart = bench::NowMs();
    widgets::Application.Run();
    const double cpu = OwnCpuMs() - cpuStart, wall = (bench::NowMs() - wallStart) / 1000.0;
    stopper.join();
    widgets::Application.ResetTerminatedForTest();

    const unsigned long retrieved = widgets::Application.MessagesRetrieved() - before;
    const unsigned interval = app::MainForm->Timer_free->Interval();
    const double timersOwn = wall * 1.0 + (autoFree ? wall * 1000.0 / interval : 0.0);
    std::printf("  %s: %.1f s of the message loop\n", title, wall);
    std::printf("    messages retrieved by the main loop   %lu   (%.2f per second)\n", retrieved,
                retrieved / wall);
    std::printf("    of which Timer_cpu ticks              %lu\n", seen.cpuTicks);
    std::printf("    of which Timer_free ticks             %lu   (Timer_free %s, %u ms)\n", seen.freeTicks,
                app::MainForm->Timer_free->Enabled() ? "enabled" : "disabled", interval);
    unsigned long other = 0;
    for (const auto& [what, count] : seen.others) {
        std::printf("    other: %-40s %lu\n", what.c_str(), count);
        other += count;
    }
    std::printf("    other messages                        %lu\n", other);
    std::printf("    messages sent from other threads      %lu   (handled while the loop waits)\n",
                seen.sentFromOutside);
    std::printf("    the timers' own ticks in that time    %.1f\n", timersOwn);
    std::printf("    ratio retrieved / timers' own         %.3f\n", timersOwn > 0 ? retrieved / timersOwn : 0.0);
    std::printf("    CPU time of the process               %.0f ms (%.2f ms per second)\n", cpu, cpu / wall);
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
    const int autoFreeSeconds = argc > 2 ? std::atoi(argv[2]) : 30;
    bench::RemoveTree(kScratch);
    bench::CreateFolders(kScratch);
    bench::AppDataRedirect appData(kScratch);

    using widgets::Application;
    Application.SetCommandLineForTest(L"brimvale.exe /m");
    Application.Initialize();
    Application.SetTitle(L"Brimvale ");
    static app::Program program;
    app::TMainForm* mainForm = Application.CreateForm<app::TMainForm>(program);
    Application.CreateForm<settings::TOptionForm>(program);
    seen.mainForm = mainForm->Handle();
    seen.cpuTimer = mainForm->Timer_cpu->Id();
    seen.freeTimer = mainForm->Timer_free->Id();
    Application.SetMessageObserverForTest(&Observe);
    HHOOK hook = ::SetWindowsHookExW(WH_CALLWNDPROC, &CountSent, nullptr, ::GetCurrentThreadId());
    if (!hook) std::printf("  (no window-procedure hook: sent messages are not counted)\n");

    std::printf("wakeup_bench: the program's start with \"/m\" (main window hidden), fresh settings\n");
    Phase("idle auto-free off (as installed)", seconds, false);
    if (autoFreeSeconds > 0) {
        settings::OptionForm->CheckBox_set_auto_free->SetChecked(true);
        mainForm->Timer_free->SetEnabled(true);
        Phase("idle auto-free on", autoFreeSeconds, true);
    }
    Application.SetMessageObserverForTest(nullptr);
    if (hook) ::UnhookWindowsHookEx(hook);
    Application.DestroyForms();
    return 0;
}
