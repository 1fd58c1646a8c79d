#include "settings/SettingsTable.h"

namespace settings {

const std::array<Setting, 4> Settings = {{
    {KeyStartWithWindows, false, false, &SettingsValue::startWithWindows},
    {KeyFreeWhenLeisure, false, false, &SettingsValue::autoFree},
    {KeyPauseWhenBusy, true, true, &SettingsValue::pauseWhenBusy},
    {KeySmartFree, false, false, &SettingsValue::smartFree},
}};

}  // namespace settings
