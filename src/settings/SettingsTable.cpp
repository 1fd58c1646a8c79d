#include "settings/SettingsTable.h"

#include "settings/SettingsStore.h"

namespace settings {

const std::array<Setting, 4> Settings = {{
    {KeyStartWithWindows, false, false, true, &SettingsValue::startWithWindows},
    {KeyFreeWhenLeisure, false, false, false, &SettingsValue::autoFree},
    {KeyPauseWhenBusy, true, true, true, &SettingsValue::pauseWhenBusy},
    {KeySmartFree, false, false, false, &SettingsValue::smartFree},
}};

}  // namespace settings
