// TOptionForm: the settings dialog. Its four check boxes are the program's
// live settings: the status bar and the idle auto-free read them directly.
// It is created once, hidden, right after the main window; its creation
// loads the settings and applies them for the first time.
#pragma once
#include <array>
#include <string>

#include "widgets/Form.h"
#include "widgets/StdCtrls.h"

namespace app {
class TMainForm;
}

namespace settings {

class TOptionForm : public widgets::TTntForm {
public:
    explicit TOptionForm(app::TMainForm& mainForm);
    ~TOptionForm() override;

    widgets::TTntCheckBox* CheckBox_set_start_with_window;
    widgets::TTntCheckBox* CheckBox_set_auto_free;
    widgets::TTntCheckBox* CheckBox_set_pause_free;
    widgets::TTntCheckBox* CheckBox_use_smart_algorithm;
    widgets::TTntButton* Button_set_save;
    widgets::TTntButton* Button_set_cancel;

    void FormCreate();
    void FormShow();
    void Button_set_saveClick();
    void Button_set_cancelClick();

    // Reloads the boxes from the file as the dialog opens ("startwithwindows"
    // then defaults to on), remembering their previous states for Cancel.
    void LoadForDialog();
    // The status texts on the main window's status bar, from the boxes.
    void UpdateStatusTexts();

private:
    std::array<widgets::TTntCheckBox*, 4> boxes() const;
    void loadBoxes(bool startWithWindowsDefault);
    void restoreBoxes();
    // Status texts, autostart entry (removed only when asked and the box is
    // clear), Timer_free; returns the message of a refused autostart entry.
    std::wstring applySettings(bool removeAutostartWhenClear);

    app::TMainForm& mainForm_;
    std::array<bool, 4> beforeDialog_{};
};

// The dialog once created; null before (the main window's creation and its
// first tick run before it exists).
extern TOptionForm* OptionForm;

}  // namespace settings
