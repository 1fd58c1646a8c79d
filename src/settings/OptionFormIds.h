// The settings dialog's class and control ids. The layout table creates the
// controls with these ids, and the end-to-end driver finds them by them.
#pragma once

namespace settings {

enum OptionFormControlId : int {
    idCheckBox_set_start_with_window = 100,
    idCheckBox_set_auto_free = 101,
    idCheckBox_set_pause_free = 102,
    idCheckBox_use_smart_algorithm = 103,
    idButton_set_save = 104,
    idButton_set_cancel = 105,
};

constexpr wchar_t kOptionFormClass[] = L"TOptionForm";

}  // namespace settings
