#include "platform/Errors.h"

#include <windows.h>

#include "platform/Trace.h"

namespace platform {

ProblemReporter ReportProblem = &Trace;

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

}  // namespace platform
