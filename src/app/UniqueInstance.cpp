#include "app/UniqueInstance.h"

#include <cstdlib>
#include <utility>

#include "app/MainForm.h"
#include "widgets/Paths.h"

namespace app {

using widgets::Application;

UINT InstanceMessage = 0;
widgets::UniqueKernelHandle InstanceMutex;
WNDPROC OldAppWndProc = nullptr;
widgets::TInitProc SavedInitProc = nullptr;
DWORD BroadcastRecipients = BSM_APPLICATIONS;

namespace {

void ExitWithCode(unsigned code) { std::exit(static_cast<int>(code)); }

HWND MainWindowHandle() {
    widgets::TTntForm* form = Application.MainForm();
    return form ? form->Handle() : nullptr;
}

// Lets SetForegroundWindow through by setting the foreground lock timeout to
// zero for the duration of the call, then puts the old value back.
void ForegroundWithoutLockTimeout(HWND window) {
    DWORD saved = 0;
    (void)Api.SystemParametersInfoA(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &saved, 0);
    (void)Api.SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, nullptr, SPIF_SENDCHANGE);
    (void)Api.BringWindowToTop(window);
    (void)Api.SetForegroundWindow(window);
    // The setter takes the value in the pointer argument itself.
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
PlatformVersion (*ReadPlatformVersion)() = &RuntimePlatformVersion;

InstanceApi RealInstanceApi() {
    return InstanceApi{&::BroadcastSystemMessageA, &::GetForegroundWindow, &::SetForegroundWindow,
                       &::BringWindowToTop,        &::GetWindowThreadProcessId,
                       &::AttachThreadInput,       &::SystemParametersInfoA};
}
InstanceApi Api = RealInstanceApi();

PlatformVersion RuntimePlatformVersion() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!::GetVersionExA(&info)) return PlatformVersion{};
    return PlatformVersion{static_cast<int>(info.dwPlatformId), static_cast<int>(info.dwMajorVersion),
                           static_cast<int>(info.dwMinorVersion)};
}

std::string InstanceName() {
    const std::wstring path = Application.ExeName();
    const std::wstring name = path.substr(widgets::ExtractFilePath(path).size());
    if (name.empty()) return std::string();
    const int size = ::WideCharToMultiByte(CP_ACP, 0, name.c_str(), static_cast<int>(name.size()), nullptr,
                                           0, nullptr, nullptr);
    if (size <= 0) return std::string();
    std::string narrow(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, name.c_str(), static_cast<int>(name.size()), &narrow[0], size,
                          nullptr, nullptr);
    return narrow;
}

void InstallUniqueInstanceHook() {
    SavedInitProc = widgets::InitProc;
    widgets::InitProc = &CheckUniqueInstance;
}

void CheckUniqueInstance() {
    const std::string name = InstanceName();
    InstanceMessage = ::RegisterWindowMessageA(name.c_str());
    ::SetLastError(ERROR_SUCCESS);
    widgets::UniqueKernelHandle mutex(::CreateMutexA(nullptr, FALSE, name.c_str()));
    // Read straight after the call: anything in between may change it.
    const DWORD error = ::GetLastError();
    InstanceMutex = std::move(mutex);
    if (!InstanceMutex) {
        HaltProcess(0);
        return;
    }
    if (error == ERROR_ALREADY_EXISTS) {
        SignalRunningInstance();
        return;
    }
    SubclassApplication();
    if (SavedInitProc) SavedInitProc();
}

void SignalRunningInstance() {
    (void)Api.BroadcastSystemMessageA(BSF_IGNORECURRENTTASK | BSF_POSTMESSAGE, &BroadcastRecipients,
                                      InstanceMessage, 0, 0);
    HaltProcess(0);
}

void SubclassApplication() {
    // SetWindowLongPtrA is SetWindowLongA in a 32-bit build: the same narrow call.
    OldAppWndProc = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(
        Application.Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AppWndProc)));
}

// The application window itself never shows. "The application is minimised"
// means its main form is minimised (Application.Iconic), and restoring the
// application restores the main form (Application.Restore): that is what
// brings a minimised main window back restored.
LRESULT CALLBACK AppWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != InstanceMessage || InstanceMessage == 0)
        return ::CallWindowProcA(OldAppWndProc, window, message, wParam, lParam);
    try {
        if (Application.Iconic()) Application.Restore();
        (void)Api.SetForegroundWindow(Application.Handle());
        if (HWND main = MainWindowHandle()) ForceForeground(main);
    } catch (...) {
        // Nothing may cross into the system; the window stays as it is.
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
