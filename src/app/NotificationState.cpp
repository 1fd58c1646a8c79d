#include "app/NotificationState.h"

#include <windows.h>

#include "platform/DynCalls.h"

namespace app {

namespace {

// Vista and later; 0 (no state) where the shell lacks it or fails.
int AskTheShell() {
    const auto query = platform::DynCalls().SHQueryUserNotificationState;
    if (!query) return 0;
    int state = 0;
    return SUCCEEDED(query(&state)) ? state : 0;
}

}  // namespace

NotificationStateFn ReadNotificationState = &AskTheShell;

int UserNotificationState() { return ReadNotificationState(); }

}  // namespace app
