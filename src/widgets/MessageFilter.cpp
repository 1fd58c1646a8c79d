#include "widgets/MessageFilter.h"

#include "platform/DynCalls.h"

namespace widgets {
namespace {

constexpr DWORD kMsgFltAllow = 1;  // MSGFLT_ALLOW
constexpr DWORD kMsgFltAdd = 1;    // MSGFLT_ADD

}  // namespace

MessageFilterWay AllowMessageThroughFilter(HWND window, UINT message) {
    if (message == 0) return MessageFilterWay::None;
    const platform::DynCallTable& calls = platform::DynCalls();
    if (calls.ChangeWindowMessageFilterEx) {
        (void)calls.ChangeWindowMessageFilterEx(window, message, kMsgFltAllow, nullptr);
        return MessageFilterWay::Window;
    }
    if (calls.ChangeWindowMessageFilter) {
        (void)calls.ChangeWindowMessageFilter(message, kMsgFltAdd);
        return MessageFilterWay::Process;
    }
    return MessageFilterWay::None;
}

}  // namespace widgets
