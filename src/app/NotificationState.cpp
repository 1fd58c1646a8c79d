#include "app/NotificationState.h"

#include <windows.h>

#include "platform/Exports.h"

namespace app {

namespace {

// The state is an enumeration (QUERY_USER_NOTIFICATION_STATE) the size of an int.
using QueryUserNotificationStateFn = HRESULT(WINAPI*)(int* state);

int AskTheShell() {
    // shell32 is loaded already: the tray icon imports from it.
    static const QueryUserNotificationStateFn query = platform::ExportAs<QueryUserNotificationStateFn>(
        platform::LookUpExport(L"shell32", "SHQueryUserNotificationState"));
    if (!query) return 0;
    int state = 0;
    return SUCCEEDED(query(&state)) ? state : 0;
}

}  // namespace

NotificationStateFn ReadNotificationState = &AskTheShell;

int UserNotificationState() { return ReadNotificationState(); }

}  // namespace app
