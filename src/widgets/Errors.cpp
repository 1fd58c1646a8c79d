#include "widgets/Errors.h"

#include <windows.h>

#include "widgets/Application.h"
#include "widgets/Trace.h"

namespace widgets {
void ShowReportBox(const std::wstring& message) {
    HWND owner = ::GetActiveWindow();
    ::MessageBoxW(owner, message.c_str(), L"Brimvale", MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

ErrorReporter ShowReport = &ShowReportBox;

namespace {

bool g_reportOpen = false;

}  // namespace

std::wstring SystemErrorText(unsigned long code) {
    if (code == 0) return std::wstring();
    wchar_t* buffer = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text;
    if (length && buffer) text.assign(buffer, length);
    if (buffer) ::LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) text.pop_back();
    return text;
}

std::wstring WithSystemReason(const std::wstring& message, unsigned long code) {
    const std::wstring reason = SystemErrorText(code);
    return reason.empty() ? message : message + L"\n" + reason;
}

void ReportError(const std::wstring& message) {
    if (g_reportOpen) return;  // one report at a time
    // The program is ending (Exit, a close request, the session's end): a box
    // now would keep it from ending, or be left open as the session ends.
    if (Application.Terminated()) return;
    g_reportOpen = true;
    try {
        ShowReport(message);
    } catch (...) {
        Trace(L"an error report could not be shown: " + message);
    }
    g_reportOpen = false;
}

namespace {
BOOL CALLBACK CloseReportBox(HWND wnd, LPARAM) {
    wchar_t name[16] = {};
    ::GetClassNameW(wnd, name, 16);
    // The report's message box is this thread's one dialog-class window.
    if (lstrcmpW(name, L"#32770") == 0) ::PostMessageW(wnd, WM_COMMAND, IDOK, 0);
    return TRUE;
}
}  // namespace

void CloseOpenReport() {
    if (g_reportOpen) ::EnumThreadWindows(::GetCurrentThreadId(), &CloseReportBox, 0);
}

}  // namespace widgets
