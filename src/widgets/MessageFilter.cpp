#include "widgets/MessageFilter.h"

#include "platform/Exports.h"

namespace widgets {
namespace {

constexpr DWORD kMsgFltAllow = 1;  // MSGFLT_ALLOW
constexpr DWORD kMsgFltAdd = 1;    // MSGFLT_ADD

using ChangeFilterExFn = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
using ChangeFilterFn = BOOL(WINAPI*)(UINT, DWORD);

FARPROC FromUser32(const char* name) { return platform::LookUpExport(L"user32.dll", name); }

}  // namespace

FARPROC (*LookUpUser32Function)(const char* name) = &FromUser32;

MessageFilterWay AllowMessageThroughFilter(HWND window, UINT message) {
    if (message == 0) return MessageFilterWay::None;
    if (auto ex = platform::ExportAs<ChangeFilterExFn>(LookUpUser32Function("ChangeWindowMessageFilterEx"))) {
        (void)ex(window, message, kMsgFltAllow, nullptr);
        return MessageFilterWay::Window;
    }
    if (auto processWide = platform::ExportAs<ChangeFilterFn>(LookUpUser32Function("ChangeWindowMessageFilter"))) {
        (void)processWide(message, kMsgFltAdd);
        return MessageFilterWay::Process;
    }
    return MessageFilterWay::None;
}

}  // namespace widgets
