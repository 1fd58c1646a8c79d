#include "app/NotificationStateRules.h"

#include "widgets/IniFileRules.h"

namespace app {

bool IdleFreeHeldBack(bool pauseFullScreen, int notificationState) {
    if (!pauseFullScreen) return false;
    return notificationState == kQunsBusy || notificationState == kQunsRunningD3dFullScreen ||
           notificationState == kQunsPresentationMode;
}

bool ParsePauseFullScreen(const std::wstring& raw) { return widgets::ParseIniBool(raw, true); }

}  // namespace app
