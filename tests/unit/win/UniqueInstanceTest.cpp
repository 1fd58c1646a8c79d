// The single-instance guard, run in-process: the halt and the broadcast go
// through seams, so a "second start" is a second CheckUniqueInstance (or one
// with the mutex created by the test) that records its halt instead of ending
// the test run. A small form stands in for the main window.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "app/MainForm.h"
#include "app/UniqueInstance.h"
#include "widgets/Application.h"
#include "platform/DynCalls.h"
#include "platform/Seam.h"
#include "widgets/Window.h"
#include "widgets/MessageFilter.h"
#include "platform/Paths.h"

using widgets::Application;

namespace {

// Stands in for the main window: counts WM_SHOWMAIN and shows itself on it,
// as the main window does.
class ShowMainProbe : public widgets::TTntForm {
public:
    ShowMainProbe() : TTntForm(L"ShowMainProbe", "TShowMainProbe", Options()) {}
    int showMainCount = 0;
    int ticks = 0;
    bool activateOnShow = true;
    WPARAM lastWParam = 1;
    LPARAM lastLParam = 0;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_TIMER) {
            ++ticks;
            return 0;
        }
        if (msg == app::WM_SHOWMAIN) {
            ++showMainCount;
            lastWParam = wParam;
            lastLParam = lParam;
            if (activateOnShow)
                Show();
            else
                ::ShowWindow(Handle(), SW_SHOWNA);
            return 0;
        }
        return TTntForm::HandleMessage(msg, wParam, lParam);
    }

private:
    static widgets::FormOptions Options() {
        widgets::FormOptions o;
        o.caption = L"Probe";
        o.clientWidth = 200;
        o.clientHeight = 80;
        o.appWindow = true;
        return o;
    }
};

std::vector<unsigned> Halts;
void RecordHalt(unsigned code) { Halts.push_back(code); }

struct Broadcast {
    DWORD flags, recipients;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Broadcast> Broadcasts;
// Whether any process was allowed the foreground before each broadcast.
std::vector<bool> ForegroundAllowedBeforeBroadcast;
bool ForegroundAllowed = false;
long WINAPI RecordBroadcast(DWORD flags, LPDWORD recipients, UINT message, WPARAM wParam, LPARAM lParam) {
    Broadcasts.push_back({flags, recipients ? *recipients : 0xDEADu, message, wParam, lParam});
    ForegroundAllowedBeforeBroadcast.push_back(ForegroundAllowed);
    return 1;
}
BOOL WINAPI RecordAllowSetForegroundWindow(DWORD process) {
    ForegroundAllowed = process == ASFW_ANY;
    return TRUE;
}

// A clock that moves on a second at every reading, unless a test holds it.
DWORD ClockNow = 1000;
DWORD ClockStep = 1000;
DWORD WINAPI FakeGetTickCount() {
    ClockNow += ClockStep;
    return ClockNow;
}

std::wstring Upper(std::wstring text) {
    ::CharUpperBuffW(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

WNDPROC ApplicationProcedure() {
    return reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(Application.Handle(), GWLP_WNDPROC));
}

bool Subclassed() { return ApplicationProcedure() == &app::AppWndProc; }

class UniqueInstanceGuard : public ::testing::Test {
protected:
    void SetUp() override {
        static int counter = 0;
        // A name of its own per test, with the mixed case a real path may have.
        fileName_ = L"GuardTest-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                    std::to_wstring(++counter) + L".Exe";
        platform::SetModulePathForTest(L"C:\\Some Folder\\" + fileName_);
        name_ = Upper(fileName_);
        savedInitProc_ = widgets::InitProc;
        savedTitle_ = Application.Title();
        ClockStep = 1000;
        Halts.clear();
        Broadcasts.clear();
        ForegroundAllowedBeforeBroadcast.clear();
        ForegroundAllowed = false;
        probe_ = Application.CreateForm<ShowMainProbe>();
        ASSERT_EQ(probe_, Application.MainForm());
    }

    template <class Fn>
    using Seam = platform::ScopedSeam<Fn>;
    Seam<decltype(app::BroadcastCall)> broadcast_{app::BroadcastCall, &RecordBroadcast};
    Seam<decltype(app::AllowSetForegroundWindowCall)> allow_{app::AllowSetForegroundWindowCall,
                                                             &RecordAllowSetForegroundWindow};
    Seam<decltype(app::GetTickCountCall)> clock_{app::GetTickCountCall, &FakeGetTickCount};

    void TearDown() override {
        if (Subclassed())
            widgets::ReplaceWindowProcA(Application.Handle(), app::OldAppWndProc);
        app::FinalizeUniqueInstance();
        app::InstanceMessage = 0;
        app::OldAppWndProc = nullptr;
        app::SavedInitProc = nullptr;
        app::BroadcastRecipients = BSM_APPLICATIONS;
        widgets::InitProc = savedInitProc_;
        platform::SetModulePathForTest(L"");
        Application.DestroyForms();
        Application.SetTitle(savedTitle_);
    }

    // Another copy of the same file name holds the mutex.
    platform::UniqueKernelHandle OtherCopysMutex() const {
        return platform::UniqueKernelHandle(::CreateMutexW(nullptr, FALSE, name_.c_str()));
    }

    void PostInstanceMessage(UINT message) {
        ::PostMessageW(Application.Handle(), message, 0, 0);
        Application.ProcessMessages();
    }

    std::wstring fileName_;
    std::wstring name_;
    ShowMainProbe* probe_ = nullptr;
    widgets::TInitProc savedInitProc_ = nullptr;
    platform::ScopedSeam<void (*)(unsigned)> halt_{app::HaltProcess, &RecordHalt};
    platform::ScopedSeam<void (*)(DWORD)> pause_{app::PauseAfterSignal, [](DWORD) {}};  // no wait in between
    platform::ScopedSeam<app::PlatformVersion (*)()> version_{app::ReadPlatformVersion, app::ReadPlatformVersion};
    std::wstring savedTitle_;
};

}  // namespace

TEST_F(UniqueInstanceGuard, InstanceNameIsTheFileNameUpperCasedWhateverTheCodePage) {
    EXPECT_EQ(name_, app::InstanceName());
    const struct {
        const wchar_t* path;
        const wchar_t* name;
    } cases[] = {
        {L"C:\\Program Files\\Palvo\\BrimVale Copy.EXE", L"BRIMVALE COPY.EXE"},
        {L"D:brimvale.exe", L"BRIMVALE.EXE"},
        {L"C:\\x\\BRIMVALE.EXE", L"BRIMVALE.EXE"},
        {L"C:\\x\\\u0411\u0440\u0438\u043C.exe", L"\u0411\u0420\u0418\u041C.EXE"},  // Брим.exe
        {L"C:\\x\\\u041C\u0438\u0440\u0431.exe", L"\u041C\u0418\u0420\u0411.EXE"},  // Мирб.exe
        {L"C:\\x\\\u00E4rger.exe", L"\u00C4RGER.EXE"},
    };
    for (const auto& c : cases) {
        platform::SetModulePathForTest(c.path);
        EXPECT_EQ(std::wstring(c.name), app::InstanceName()) << static_cast<const void*>(c.path);
    }
}

TEST_F(UniqueInstanceGuard, FirstStartHoldsAnUnownedMutexAndSubclassesTheApplicationWindow) {
    const int handlesBefore = platform::UniqueKernelHandle::liveCount();
    app::CheckUniqueInstance();

    EXPECT_TRUE(Halts.empty());
    EXPECT_TRUE(Broadcasts.empty());
    EXPECT_NE(0u, app::InstanceMessage);
    EXPECT_EQ(::RegisterWindowMessageW(name_.c_str()), app::InstanceMessage);
    ASSERT_TRUE(app::InstanceMutex);
    EXPECT_EQ(handlesBefore + 1, platform::UniqueKernelHandle::liveCount());

    // Named after the file name upper-cased (not after the path, nor as spelled).
    platform::UniqueKernelHandle opened(::OpenMutexW(SYNCHRONIZE, FALSE, name_.c_str()));
    EXPECT_TRUE(opened);
    EXPECT_FALSE(platform::UniqueKernelHandle(::OpenMutexW(SYNCHRONIZE, FALSE, fileName_.c_str())));
    // Created without an owner: another thread can take it at once.
    DWORD waited = WAIT_FAILED;
    std::thread([&] {
        waited = ::WaitForSingleObject(app::InstanceMutex.get(), 0);
        if (waited == WAIT_OBJECT_0) ::ReleaseMutex(app::InstanceMutex.get());
    }).join();
    EXPECT_EQ(WAIT_OBJECT_0, waited);

    EXPECT_TRUE(Subclassed());
    EXPECT_NE(nullptr, app::OldAppWndProc);
    EXPECT_NE(&app::AppWndProc, app::OldAppWndProc);
}

TEST_F(UniqueInstanceGuard, SecondStartBroadcastsToAllApplicationsAndHaltsWithCodeZero) {
    platform::UniqueKernelHandle other = OtherCopysMutex();
    ASSERT_TRUE(other);
    app::CheckUniqueInstance();

    EXPECT_EQ(std::vector<unsigned>{0u}, Halts);
    ASSERT_EQ(1u, Broadcasts.size());
    // The running copy may take the foreground from this one.
    EXPECT_EQ(std::vector<bool>{true}, ForegroundAllowedBeforeBroadcast);
    EXPECT_EQ(0x12u, Broadcasts[0].flags);
    EXPECT_EQ(static_cast<DWORD>(BSF_IGNORECURRENTTASK | BSF_POSTMESSAGE), Broadcasts[0].flags);
    EXPECT_EQ(8u, Broadcasts[0].recipients);
    EXPECT_EQ(::RegisterWindowMessageW(name_.c_str()), Broadcasts[0].message);
    EXPECT_EQ(0u, Broadcasts[0].wParam);
    EXPECT_EQ(0, Broadcasts[0].lParam);
    EXPECT_FALSE(Subclassed());
    EXPECT_EQ(0, probe_->showMainCount);
}

TEST_F(UniqueInstanceGuard, SecondCallInTheSameProcessCountsAsASecondStart) {
    app::CheckUniqueInstance();
    ASSERT_TRUE(Halts.empty());
    const UINT first = app::InstanceMessage;
    widgets::ReplaceWindowProcA(Application.Handle(), app::OldAppWndProc);

    app::CheckUniqueInstance();
    EXPECT_EQ(std::vector<unsigned>{0u}, Halts);
    ASSERT_EQ(1u, Broadcasts.size());
    EXPECT_EQ(first, Broadcasts[0].message);
    EXPECT_FALSE(Subclassed());
}

TEST_F(UniqueInstanceGuard, ANameHeldByAnEventRunsTheProgramWithoutTheGuard) {
    // Another program's event under the same name makes the mutex call fail.
    platform::UniqueKernelHandle event(::CreateEventW(nullptr, FALSE, FALSE, name_.c_str()));
    ASSERT_TRUE(event);
    app::CheckUniqueInstance();

    EXPECT_TRUE(Halts.empty());
    EXPECT_TRUE(Broadcasts.empty());
    EXPECT_FALSE(app::InstanceMutex);
    EXPECT_TRUE(Subclassed());
}

namespace {
DWORD RefusalError = 0;
HANDLE WINAPI RefusedCreateMutexW(LPSECURITY_ATTRIBUTES, BOOL, LPCWSTR) {
    ::SetLastError(RefusalError);
    return nullptr;
}
}  // namespace

// What each refusal of the mutex means. Access denied is what a copy that is
// not elevated gets while an elevated copy holds the mutex.
TEST_F(UniqueInstanceGuard, ARefusedMutexSignalsOnlyWhenAccessIsDenied) {
    Seam<decltype(app::CreateMutexCall)> refused(app::CreateMutexCall, &RefusedCreateMutexW);
    const struct {
        DWORD error;
        bool signals;
    } cases[] = {{ERROR_ACCESS_DENIED, true}, {ERROR_INVALID_HANDLE, false}, {ERROR_NOT_ENOUGH_MEMORY, false},
                 {ERROR_SUCCESS, false}};
    for (const auto& c : cases) {
        Halts.clear();
        Broadcasts.clear();
        RefusalError = c.error;
        app::CheckUniqueInstance();
        EXPECT_FALSE(app::InstanceMutex);
        EXPECT_EQ(c.signals, Halts == std::vector<unsigned>{0u}) << c.error;
        EXPECT_EQ(c.signals ? 1u : 0u, Broadcasts.size()) << c.error;
        EXPECT_EQ(!c.signals, Subclassed()) << c.error;
        if (Subclassed())
            widgets::ReplaceWindowProcA(Application.Handle(), app::OldAppWndProc);
    }
}

namespace {
struct FilterCall {
    std::string function;
    HWND window;
    UINT message;
    DWORD action;
    void* extra;
};
std::vector<FilterCall> FilterCalls;
BOOL WINAPI FakeChangeWindowMessageFilterEx(HWND window, UINT message, DWORD action, void* extra) {
    FilterCalls.push_back({"Ex", window, message, action, extra});
    return TRUE;
}
BOOL WINAPI FakeChangeWindowMessageFilter(UINT message, DWORD flag) {
    FilterCalls.push_back({"Vista", nullptr, message, flag, nullptr});
    return TRUE;
}
}  // namespace

// Windows 7 and later open the application window; Vista opens the message
// for the process; XP has no filter and nothing is called.
TEST_F(UniqueInstanceGuard, FirstStartLetsTheInstanceMessagePastTheIntegrityFilter) {
    const struct {
        bool ex, vista;
        const char* function;
    } systems[] = {{true, true, "Ex"}, {false, true, "Vista"}, {false, false, nullptr}};
    for (const auto& system : systems) {
        // Which of the two calls this "system" has.
        platform::DynCallTable& calls = platform::DynCalls();
        const platform::ScopedSeam ex(calls.ChangeWindowMessageFilterEx,
                                      system.ex ? &FakeChangeWindowMessageFilterEx : nullptr);
        const platform::ScopedSeam vista(calls.ChangeWindowMessageFilter,
                                         system.vista ? &FakeChangeWindowMessageFilter : nullptr);
        FilterCalls.clear();
        app::CheckUniqueInstance();
        ASSERT_TRUE(Halts.empty());
        if (!system.function) {
            EXPECT_TRUE(FilterCalls.empty());
        } else {
            ASSERT_EQ(1u, FilterCalls.size()) << system.function;
            EXPECT_EQ(system.function, FilterCalls[0].function);
            EXPECT_EQ(app::InstanceMessage, FilterCalls[0].message);
            EXPECT_EQ(1u, FilterCalls[0].action);  // MSGFLT_ALLOW, MSGFLT_ADD
            EXPECT_EQ(system.ex ? Application.Handle() : nullptr, FilterCalls[0].window);
            EXPECT_EQ(nullptr, FilterCalls[0].extra);
        }
        widgets::ReplaceWindowProcA(Application.Handle(), app::OldAppWndProc);
        app::FinalizeUniqueInstance();
    }
}

namespace {
int EarlierHookRuns = 0;
bool SubclassedWhenEarlierHookRan = false;
void EarlierHook() {
    ++EarlierHookRuns;
    SubclassedWhenEarlierHookRan = Subclassed();
}
}  // namespace

TEST_F(UniqueInstanceGuard, InitializeRunsTheGuardAndThenTheHookInstalledBeforeIt) {
    EarlierHookRuns = 0;
    SubclassedWhenEarlierHookRan = false;
    widgets::InitProc = &EarlierHook;
    app::InstallUniqueInstanceHook();
    EXPECT_EQ(&app::CheckUniqueInstance, widgets::InitProc);
    EXPECT_EQ(&EarlierHook, app::SavedInitProc);

    Application.Initialize();
    EXPECT_TRUE(Halts.empty());
    EXPECT_TRUE(app::InstanceMutex);
    EXPECT_EQ(1, EarlierHookRuns);
    EXPECT_TRUE(SubclassedWhenEarlierHookRan);
}

TEST_F(UniqueInstanceGuard, AHaltingGuardNeverReachesTheEarlierHook) {
    EarlierHookRuns = 0;
    platform::UniqueKernelHandle other = OtherCopysMutex();
    widgets::InitProc = &EarlierHook;
    app::InstallUniqueInstanceHook();
    Application.Initialize();
    EXPECT_EQ(std::vector<unsigned>{0u}, Halts);
    EXPECT_EQ(0, EarlierHookRuns);
}

TEST_F(UniqueInstanceGuard, WithoutAnEarlierHookTheGuardRunsAlone) {
    widgets::InitProc = nullptr;
    app::InstallUniqueInstanceHook();
    EXPECT_EQ(nullptr, app::SavedInitProc);
    Application.Initialize();
    EXPECT_TRUE(Halts.empty());
    EXPECT_TRUE(Subclassed());
}

TEST_F(UniqueInstanceGuard, FinalisationClosesTheMutexSoANewStartRunsNormally) {
    const int handlesBefore = platform::UniqueKernelHandle::liveCount();
    app::CheckUniqueInstance();
    app::FinalizeUniqueInstance();
    EXPECT_FALSE(app::InstanceMutex);
    EXPECT_EQ(handlesBefore, platform::UniqueKernelHandle::liveCount());
    // The last handle is gone, and with it the mutex.
    EXPECT_FALSE(platform::UniqueKernelHandle(::OpenMutexW(SYNCHRONIZE, FALSE, name_.c_str())));
    app::FinalizeUniqueInstance();  // a second call has nothing left to close
    EXPECT_EQ(handlesBefore, platform::UniqueKernelHandle::liveCount());
    // The window procedure stays; a new guard run in its place is a first start.
    widgets::ReplaceWindowProcA(Application.Handle(), app::OldAppWndProc);
    app::CheckUniqueInstance();
    EXPECT_TRUE(Halts.empty());
    EXPECT_TRUE(Broadcasts.empty());
}

TEST_F(UniqueInstanceGuard, InstanceMessageBringsTheMainWindowBackFromTheTray) {
    app::CheckUniqueInstance();
    ASSERT_FALSE(probe_->Visible());
    PostInstanceMessage(app::InstanceMessage);
    EXPECT_EQ(1, probe_->showMainCount);
    EXPECT_EQ(0u, probe_->lastWParam);
    EXPECT_EQ(-1, probe_->lastLParam);
    EXPECT_TRUE(probe_->Visible());
    EXPECT_FALSE(probe_->Iconic());
    // Sent rather than posted, it answers 0.
    EXPECT_EQ(0, ::SendMessageW(Application.Handle(), app::InstanceMessage, 0, 0));
    EXPECT_EQ(2, probe_->showMainCount);
}

TEST_F(UniqueInstanceGuard, InstanceMessageRestoresAMinimisedMainWindow) {
    app::CheckUniqueInstance();
    probe_->Show();
    ::ShowWindow(probe_->Handle(), SW_MINIMIZE);
    ASSERT_TRUE(probe_->Iconic());
    ASSERT_TRUE(Application.Iconic());  // the application counts as minimised with its main form
    PostInstanceMessage(app::InstanceMessage);
    EXPECT_FALSE(probe_->Iconic());
    EXPECT_FALSE(Application.Iconic());
    EXPECT_TRUE(probe_->Visible());
    EXPECT_FALSE(::IsWindowVisible(Application.Handle()));  // the application window never shows
}

// Windows lets 10,000 posted messages wait in a thread's queue. Copies within
// half a second of the last bring-forward do nothing; a timer that was due
// before the flood still ticks once the queue has drained.
TEST_F(UniqueInstanceGuard, AFloodOfInstanceMessagesBringsTheWindowForwardOncePerHalfSecond) {
    app::CheckUniqueInstance();
    constexpr int kCopies = 10000;
    const struct {
        DWORD step;  // milliseconds the clock moves at each reading
        int attempts;
    } cases[] = {{0, 1}, {1, 20}, {50, 1000}};
    for (const auto& c : cases) {
        ClockNow += 1000;  // the last bring-forward is long past
        ClockStep = c.step;
        probe_->showMainCount = 0;
        probe_->ticks = 0;
        ASSERT_NE(0u, ::SetTimer(probe_->Handle(), 1, 1, nullptr));
        ::Sleep(20);  // the timer is due before the first copy arrives
        int posted = 0;
        for (int i = 0; i < kCopies; ++i)
            posted += ::PostMessageW(Application.Handle(), app::InstanceMessage, 0, 0) ? 1 : 0;
        ASSERT_EQ(kCopies, posted);
        Application.ProcessMessages();
        ::KillTimer(probe_->Handle(), 1);
        // A step of 1 ms: the first copy, then one at each full 500 ms, 20 in
        // all (10,000 without the rule).
        EXPECT_EQ(c.attempts, probe_->showMainCount) << c.step;
        EXPECT_GE(probe_->ticks, 1) << c.step;
    }
}

namespace {
std::vector<app::InstanceRequest> CleanRequests;
void RecordCleanRequest(app::InstanceRequest request) { CleanRequests.push_back(request); }
}  // namespace

// A start with a clean switch asks a running copy without handing on the
// foreground, and with none running takes nothing. The running copy runs
// each kind once per half second and stays where it is; a wParam no copy
// sends does nothing.
TEST_F(UniqueInstanceGuard, CleanRequestsReachTheRunningCopyAndRunOncePerKindWithoutBringingItForward) {
    using app::InstanceRequest;
    EXPECT_FALSE(app::HandCleanToRunningCopy(InstanceRequest::SmartClean));
    EXPECT_EQ(nullptr, ::OpenMutexW(SYNCHRONIZE, FALSE, name_.c_str()));  // no mutex was made
    platform::UniqueKernelHandle other = OtherCopysMutex();
    EXPECT_TRUE(app::HandCleanToRunningCopy(InstanceRequest::DeepClean));
    ASSERT_EQ(1u, Broadcasts.size());
    EXPECT_EQ(2u, Broadcasts[0].wParam);
    EXPECT_EQ(std::vector<bool>{false}, ForegroundAllowedBeforeBroadcast);
    other.reset();

    platform::ScopedSeam<void (*)(InstanceRequest)> record(app::CarryOutCleanRequest, &RecordCleanRequest);
    CleanRequests.clear();
    app::CheckUniqueInstance();
    ClockNow += 1000;
    ClockStep = 0;  // a frozen clock: every copy repeats the first of its kind
    for (WPARAM wParam : {1u, 2u, 1u, 2u, 4u, 0x10001u, ~0u})
        ::PostMessageW(Application.Handle(), app::InstanceMessage, wParam, 0);
    PostInstanceMessage(app::InstanceMessage);  // a bring-forward counts apart
    EXPECT_EQ((std::vector<InstanceRequest>{InstanceRequest::SmartClean, InstanceRequest::DeepClean}),
              CleanRequests);
    EXPECT_EQ(1, probe_->showMainCount);
    ClockNow += app::kRequestRepeatMs;  // half a second on, as during a running clean
    ::PostMessageW(Application.Handle(), app::InstanceMessage, 1, 0);
    Application.ProcessMessages();
    EXPECT_EQ(3u, CleanRequests.size());
}

TEST_F(UniqueInstanceGuard, OtherApplicationsMessagesLeaveTheMainWindowAlone) {
    app::CheckUniqueInstance();
    PostInstanceMessage(::RegisterWindowMessageA("SomeOtherProgram.exe"));
    PostInstanceMessage(WM_USER + 100);
    EXPECT_EQ(0, probe_->showMainCount);
    EXPECT_FALSE(probe_->Visible());
}

TEST_F(UniqueInstanceGuard, OrdinaryMessagesStillReachThePreviousProcedure) {
    app::CheckUniqueInstance();
    ASSERT_TRUE(Subclassed());
    Application.SetTitle(L"Brimvale ");
    wchar_t text[32] = {};
    ::GetWindowTextW(Application.Handle(), text, 32);
    EXPECT_STREQ(L"Brimvale ", text);
    EXPECT_EQ(9, ::SendMessageW(Application.Handle(), WM_GETTEXTLENGTH, 0, 0));
}

// ---- ForceForeground, with the foreground calls faked ----

namespace {

struct FakeDesktop {
    HWND foreground = nullptr;
    std::vector<std::pair<HWND, DWORD>> threads;
    bool attachSucceeds = true;
    bool foregroundLostOnDetach = false;
    bool setForegroundWorks = true;
    DWORD lockTimeout = 200000;
    bool lockTimeoutReadable = true;
    std::vector<std::string> log;
};
FakeDesktop* Fake = nullptr;
app::PlatformVersion InjectedVersion;

app::PlatformVersion ReadInjectedVersion() { return InjectedVersion; }
HWND WINAPI FakeGetForegroundWindow() { return Fake->foreground; }
BOOL WINAPI FakeSetForegroundWindow(HWND wnd) {
    Fake->log.push_back("SetForegroundWindow");
    if (Fake->setForegroundWorks) Fake->foreground = wnd;
    return Fake->setForegroundWorks;
}
BOOL WINAPI FakeBringWindowToTop(HWND) {
    Fake->log.push_back("BringWindowToTop");
    return TRUE;
}
DWORD WINAPI FakeGetWindowThreadProcessId(HWND wnd, LPDWORD process) {
    if (process) Fake->log.push_back("process id asked for");
    for (const auto& [w, thread] : Fake->threads)
        if (w == wnd) return thread;
    return 0;
}
BOOL WINAPI FakeAttachThreadInput(DWORD from, DWORD to, BOOL attach) {
    Fake->log.push_back("AttachThreadInput " + std::to_string(from) + " " + std::to_string(to) + " " +
                        std::to_string(attach));
    if (!attach && Fake->foregroundLostOnDetach) Fake->foreground = nullptr;
    return Fake->attachSucceeds;
}
BOOL WINAPI FakeSystemParametersInfoA(UINT action, UINT param, PVOID pointer, UINT flags) {
    std::string entry = "SPI " + std::to_string(action) + " " + std::to_string(param) + " ";
    if (action == SPI_GETFOREGROUNDLOCKTIMEOUT) {
        entry += "&value";
        if (!Fake->lockTimeoutReadable) {
            Fake->log.push_back(entry + " failed");
            return FALSE;
        }
        *static_cast<DWORD*>(pointer) = Fake->lockTimeout;
    } else {
        entry += std::to_string(reinterpret_cast<UINT_PTR>(pointer));
        if (action == SPI_SETFOREGROUNDLOCKTIMEOUT) Fake->lockTimeout = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(pointer));
    }
    Fake->log.push_back(entry + " " + std::to_string(flags));
    return TRUE;
}

const HWND kOtherWindow = reinterpret_cast<HWND>(0x5A5A0);
constexpr DWORD kOtherThread = 111;
constexpr DWORD kOwnThread = 222;

const std::vector<std::string> kAttachAndDetach = {
    "AttachThreadInput 222 111 1", "BringWindowToTop", "SetForegroundWindow", "AttachThreadInput 222 111 0"};
const std::vector<std::string> kLockTimeoutFallback = {
    "SPI 8192 0 &value 0", "SPI 8193 0 0 2", "BringWindowToTop", "SetForegroundWindow",
    "SPI 8193 0 200000 2"};

std::vector<std::string> Join(std::vector<std::string> first, const std::vector<std::string>& rest) {
    first.insert(first.end(), rest.begin(), rest.end());
    return first;
}

class ForceForegroundFaked : public UniqueInstanceGuard {
protected:
    void SetUp() override {
        UniqueInstanceGuard::SetUp();
        Fake = &fake_;
        fake_.foreground = kOtherWindow;
        fake_.threads = {{kOtherWindow, kOtherThread}, {probe_->Handle(), kOwnThread}};
        app::ReadPlatformVersion = &ReadInjectedVersion;
        InjectedVersion = {app::kPlatformWindowsNT, 5, 1};
    }
    void TearDown() override {
        UniqueInstanceGuard::TearDown();
        Fake = nullptr;
    }
    bool Force() { return app::ForceForeground(probe_->Handle()); }
    FakeDesktop fake_;
    Seam<decltype(app::GetForegroundWindowCall)> foreground_{app::GetForegroundWindowCall, &FakeGetForegroundWindow};
    Seam<decltype(app::SetForegroundWindowCall)> setForeground_{app::SetForegroundWindowCall,
                                                                &FakeSetForegroundWindow};
    Seam<decltype(app::BringWindowToTopCall)> toTop_{app::BringWindowToTopCall, &FakeBringWindowToTop};
    Seam<decltype(app::GetWindowThreadProcessIdCall)> threadOf_{app::GetWindowThreadProcessIdCall,
                                                                &FakeGetWindowThreadProcessId};
    Seam<decltype(app::AttachThreadInputCall)> attach_{app::AttachThreadInputCall, &FakeAttachThreadInput};
    Seam<decltype(app::SystemParametersInfoCall)> spi_{app::SystemParametersInfoCall, &FakeSystemParametersInfoA};
};

const app::PlatformVersion kThreadInputVersions[] = {
    {app::kPlatformWindowsNT, 5, 0}, {app::kPlatformWindowsNT, 5, 1}, {app::kPlatformWindowsNT, 6, 1},
    {app::kPlatformWindows9x, 4, 10}, {app::kPlatformWindows9x, 4, 90}, {app::kPlatformWindows9x, 5, 0}};
const app::PlatformVersion kOlderVersions[] = {
    {app::kPlatformWindowsNT, 4, 0}, {app::kPlatformWindows9x, 4, 0}, {0, 6, 0}};

std::string Describe(const app::PlatformVersion& version) {
    return std::to_string(version.platform) + ":" + std::to_string(version.major) + "." + std::to_string(version.minor);
}

}  // namespace

TEST_F(ForceForegroundFaked, AWindowAlreadyInFrontIsOnlyShownAndRestored) {
    probe_->Show();
    ::ShowWindow(probe_->Handle(), SW_MINIMIZE);
    fake_.foreground = probe_->Handle();
    EXPECT_TRUE(Force());
    EXPECT_EQ(1, probe_->showMainCount);
    EXPECT_EQ(-1, probe_->lastLParam);
    EXPECT_FALSE(probe_->Iconic());
    EXPECT_TRUE(fake_.log.empty()) << fake_.log.front();
}

TEST_F(ForceForegroundFaked, ShowMainGoesToTheMainWindowWhateverWindowIsForced) {
    fake_.foreground = nullptr;
    app::ForceForeground(nullptr);
    EXPECT_EQ(1, probe_->showMainCount);
    EXPECT_TRUE(probe_->Visible());
}

TEST_F(ForceForegroundFaked, OlderPlatformsOnlyBringToTop) {
    for (const auto& version : kOlderVersions) {
        InjectedVersion = version;
        fake_.foreground = kOtherWindow;
        fake_.log.clear();
        EXPECT_TRUE(Force()) << Describe(version);
        EXPECT_EQ((std::vector<std::string>{"BringWindowToTop", "SetForegroundWindow"}), fake_.log)
            << Describe(version);
    }
}

TEST_F(ForceForegroundFaked, OlderPlatformsReportARefusal) {
    InjectedVersion = {app::kPlatformWindowsNT, 4, 0};
    fake_.setForegroundWorks = false;
    EXPECT_FALSE(Force());
    EXPECT_TRUE(probe_->Visible());  // shown all the same, just not in front
}

TEST_F(ForceForegroundFaked, NewerPlatformsAttachToTheForegroundThreadAndDetach) {
    for (const auto& version : kThreadInputVersions) {
        InjectedVersion = version;
        fake_.foreground = kOtherWindow;
        fake_.log.clear();
        EXPECT_TRUE(Force()) << Describe(version);
        EXPECT_EQ(kAttachAndDetach, fake_.log) << Describe(version);
    }
}

TEST_F(ForceForegroundFaked, ForegroundLostAfterTheDetachFallsBackToTheLockTimeout) {
    // What Wine does: after attach, SetForegroundWindow and detach, nothing is in front.
    fake_.foregroundLostOnDetach = true;
    EXPECT_TRUE(Force());
    EXPECT_EQ(Join(kAttachAndDetach, kLockTimeoutFallback), fake_.log);
    EXPECT_EQ(probe_->Handle(), fake_.foreground);
}

TEST_F(ForceForegroundFaked, RefusedAttachGoesStraightToTheLockTimeout) {
    fake_.attachSucceeds = false;
    EXPECT_TRUE(Force());
    EXPECT_EQ(Join({"AttachThreadInput 222 111 1"}, kLockTimeoutFallback), fake_.log);
}

TEST_F(ForceForegroundFaked, NoAttachWhenTheForegroundIsTheWindowsOwnThreadOrNobody) {
    fake_.threads = {{kOtherWindow, kOwnThread}, {probe_->Handle(), kOwnThread}};
    EXPECT_TRUE(Force());
    EXPECT_EQ(kLockTimeoutFallback, fake_.log);

    fake_.foreground = nullptr;
    fake_.log.clear();
    EXPECT_TRUE(Force());
    EXPECT_EQ(kLockTimeoutFallback, fake_.log);
}

TEST_F(ForceForegroundFaked, BothMethodsRefusedLeavesTheWindowShownButNotInFront) {
    fake_.setForegroundWorks = false;
    fake_.lockTimeout = 0;
    EXPECT_FALSE(Force());
    EXPECT_EQ(Join(kAttachAndDetach, {"SPI 8192 0 &value 0", "SPI 8193 0 0 2", "BringWindowToTop",
                                      "SetForegroundWindow", "SPI 8193 0 0 2"}),
              fake_.log);
    EXPECT_TRUE(probe_->Visible());
}

TEST_F(ForceForegroundFaked, AnUnreadableLockTimeoutIsLeftAsItIs) {
    fake_.lockTimeoutReadable = false;
    fake_.lockTimeout = 200000;
    fake_.attachSucceeds = false;
    EXPECT_TRUE(Force());
    EXPECT_EQ((std::vector<std::string>{"AttachThreadInput 222 111 1", "SPI 8192 0 &value failed",
                                        "BringWindowToTop", "SetForegroundWindow"}),
              fake_.log);
    EXPECT_EQ(200000u, fake_.lockTimeout);  // the user's protection stays on
}

// ---- ForceForeground against Wine's real foreground handling ----

namespace {

// A window of another thread that holds the foreground.
class ForegroundThread {
public:
    ForegroundThread() {
        thread_ = std::thread([this] { run(); });
        WaitPumping([this] { return ready_.load(); });
    }
    ~ForegroundThread() {
        ::PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
        thread_.join();
    }
    HWND Window() const { return window_; }

    template <class F>
    static bool WaitPumping(F done) {
        for (int i = 0; i < 500 && !done(); ++i) {
            Application.ProcessMessages();
            ::Sleep(10);
        }
        return done();
    }

private:
    void run() {
        threadId_ = ::GetCurrentThreadId();
        window_ = ::CreateWindowExW(0, L"STATIC", L"Other", WS_POPUP | WS_VISIBLE, 0, 0, 60, 40, nullptr,
                                    nullptr, ::GetModuleHandleW(nullptr), nullptr);
        ::SetForegroundWindow(window_);
        ready_ = true;
        MSG msg;
        while (::GetMessageW(&msg, nullptr, 0, 0) > 0) ::DispatchMessageW(&msg);
        ::DestroyWindow(window_);
    }

    std::thread thread_;
    std::atomic<DWORD> threadId_{0};
    std::atomic<HWND> window_{nullptr};
    std::atomic<bool> ready_{false};
};

}  // namespace

TEST_F(UniqueInstanceGuard, RuntimeVersionUnderWineTakesTheThreadInputMethod) {
    const app::PlatformVersion v = app::RuntimePlatformVersion();
    EXPECT_EQ(VER_PLATFORM_WIN32_NT, v.platform);
    EXPECT_EQ(app::ForegroundMethod::ThreadInput, app::ChooseForegroundMethod(v)) << Describe(v);
}

namespace {
int RealAttachCalls = 0;
BOOL WINAPI CountingAttachThreadInput(DWORD from, DWORD to, BOOL attach) {
    ++RealAttachCalls;
    return ::AttachThreadInput(from, to, attach);
}
app::PlatformVersion WindowsXp() { return {app::kPlatformWindowsNT, 5, 1}; }
}  // namespace

// Under Wine the attach itself works, but right after the detach nothing is
// in front: the lock-timeout fallback is what brings the window forward here.
TEST_F(UniqueInstanceGuard, HiddenMainWindowComesToTheFrontPastAnotherThreadsWindow) {
    ForegroundThread other;
    ASSERT_TRUE(ForegroundThread::WaitPumping([&] { return ::GetForegroundWindow() == other.Window(); }));
    ASSERT_FALSE(probe_->Visible());
    // The probe shows without taking the foreground, so the guard has to.
    probe_->activateOnShow = false;
    RealAttachCalls = 0;
    Seam<decltype(app::AttachThreadInputCall)> counting(app::AttachThreadInputCall, &CountingAttachThreadInput);
    app::ReadPlatformVersion = &WindowsXp;

    EXPECT_TRUE(app::ForceForeground(probe_->Handle()));
    EXPECT_EQ(1, probe_->showMainCount);
    EXPECT_EQ(2, RealAttachCalls);  // attached to the other thread and detached again
    EXPECT_EQ(probe_->Handle(), ::GetForegroundWindow());
    EXPECT_TRUE(probe_->Visible());
}
