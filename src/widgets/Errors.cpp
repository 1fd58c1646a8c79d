#include "widgets/Errors.h"

#include <windows.h>

namespace widgets {
namespace {

void MessageBoxReporter(const std::wstring& message) {
    HWND owner = ::GetActiveWindow();
    ::MessageBoxW(owner, message.c_str(), L"Brimvale", MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

ErrorReporter g_reporter = nullptr;
bool g_reportOpen = false;

}  // namespace

void ReportError(const std::wstring& message) {
    if (g_reportOpen) return;  // one report at a time
    g_reportOpen = true;
    try {
        (g_reporter ? g_reporter : MessageBoxReporter)(message);
    } catch (...) {
    }
    g_reportOpen = false;
}

ErrorReporter SetErrorReporter(ErrorReporter reporter) {
    ErrorReporter previous = g_reporter;
    g_reporter = reporter;
    return previous;
}

}  // namespace widgets
