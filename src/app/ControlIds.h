// Control identifiers of the two windows, in creation order. They let the
// end-to-end driver find a control from outside the process; a unit test
// checks that each one matches the control the window created.
#pragma once

namespace app {

enum MainFormControlId : int {
    idLabel_cpu = 100,
    idLabel_cpu_usage,
    idLabel_avail_phys,
    idLabel_Physical,
    idLabel_avail_pagefile,
    idLabel_PageFile,
    idLabel_avail_virtual,
    idLabel_Virtual,
    idLabel_clean_progress,
    idLabel_free_number_before,
    idLabel_free_number,
    idLabel_Memory_Released,
    idLabel_status_Smart,
    idLabel_Status_Auto,
    idLabel_Introduction,
    idButton_go,
    idButton_setting,
    idButton_minimize,
    idImage_cpu,
    idProgressBar_cpu_usage,
    idProgressBar_avail_phys,
    idProgressBar_avail_pagefile,
    idProgressBar_avail_virtual,
    idProgressBar_clean_progress,
    idStatusBar_smart_auto,
    idImage_ok_ico,
    idImage_cancel_ico,
    idImage_text_icon,
};

enum OptionFormControlId : int {
    idCheckBox_set_start_with_window = 100,
    idCheckBox_set_auto_free,
    idCheckBox_set_pause_free,
    idCheckBox_use_smart_algorithm,
    idButton_set_save,
    idButton_set_cancel,
};

// Window classes, as the end-to-end driver looks for them.
constexpr wchar_t kMainFormClass[] = L"TMainForm";
constexpr wchar_t kOptionFormClass[] = L"TOptionForm";

}  // namespace app
