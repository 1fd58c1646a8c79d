#include "settings/OptionForm.h"

#include <utility>

#include "localisation/Language.h"
#include "localisation/TranslateForm.h"
#include "settings/OptionFormIds.h"
#include "widgets/Errors.h"

namespace settings {

using namespace widgets;

TOptionForm* OptionForm = nullptr;

namespace {

FormOptions OptionFormOptions() {
    FormOptions o;
    o.caption = L"Brimvale Settings";
    o.clientWidth = 286;
    o.clientHeight = 155;
    o.minimizeBox = false;
    o.iconId = kProgramIconId;
    return o;
}

// Which box shows which setting.
const std::pair<bool SettingsValue::*, TTntCheckBox* TOptionForm::*> kBoxes[] = {
    {&SettingsValue::startWithWindows, &TOptionForm::CheckBox_set_start_with_window},
    {&SettingsValue::autoFree, &TOptionForm::CheckBox_set_auto_free},
    {&SettingsValue::pauseWhenBusy, &TOptionForm::CheckBox_set_pause_free},
    {&SettingsValue::smartFree, &TOptionForm::CheckBox_use_smart_algorithm},
};

}  // namespace

TOptionForm::TOptionForm(TSettingsHost& host)
    : TTntForm(L"OptionForm", "TOptionForm", OptionFormOptions(), host.OwnerWindow()), host_(host) {
    OptionForm = this;
    CreateControls({
        Row(CheckBox_set_start_with_window,
            {.name = L"CheckBox_set_start_with_window", .id = idCheckBox_set_start_with_window,
             .bounds = {16, 8, 265, 17}, .caption = L"Run at Windows Startup"}),
        Row(CheckBox_set_auto_free,
            {.name = L"CheckBox_set_auto_free", .id = idCheckBox_set_auto_free, .bounds = {16, 32, 265, 17},
             .caption = L"Automatically free ram while system is idle"}),
        Row(CheckBox_set_pause_free,
            {.name = L"CheckBox_set_pause_free", .id = idCheckBox_set_pause_free, .bounds = {16, 56, 297, 17},
             .caption = L"Do not auto free during high CPU and disk usage"}),
        Row(CheckBox_use_smart_algorithm,
            {.name = L"CheckBox_use_smart_algorithm", .id = idCheckBox_use_smart_algorithm,
             .bounds = {16, 80, 265, 17}, .caption = L"Use Brimvale compression technology"}),
        Row(Button_set_save,
            {.name = L"Button_set_save", .id = idButton_set_save, .bounds = {112, 112, 75, 25}, .caption = L"OK"}),
        Row(Button_set_cancel, {.name = L"Button_set_cancel", .id = idButton_set_cancel,
                                .bounds = {200, 112, 75, 25}, .caption = L"Cancel"}),
    });

    FontStyle arial = Font();
    arial.name = L"Arial";
    for (const auto& [field, box] : kBoxes) {
        (this->*box)->SetFont(arial);
        // A box the user ticks takes effect at once.
        (this->*box)->OnClick = [this] { host_.SetLiveSettings(shown()); };
    }
    // The stored states of the design; the creation step overwrites them.
    CheckBox_set_start_with_window->SetChecked(true);
    CheckBox_set_pause_free->SetChecked(true);

    OnShow = [this] { FormShow(); };
    OnClose = [this](TCloseAction& action) {
        action = TCloseAction::Hide;
        putBack();  // the close box is Cancel
    };
    Button_set_save->OnClick = [this] { Button_set_saveClick(); };
    Button_set_cancel->OnClick = [this] { Button_set_cancelClick(); };
    Dispatch([this] { FormCreate(); });
}

TOptionForm::~TOptionForm() {
    if (OptionForm == this) OptionForm = nullptr;
}

SettingsValue TOptionForm::shown() const {
    SettingsValue value;
    for (const auto& [field, box] : kBoxes) value.*field = (this->*box)->Checked();
    return value;
}

void TOptionForm::show(const SettingsValue& value) {
    for (const auto& [field, box] : kBoxes) (this->*box)->SetChecked(value.*field);
}

void TOptionForm::FormCreate() {
    // Each error (a refused first-run write, an unreadable file, a refused
    // autostart entry) is reported once, after the whole sequence has run.
    const std::vector<std::wstring> reports = host_.StartSettings();
    show(host_.Settings());
    for (const std::wstring& message : reports) ReportError(message);
}

void TOptionForm::FormShow() { localisation::TranslateForm(host_.Language(), *this); }

void TOptionForm::LoadForDialog() {
    beforeDialog_ = host_.Settings();
    const std::wstring unreadable = host_.ReloadSettings();
    show(host_.Settings());
    if (!unreadable.empty()) ReportError(unreadable);
}

void TOptionForm::putBack() {
    // A cancelled dialog must not start or stop anything: the settings go
    // back to what they were before it opened.
    show(beforeDialog_);
    host_.SetLiveSettings(beforeDialog_);
}

void TOptionForm::Button_set_saveClick() {
    // A refused write stops here (the standard report shows it): the dialog
    // stays open with the user's choices.
    const std::wstring refused = host_.SaveSettings(shown(), beforeDialog_);
    Hide();
    if (!refused.empty()) ReportError(refused);
}

void TOptionForm::Button_set_cancelClick() {
    putBack();
    Hide();
}

}  // namespace settings
