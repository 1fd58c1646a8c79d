#include "settings/SettingsTable.h"

#include "settings/OptionForm.h"
#include "settings/SettingsStore.h"

namespace settings {

const std::array<Setting, 4> Settings = {{
    {KeyStartWithWindows, false, false, true, &TOptionForm::CheckBox_set_start_with_window},
    {KeyFreeWhenLeisure, false, false, false, &TOptionForm::CheckBox_set_auto_free},
    {KeyPauseWhenBusy, true, true, true, &TOptionForm::CheckBox_set_pause_free},
    {KeySmartFree, false, false, false, &TOptionForm::CheckBox_use_smart_algorithm},
}};

}  // namespace settings
