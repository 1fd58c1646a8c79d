#include "app/UniqueInstance.h"

#include <cstdlib>
#include <utility>

#include "app/MainForm.h"
#include "widgets/MessageFilter.h"
#include "widgets/Paths.h"
#include "widgets/Trace.h"
#include "widgets/Window.h"

namespace app {

using widgets::Application;

UINT InstanceMessage = 0;
widgets::UniqueKernelHandle InstanceMutex;
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

// A request that arrives while the main window is still being made (an
// error report's modal loop during its construction) finds no menu yet and
// is dropped: the main window becomes the application's only once made.
void ClickTrayClean(InstanceRequest request) {
    TMainForm* form = MainForm;
    if (!form || Application.MainForm() != form) return;
    (request == InstanceRequest::DeepClean ? form->Tray_DeepClean : form->Tray_SmartClean)->Click();
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
    const bool read = Api.SystemParametersInfoA(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &saved, 0) != FALSE;
    if (read) (void)Api.SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, nullptr, SPIF_SENDCHANGE);
    (void)Api.BringWindowToTop(window);
    (void)Api.SetForegroundWindow(window);
    // The setter takes the value in the pointer argument itself.
    if (read)
        (void)Api.SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0,
                                        reinterpret_cast<PVOID>(static_cast<UINT_PTR>(saved)),
                                        SPIF_SENDCHANGE);
}

// Borrows the foreground thread's input so that SetForegroundWindow is
// allowed; falls back to the lock-timeout method when that did not put the
// window in front. Under Wine the foreground can be empty right after the
// detach, which the fallback mends.
void ForegroundThroughThreadInput(HWND window) {
    const DWORD foregroundThread = Api.GetWindowThreadProcessId(Api.GetForegroundWindow(), nullptr);
    const DWORD windowThread = Api.GetWindowThreadProcessId(window, nullptr);
    bool success = false;
    // Attaching a thread to itself fails anyway: go straight to the fallback.
    if (ShouldAttachThreadInput(foregroundThread, windowThread) &&
        Api.AttachThreadInput(windowThread, foregroundThread, TRUE)) {
        (void)Api.BringWindowToTop(window);
        (void)Api.SetForegroundWindow(window);
        (void)Api.AttachThreadInput(windowThread, foregroundThread, FALSE);
        success = window == Api.GetForegroundWindow();
    }
    if (!success) ForegroundWithoutLockTimeout(window);
}

}  // namespace

void (*HaltProcess)(unsigned code) = &ExitWithCode;
void (*CarryOutCleanRequest)(InstanceRequest request) = &ClickTrayClean;
PlatformVersion (*ReadPlatformVersion)() = &RuntimePlatformVersion;

InstanceApi RealInstanceApi() {
    return InstanceApi{&::BroadcastSystemMessageA, &::GetForegroundWindow, &::SetForegroundWindow,
                       &::BringWindowToTop,        &::GetWindowThreadProcessId,
                       &::AttachThreadInput,       &::SystemParametersInfoA,
                       &::CreateMutexW,            &::AllowSetForegroundWindow,
                       &::GetTickCount,            &::OpenMutexW};
}
InstanceApi Api = RealInstanceApi();

PlatformVersion RuntimePlatformVersion() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!::GetVersionExA(&info)) return PlatformVersion{};
    return PlatformVersion{static_cast<int>(info.dwPlatformId), static_cast<int>(info.dwMajorVersion),
                           static_cast<int>(info.dwMinorVersion)};
}

std::wstring InstanceName() {
    const std::wstring path = Application.ExeName();
    std::wstring name = path.substr(widgets::ExtractFilePath(path).size());
    // Upper-cased the way the file system compares names, character by
    // character and without a locale: every spelling of one file gives one name.
    if (!name.empty()) ::CharUpperBuffW(&name[0], static_cast<DWORD>(name.size()));
    return name;
}

void InstallUniqueInstanceHook() {
    SavedInitProc = widgets::InitProc;
    widgets::InitProc = &CheckUniqueInstance;
}

void CheckUniqueInstance() {
    const std::wstring name = InstanceName();
    InstanceMessage = ::RegisterWindowMessageW(name.c_str());
    ::SetLastError(ERROR_SUCCESS);
    widgets::UniqueKernelHandle mutex(Api.CreateMutexW(nullptr, FALSE, name.c_str()));
    // Read straight after the call: anything in between may change it.
    const DWORD error = ::GetLastError();
    InstanceMutex = std::move(mutex);
    if (DecideStart(static_cast<bool>(InstanceMutex), error) == StartDecision::SignalAndHalt) {
        SignalRunningInstance();
        return;
    }
    // The first copy, or a name held by an object of another kind: run.
    SubclassApplication();
    // An elevated copy must still hear a second start that is not elevated.
    (void)widgets::AllowMessageThroughFilter(Application.Handle(), InstanceMessage);
    if (SavedInitProc) SavedInitProc();
}

void SignalRunningInstance() {
    // This copy was just started by the user and may take the foreground;
    // it hands that right on, or the running copy could only flash.
    (void)Api.AllowSetForegroundWindow(ASFW_ANY);
    PostInstanceRequest(InstanceRequest::BringForward);
    HaltProcess(0);
}

void PostInstanceRequest(InstanceRequest request) {
    (void)Api.BroadcastSystemMessageA(BSF_IGNORECURRENTTASK | BSF_POSTMESSAGE, &BroadcastRecipients,
                                      InstanceMessage, static_cast<WPARAM>(request), 0);
}

bool HandCleanToRunningCopy(InstanceRequest request) {
    const std::wstring name = InstanceName();
    ::SetLastError(ERROR_SUCCESS);
    widgets::UniqueKernelHandle mutex(Api.OpenMutexW(SYNCHRONIZE, FALSE, name.c_str()));
    const DWORD error = ::GetLastError();  // read straight after the call
    if (DecideCleanStart(static_cast<bool>(mutex), error) == CleanStartDecision::CleanHere) return false;
    // The running copy's own right to the foreground is left alone: it
    // cleans where it is and does not come forward.
    InstanceMessage = ::RegisterWindowMessageW(name.c_str());
    PostInstanceRequest(request);
    widgets::Trace(L"clean request posted to the running copy");
    return true;
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
    const DWORD now = Api.GetTickCount();
    if (IsRepeatedRequest(now, LastRequestTick[kind], HadRequest[kind])) return 0;
    LastRequestTick[kind] = now;
    HadRequest[kind] = true;
    if (request != InstanceRequest::BringForward) {
        // Inside a running clean's pump this starts a nested clean, as a
        // second choice in the tray menu does.
        CarryOutCleanRequest(request);
        return 0;
    }
    try {
        if (Application.Iconic()) Application.Restore();
        (void)Api.SetForegroundWindow(Application.Handle());
        if (HWND main = MainWindowHandle()) ForceForeground(main);
    } catch (...) {
        // Nothing may cross into the system; the window stays as it is.
        widgets::Trace(L"bringing the running copy forward stopped on an exception");
    }
    return 0;
}

bool ForceForeground(HWND window) {
    // First, whatever `window` is: the main window may be hidden in the tray.
    ::SendMessageA(MainWindowHandle(), WM_SHOWMAIN, 0, -1);
    if (::IsIconic(window)) ::ShowWindow(window, SW_RESTORE);
    if (window == Api.GetForegroundWindow()) return true;
    if (ChooseForegroundMethod(ReadPlatformVersion()) == ForegroundMethod::ThreadInput) {
        ForegroundThroughThreadInput(window);
    } else {
        (void)Api.BringWindowToTop(window);
        (void)Api.SetForegroundWindow(window);
    }
    return window == Api.GetForegroundWindow();
}

void FinalizeUniqueInstance() { InstanceMutex.reset(); }

}  // namespace app
