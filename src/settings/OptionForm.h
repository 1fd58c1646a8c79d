// TOptionForm: the settings dialog. Its four check boxes show the program's
// settings and change them at once (a box ticked while the dialog is open
// takes effect straight away; Cancel and the close box put back what was
// there when it opened). It is created once, hidden, right after the main
// window; its creation has the program load and apply the settings.
#pragma once
#include <string>

#include "settings/SettingsHost.h"
#include "settings/SettingsTable.h"
#include "widgets/Form.h"
#include "widgets/StdCtrls.h"

namespace settings {

class TOptionForm : public widgets::TTntForm {
public:
    explicit TOptionForm(TSettingsHost& host);
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

    // Has the program read the file again as the dialog opens and shows its
    // settings, remembering those in use before for Cancel. A file that
    // cannot be read leaves the settings as they are, and is reported.
    void LoadForDialog();

private:
    // The boxes as a settings value, and the other way round.
    SettingsValue shown() const;
    void show(const SettingsValue& value);
    // Cancel and the close box: the settings in use before the dialog opened.
    void putBack();

    TSettingsHost& host_;
    SettingsValue beforeDialog_;
};

// The dialog once created; null before (the main window's creation and its
// first tick run before it exists).
extern TOptionForm* OptionForm;

}  // namespace settings
