#include "app/NotificationStateRules.h"

#include "platform/IniFileRules.h"

namespace app {

bool IdleFreeHeldBack(bool pauseFullScreen, int notificationState) {
    if (!pauseFullScreen) return false;
    return notificationState == kQunsBusy || notificationState == kQunsRunningD3dFullScreen ||
           notificationState == kQunsPresentationMode;
}

bool ParsePauseFullScreen(const std::wstring& raw) { return platform::ParseIniBool(raw, true); }

}  // namespace app
