// The main window's class and control ids. The layout table creates the
// controls with these ids, and the end-to-end driver finds them by them.
#pragma once

namespace app {

enum MainFormControlId : int {
    idLabel_cpu = 100,
    idLabel_cpu_usage = 101,
    idLabel_avail_phys = 102,
    idLabel_Physical = 103,
    idLabel_avail_pagefile = 104,
    idLabel_PageFile = 105,
    idLabel_avail_virtual = 106,
    idLabel_Virtual = 107,
    idLabel_clean_progress = 108,
    idLabel_free_number_before = 109,
    idLabel_free_number = 110,
    idLabel_Memory_Released = 111,
    idLabel_status_Smart = 112,
    idLabel_Status_Auto = 113,
    idLabel_Introduction = 114,
    idButton_go = 115,
    idButton_setting = 116,
    idButton_minimize = 117,
    idImage_cpu = 118,
    idProgressBar_cpu_usage = 119,
    idProgressBar_avail_phys = 120,
    idProgressBar_avail_pagefile = 121,
    idProgressBar_avail_virtual = 122,
    idProgressBar_clean_progress = 123,
    idStatusBar_smart_auto = 124,
    idImage_ok_ico = 125,
    idImage_cancel_ico = 126,
    idImage_text_icon = 127,
};

constexpr wchar_t kMainFormClass[] = L"TMainForm";

// The introduction's font (the driver, which cannot use the program's font
// object, makes the same one to wrap the text as the label does).
constexpr wchar_t kIntroductionFontName[] = L"Arial";
constexpr int kIntroductionFontHeight = -11;  // 8 pt, the window's size

}  // namespace app
