// TOptionForm: the settings dialog. Its four check boxes are the program's
// live settings: the status bar and the idle auto-free read them (through
// LiveSettings). It is created once, hidden, right after the main window;
// its creation loads the settings and applies them for the first time.
#pragma once
#include <array>
#include <string>

#include "settings/SettingsTable.h"
#include "widgets/Form.h"
#include "widgets/StdCtrls.h"

namespace localisation {
class TLanguage;
}

namespace settings {

// What the dialog needs of the main window, which implements it.
class TSettingsHost {
public:
    virtual HWND OwnerWindow() const = 0;
    virtual localisation::TLanguage& Language() const = 0;
    // The status bar's texts and pictures, for the settings as they now are.
    virtual void ShowSettingsStatus(const std::wstring& smartText, const std::wstring& autoText) = 0;
    // Starts the idle auto-free's timer (Timer_free).
    virtual void StartAutoFree() = 0;

protected:
    ~TSettingsHost() = default;
};

// The live settings the main window acts on; all off before the dialog exists.
struct TLiveSettings {
    bool smartFree = false;
    bool autoFree = false;
};
TLiveSettings LiveSettings();

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

    // Reloads the boxes from the file as the dialog opens ("startwithwindows"
    // then defaults to on), remembering their previous states for Cancel. A
    // file that cannot be read leaves the boxes as they are, and is reported.
    void LoadForDialog();
    // The status texts on the main window's status bar, from the boxes.
    void UpdateStatusTexts();

private:
    // What the autostart entry does when the settings are applied.
    enum class Autostart { RegisterWhenTicked, FollowTheBox, LeaveAlone };

    // Loads the boxes from the file. When the file exists but cannot be
    // read, the boxes stay as they are (at start-up: the start-up defaults)
    // and the report's text is returned.
    std::wstring loadBoxes(bool forDialog);
    void restoreBoxes();
    // Status texts, autostart entry, Timer_free; returns the message of a
    // refused autostart entry.
    std::wstring applySettings(Autostart autostart);

    TSettingsHost& host_;
    std::array<bool, std::tuple_size_v<decltype(Settings)>> beforeDialog_{};
    // False while the boxes hold the start-up defaults in place of a file
    // that could not be read: OK then stores only what the user changed.
    bool boxesFromFile_ = true;
};

// The dialog once created; null before (the main window's creation and its
// first tick run before it exists).
extern TOptionForm* OptionForm;

}  // namespace settings
