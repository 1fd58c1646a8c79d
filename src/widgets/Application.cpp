#include "widgets/Application.h"

#include <commctrl.h>

#include "platform/CommandLineRules.h"
#include "widgets/Errors.h"
#include "platform/Paths.h"

namespace widgets {

TInitProc InitProc = nullptr;
TApplication Application;

bool ProgramEnding() { return Application.Terminated(); }

void FormFreed(const TTntForm& form) {
    if (Application.MainForm() == &form) Application.Terminate();
}

std::optional<LRESULT> HandleEndRequest(UINT msg, WPARAM wParam) {
    switch (msg) {
        case WM_CLOSE:
            Application.Terminate();
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;  // agreed: nothing is unsaved
        case WM_ENDSESSION:
            // The session ends once every window has returned from this:
            // end now, as Exit does (no report opens any more, and an open
            // one is closed).
            if (wParam) Application.Terminate();
            return 0;
        default:
            return std::nullopt;
    }
}

LRESULT TApplication::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (auto result = HandleEndRequest(msg, wParam)) return *result;
    return DefaultProc(msg, wParam, lParam);
}

void TApplication::Initialize() {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_PROGRESS_CLASS | ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);
    if (!Handle()) {
        RegisterWindowClass({.name = L"TApplication"});
        // A hidden top-level window (not message-only): broadcasts reach it.
        WindowArgs window;
        window.what = L"Application";
        window.className = L"TApplication";
        window.text = title_.c_str();
        window.style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
        window.exStyle = WS_EX_TOOLWINDOW;
        Create(window);
    }
    if (InitProc) InitProc();
}

void TApplication::SetTitle(const std::wstring& title) {
    title_ = title;
    if (Handle()) ::SetWindowTextW(Handle(), title.c_str());
}

bool TApplication::handleMessage(MSG& msg) {
    HWND active = ::GetActiveWindow();
    for (const auto& form : forms_) {
        if (form->Handle() == active && active && form->HandleDialogMessage(msg)) return true;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
    return true;
}

void TApplication::Run() {
    if (mainForm_ && showMainForm_) mainForm_->Show();
    MSG msg;
    while (!terminated_) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            terminated_ = true;
            break;
        }
        ++messagesRetrieved_;
        if (messageObserver_) messageObserver_(msg);
        handleMessage(msg);
    }
}

void TApplication::Terminate() {
    if (OnTerminate) OnTerminate();
    terminated_ = true;
    ::PostQuitMessage(0);
    // A report's box would lose the quit in its own loop: it is closed,
    // and ends as soon as its loop runs again.
    CloseOpenReport();
}

void TApplication::ProcessMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Put back, so that whatever loop runs when the caller returns (the
            // main loop, the settings dialog's or a report's modal loop) sees
            // it and ends too.
            terminated_ = true;
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        handleMessage(msg);
    }
}

bool TApplication::Iconic() const { return mainForm_ && mainForm_->Iconic(); }

void TApplication::Restore() {
    if (mainForm_ && mainForm_->Iconic()) ::ShowWindow(mainForm_->Handle(), SW_RESTORE);
}

std::wstring TApplication::ExeName() const { return platform::ModulePath(); }

const std::vector<std::wstring>& TApplication::params() const {
    // The process's command line does not change while it runs.
    if (!paramsSplit_) {
        params_ = platform::SplitParameters(hasOverride_ ? commandLineOverride_ : std::wstring(::GetCommandLineW()));
        paramsSplit_ = true;
    }
    return params_;
}

int TApplication::ParamCount() const { return static_cast<int>(params().size()); }

std::wstring TApplication::ParamStr(int index) const {
    if (index == 0) return ExeName();
    const auto& p = params();
    return index > 0 && index <= static_cast<int>(p.size()) ? p[index - 1] : std::wstring();
}

void TApplication::SetCommandLineForTest(const std::wstring& line) {
    commandLineOverride_ = line;
    hasOverride_ = true;
    paramsSplit_ = false;
}

void TApplication::DestroyForms() {
    while (!forms_.empty()) forms_.pop_back();
    mainForm_ = nullptr;
}

}  // namespace widgets
