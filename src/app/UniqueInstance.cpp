#include "app/UniqueInstance.h"

#include <cstdlib>
#include <utility>
#include <vector>

#include "app/MainForm.h"
#include "widgets/Errors.h"
#include "probes/ToolHelp.h"
#include "widgets/MessageFilter.h"
#include "platform/Paths.h"
#include "platform/Trace.h"
#include "widgets/Window.h"

namespace app {

using widgets::Application;

UINT InstanceMessage = 0;
platform::UniqueKernelHandle InstanceMutex;
WNDPROC OldAppWndProc = nullptr;
widgets::TInitProc SavedInitProc = nullptr;
DWORD BroadcastRecipients = BSM_APPLICATIONS;

namespace {

#ifndef ASFW_ANY
constexpr DWORD ASFW_ANY = static_cast<DWORD>(-1);
#endif

// When each kind of request was last carried out (GetTickCount), if ever.
DWORD LastRequestTick[kInstanceRequestKinds] = {};
bool HadRequest[kInstanceRequestKinds] = {};

void ExitWithCode(unsigned code) { std::exit(static_cast<int>(code)); }

// The program runs the clean as it runs one chosen in its tray menu, an
// error going to the standard report. A request that arrives while the main
// window is still being made (an error report's modal loop during its
// construction) is dropped: the main window becomes the application's only
// once made.
void HandCleanToProgram(InstanceRequest request) {
    TMainForm* form = MainForm;
    if (!form || Application.MainForm() != form) return;
    const freeing::CleanKind kind =
        request == InstanceRequest::DeepClean ? freeing::CleanKind::Deep : freeing::CleanKind::Smart;
    widgets::Dispatch([&] { form->TheProgram().RequestClean(kind, CleanOrigin::OtherStart); });
}

// After signalling, a second start watches this many times, this far apart,
// for the running copy to give the name up (about a second in all).
constexpr int kNameLooks = 20;
constexpr DWORD kNameLookPauseMs = 50;

// Waits `ms` while serving messages that other threads send to this thread's
// (hidden) application window: a broadcast sent to every top-level window,
// such as WM_SETTINGCHANGE, must not wait on this copy.
void PauseServingSentMessages(DWORD ms) {
    const DWORD start = ::GetTickCount();
    for (DWORD waited = 0; waited < ms; waited = ::GetTickCount() - start) {
        if (::MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - waited, QS_SENDMESSAGE) != WAIT_OBJECT_0) break;
        MSG msg;
        (void)::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

// Creates the instance mutex if nobody holds it now, and keeps it: this
// process is the running copy from then on. A name still held (or refused)
// leaves nothing open, since a handle of ours would keep the name alive.
bool TakeNameIfFree(const std::wstring& name) {
    ::SetLastError(ERROR_SUCCESS);
    platform::UniqueKernelHandle mutex(CreateMutexCall(nullptr, FALSE, name.c_str()));
    const DWORD error = ::GetLastError();
    if (!mutex || DecideStart(true, error) != StartDecision::RunAsFirstCopy) return false;
    InstanceMutex = std::move(mutex);
    return true;
}

// A copy that was ending when this one started still held the name, but it
// will not answer the signal any more; it gives the name up within moments
// (it does so first of all when it ends). Returns whether the name came free
// within about a second and this process took it.
bool TakeOverFromAnEndingCopy() {
    const std::wstring name = InstanceName();
    for (int look = 0; look < kNameLooks; ++look) {
        PauseAfterSignal(kNameLookPauseMs);
        if (TakeNameIfFree(name)) return true;
    }
    return false;
}

// What the user can use of the main window: the popup it last activated
// (the settings dialog, or a report owned by it), or, while a task-modal
// report has disabled it, the enabled window of this thread that is shown
// (the report). The main window itself otherwise.
BOOL CALLBACK FindShownEnabled(HWND window, LPARAM found) {
    if (::IsWindowVisible(window) && ::IsWindowEnabled(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

HWND UsableWindowOf(HWND main) {
    HWND popup = ::GetLastActivePopup(main);
    if (popup && ::IsWindowEnabled(popup)) return popup;
    HWND found = nullptr;
    (void)::EnumThreadWindows(::GetWindowThreadProcessId(main, nullptr), &FindShownEnabled,
                              reinterpret_cast<LPARAM>(&found));
    return found ? found : main;
}

// How long a start with "/exit" waits for the running copy to end.
constexpr DWORD kExitWaitMs = 10000;

// The other processes of this session whose program file has the instance
// name, opened for waiting on (those that refuse it are left out). Tool Help
// names each process by its file name in the code page: a name the code page
// cannot hold matches nothing, and the wait is then for the name alone.
// A file name upper-cased the way the file system compares names, character
// by character and without a locale: every spelling of one file gives one name.
std::wstring FileNameAsCompared(std::wstring name) {
    if (!name.empty()) ::CharUpperBuffW(&name[0], static_cast<DWORD>(name.size()));
    return name;
}

std::vector<platform::UniqueKernelHandle> SameNameProcesses(const std::wstring& name) {
    std::vector<platform::UniqueKernelHandle> found;
    HANDLE taken = probes::CreateToolhelp32SnapshotSafe(TH32CS_SNAPPROCESS, 0);
    platform::UniqueFileHandle snapshot(taken ? taken : INVALID_HANDLE_VALUE);
    DWORD session = 0, theirs = 0;
    if (!snapshot || !::ProcessIdToSessionId(::GetCurrentProcessId(), &session)) return found;
    probes::ProcessEntry32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = probes::Process32FirstSafe(snapshot.get(), &entry); more;
         more = probes::Process32NextSafe(snapshot.get(), &entry)) {
        if (name != FileNameAsCompared(probes::ProcessExeName(entry)) ||
            entry.th32ProcessID == ::GetCurrentProcessId())
            continue;
        if (!::ProcessIdToSessionId(entry.th32ProcessID, &theirs) || theirs != session) continue;
        platform::UniqueKernelHandle process(::OpenProcess(SYNCHRONIZE, FALSE, entry.th32ProcessID));
        if (process) found.push_back(std::move(process));
    }
    return found;
}

HWND MainWindowHandle() {
    widgets::TTntForm* form = Application.MainForm();
    return form ? form->Handle() : nullptr;
}

// Lets SetForegroundWindow through by setting the foreground lock timeout to
// zero for the duration of the call, then puts the old value back. When the
// old value cannot be read, the timeout is left alone altogether: setting it
// to zero without a value to restore would switch off the user's foreground
// protection for the rest of the session.
void ForegroundWithoutLockTimeout(HWND window) {
    DWORD saved = 0;
    const bool read = SystemParametersInfoCall(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &saved, 0) != FALSE;
    if (read) (void)SystemParametersInfoCall(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, nullptr, SPIF_SENDCHANGE);
    (void)BringWindowToTopCall(window);
    (void)SetForegroundWindowCall(window);
    // The setter takes the value in the pointer argument itself.
    if (read)
        (void)SystemParametersInfoCall(SPI_SETFOREGROUNDLOCKTIMEOUT, 0,
                                        reinterpret_cast<PVOID>(static_cast<UINT_PTR>(saved)),
                                        SPIF_SENDCHANGE);
}

// Borrows the foreground thread's input so that SetForegroundWindow is
// allowed; falls back to the lock-timeout method when that did not put the
// window in front. Under Wine the foreground can be empty right after the
// detach, which the fallback mends.
void ForegroundThroughThreadInput(HWND window) {
    const DWORD foregroundThread = GetWindowThreadProcessIdCall(GetForegroundWindowCall(), nullptr);
    const DWORD windowThread = GetWindowThreadProcessIdCall(window, nullptr);
    bool success = false;
    // Attaching a thread to itself fails anyway: go straight to the fallback.
    if (ShouldAttachThreadInput(foregroundThread, windowThread) &&
        AttachThreadInputCall(windowThread, foregroundThread, TRUE)) {
        (void)BringWindowToTopCall(window);
        (void)SetForegroundWindowCall(window);
        (void)AttachThreadInputCall(windowThread, foregroundThread, FALSE);
        success = window == GetForegroundWindowCall();
    }
    if (!success) ForegroundWithoutLockTimeout(window);
}

}  // namespace

void (*HaltProcess)(unsigned code) = &ExitWithCode;
void (*CarryOutCleanRequest)(InstanceRequest request) = &HandCleanToProgram;
void (*PauseAfterSignal)(DWORD ms) = &PauseServingSentMessages;
PlatformVersion (*ReadPlatformVersion)() = &RuntimePlatformVersion;

decltype(&::BroadcastSystemMessageA) BroadcastCall = &::BroadcastSystemMessageA;
decltype(&::GetForegroundWindow) GetForegroundWindowCall = &::GetForegroundWindow;
decltype(&::SetForegroundWindow) SetForegroundWindowCall = &::SetForegroundWindow;
decltype(&::BringWindowToTop) BringWindowToTopCall = &::BringWindowToTop;
decltype(&::GetWindowThreadProcessId) GetWindowThreadProcessIdCall = &::GetWindowThreadProcessId;
decltype(&::AttachThreadInput) AttachThreadInputCall = &::AttachThreadInput;
decltype(&::SystemParametersInfoA) SystemParametersInfoCall = &::SystemParametersInfoA;
decltype(&::CreateMutexW) CreateMutexCall = &::CreateMutexW;
decltype(&::AllowSetForegroundWindow) AllowSetForegroundWindowCall = &::AllowSetForegroundWindow;
decltype(&::GetTickCount) GetTickCountCall = &::GetTickCount;
decltype(&::OpenMutexW) OpenMutexCall = &::OpenMutexW;

PlatformVersion RuntimePlatformVersion() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!::GetVersionExA(&info)) return PlatformVersion{};
    return PlatformVersion{static_cast<int>(info.dwPlatformId), static_cast<int>(info.dwMajorVersion),
                           static_cast<int>(info.dwMinorVersion)};
}

std::wstring InstanceName() {
    const std::wstring path = Application.ExeName();
    return FileNameAsCompared(path.substr(platform::ExtractFilePath(path).size()));
}

void InstallUniqueInstanceHook() {
    SavedInitProc = widgets::InitProc;
    widgets::InitProc = &CheckUniqueInstance;
}

void CheckUniqueInstance() {
    const std::wstring name = InstanceName();
    InstanceMessage = ::RegisterWindowMessageW(name.c_str());
    ::SetLastError(ERROR_SUCCESS);
    platform::UniqueKernelHandle mutex(CreateMutexCall(nullptr, FALSE, name.c_str()));
    // Read straight after the call: anything in between may change it.
    const DWORD error = ::GetLastError();
    if (DecideStart(static_cast<bool>(mutex), error) == StartDecision::SignalAndHalt) {
        // Not kept open: it would hold the name alive should the running
        // copy end meanwhile.
        mutex.reset();
        if (!SignalRunningInstance()) return;
        platform::Trace(L"the running copy ended without answering: this copy runs");
    } else {
        InstanceMutex = std::move(mutex);
    }
    // The first copy (or the one that took over from an ending copy), or a
    // name held by an object of another kind: run.
    SubclassApplication();
    // An elevated copy must still hear a second start that is not elevated.
    (void)widgets::AllowMessageThroughFilter(Application.Handle(), InstanceMessage);
    if (SavedInitProc) SavedInitProc();
}

bool SignalRunningInstance() {
    // This copy was just started by the user and may take the foreground;
    // it hands that right on, or the running copy could only flash.
    (void)AllowSetForegroundWindowCall(ASFW_ANY);
    PostInstanceRequest(InstanceRequest::BringForward);
    if (TakeOverFromAnEndingCopy()) return true;
    HaltProcess(0);
    return false;
}

void PostInstanceRequest(InstanceRequest request) {
    (void)BroadcastCall(BSF_IGNORECURRENTTASK | BSF_POSTMESSAGE, &BroadcastRecipients,
                                      InstanceMessage, static_cast<WPARAM>(request), 0);
}

bool HandCleanToRunningCopy(InstanceRequest request) {
    const std::wstring name = InstanceName();
    ::SetLastError(ERROR_SUCCESS);
    platform::UniqueKernelHandle mutex(OpenMutexCall(SYNCHRONIZE, FALSE, name.c_str()));
    const DWORD error = ::GetLastError();  // read straight after the call
    if (DecideCleanStart(static_cast<bool>(mutex), error) == CleanStartDecision::CleanHere) return false;
    // The running copy's own right to the foreground is left alone: it
    // cleans where it is and does not come forward.
    InstanceMessage = ::RegisterWindowMessageW(name.c_str());
    PostInstanceRequest(request);
    platform::Trace(L"clean request posted to the running copy");
    return true;
}

int EndRunningCopy() {
    const std::wstring name = InstanceName();
    ::SetLastError(ERROR_SUCCESS);
    platform::UniqueKernelHandle mutex(OpenMutexCall(SYNCHRONIZE, FALSE, name.c_str()));
    DWORD error = ::GetLastError();  // read straight after the call
    if (DecideCleanStart(static_cast<bool>(mutex), error) == CleanStartDecision::CleanHere) return 0;
    mutex.reset();  // a handle of ours would keep the name alive
    // Looked for before the request, while the copy still runs.
    const std::vector<platform::UniqueKernelHandle> copies = SameNameProcesses(name);
    InstanceMessage = ::RegisterWindowMessageW(name.c_str());
    PostInstanceRequest(InstanceRequest::Exit);
    platform::Trace(L"exit request posted to the running copy");
    // The copy gives the name up first of all when it ends, then takes its
    // windows and tray icon down: the wait is for the name, then the process.
    const DWORD start = ::GetTickCount();
    for (;;) {
        ::SetLastError(ERROR_SUCCESS);
        mutex.reset(OpenMutexCall(SYNCHRONIZE, FALSE, name.c_str()));
        error = ::GetLastError();
        if (!mutex && error == ERROR_FILE_NOT_FOUND) break;
        mutex.reset();
        if (::GetTickCount() - start >= kExitWaitMs) return 1;
        ::Sleep(50);
    }
    for (const platform::UniqueKernelHandle& copy : copies) {
        const DWORD waited = ::GetTickCount() - start;
        if (waited >= kExitWaitMs || ::WaitForSingleObject(copy.get(), kExitWaitMs - waited) != WAIT_OBJECT_0)
            return 1;
    }
    return 0;
}

void SubclassApplication() {
    OldAppWndProc = widgets::ReplaceWindowProcA(Application.Handle(), &AppWndProc);
}

// The application window itself never shows. "The application is minimised"
// means its main form is minimised (Application.Iconic), and restoring the
// application restores the main form (Application.Restore): that is what
// brings a minimised main window back restored.
LRESULT CALLBACK AppWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != InstanceMessage || InstanceMessage == 0)
        return ::CallWindowProcA(OldAppWndProc, window, message, wParam, lParam);
    InstanceRequest request = InstanceRequest::BringForward;
    if (!RequestFromWParam(static_cast<unsigned long long>(wParam), request)) return 0;
    // A queue full of copies of the message (a flood) must not run the whole
    // foreground dance, or a clean, for each one and starve the tick. Each
    // kind counts apart: a clean request does not swallow a bring-forward.
    const auto kind = static_cast<std::size_t>(request);
    const DWORD now = GetTickCountCall();
    if (IsRepeatedRequest(now, LastRequestTick[kind], HadRequest[kind])) return 0;
    LastRequestTick[kind] = now;
    HadRequest[kind] = true;
    // A copy that is ending brings nothing forward and starts nothing: the
    // request can arrive in a pump of its last clean.
    if (Application.Terminated()) return 0;
    if (request == InstanceRequest::Exit) {
        // As the tray menu's "Exit": the name goes at once, the loop ends.
        Application.Terminate();
        return 0;
    }
    if (request != InstanceRequest::BringForward) {
        // Inside a running clean's pump this starts a nested clean, as a
        // second choice in the tray menu does.
        CarryOutCleanRequest(request);
        return 0;
    }
    try {
        if (Application.Iconic()) Application.Restore();
        (void)SetForegroundWindowCall(Application.Handle());
        if (HWND main = MainWindowHandle()) ForceForeground(UsableWindowOf(main));
    } catch (...) {
        // Nothing may cross into the system; the window stays as it is.
        platform::Trace(L"bringing the running copy forward stopped on an exception");
    }
    return 0;
}

bool ForceForeground(HWND window) {
    // First, whatever `window` is: the main window may be hidden in the tray.
    ::SendMessageA(MainWindowHandle(), WM_SHOWMAIN, 0, -1);
    if (::IsIconic(window)) ::ShowWindow(window, SW_RESTORE);
    if (window == GetForegroundWindowCall()) return true;
    if (ChooseForegroundMethod(ReadPlatformVersion()) == ForegroundMethod::ThreadInput) {
        ForegroundThroughThreadInput(window);
    } else {
        (void)BringWindowToTopCall(window);
        (void)SetForegroundWindowCall(window);
    }
    return window == GetForegroundWindowCall();
}

void FinalizeUniqueInstance() { InstanceMutex.reset(); }

}  // namespace app
