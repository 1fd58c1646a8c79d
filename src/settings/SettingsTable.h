// The four on/off settings as one table, walked by the store (first run),
// the start-up sequence and the dialog.
#pragma once
#include <array>

namespace widgets {
class TTntCheckBox;
}

namespace settings {

class TOptionForm;

struct Setting {
    const wchar_t* key;   // in the settings file's one section
    bool firstRun;        // written when the file is created
    bool startupDefault;  // taken at start-up when the key is missing
    bool dialogDefault;   // taken when the dialog opens and the key is missing
    widgets::TTntCheckBox* TOptionForm::*box;  // the dialog's box that holds it
};

extern const std::array<Setting, 4> Settings;

}  // namespace settings
