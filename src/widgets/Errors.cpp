#include "widgets/Errors.h"

#include <windows.h>

#include "widgets/Program.h"
#include "platform/Trace.h"

namespace widgets {
void ShowReportBox(const std::wstring& message) {
    HWND owner = ::GetActiveWindow();
    ::MessageBoxW(owner, message.c_str(), L"Brimvale", MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

ErrorReporter ShowReport = &ShowReportBox;

// Problems found below the windows are shown in the standard report too.
[[maybe_unused]] const bool gProblemsReported = (platform::ReportProblem = &ReportError, true);

namespace {

bool g_reportOpen = false;

}  // namespace

void ReportError(const std::wstring& message) {
    if (g_reportOpen) return;  // one report at a time
    // The program is ending (Exit, a close request, the session's end): a box
    // now would keep it from ending, or be left open as the session ends.
    if (ProgramEnding()) return;
    g_reportOpen = true;
    try {
        ShowReport(message);
    } catch (...) {
        platform::Trace(L"an error report could not be shown: " + message);
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
