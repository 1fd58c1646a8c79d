#include "settings/OptionForm.h"

#include "localisation/Language.h"
#include "localisation/TranslateForm.h"
#include "settings/OptionFormIds.h"
#include "settings/SettingsStore.h"
#include "settings/SettingsTable.h"
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

}  // namespace

TLiveSettings LiveSettings() {
    if (!OptionForm) return {};
    return {OptionForm->CheckBox_use_smart_algorithm->Checked(), OptionForm->CheckBox_set_auto_free->Checked()};
}

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
    for (const Setting& setting : Settings) (this->*setting.box)->SetFont(arial);
    // The stored states of the design; the creation step overwrites them.
    CheckBox_set_start_with_window->SetChecked(true);
    CheckBox_set_pause_free->SetChecked(true);

    OnShow = [this] { FormShow(); };
    OnClose = [this](TCloseAction& action) {
        action = TCloseAction::Hide;
        restoreBoxes();  // the close box is Cancel
    };
    Button_set_save->OnClick = [this] { Button_set_saveClick(); };
    Button_set_cancel->OnClick = [this] { Button_set_cancelClick(); };
    Dispatch([this] { FormCreate(); });
}

TOptionForm::~TOptionForm() {
    if (OptionForm == this) OptionForm = nullptr;
}

std::wstring TOptionForm::loadBoxes(bool forDialog) {
    const std::wstring unreadable = SettingsFileUnreadable(
        forDialog ? L"the settings dialog shows the settings in use"
                  : L"the program runs with the default settings and leaves the file as it is");
    if (!unreadable.empty() && forDialog) return unreadable;
    for (const Setting& setting : Settings) {
        const bool fallback = forDialog ? setting.dialogDefault : setting.startupDefault;
        const bool read = SettingsIni && unreadable.empty();
        (this->*setting.box)
            ->SetChecked(read ? SettingsIni->ReadBool(SettingsSection, setting.key, fallback) : fallback);
    }
    boxesFromFile_ = unreadable.empty();
    return unreadable;
}

std::wstring TOptionForm::applySettings(Autostart autostart) {
    // Every step runs whatever the registry does: the status bar and
    // Timer_free show and do what the boxes say. A refused autostart entry
    // is handed back, to be reported once the steps have run.
    UpdateStatusTexts();
    std::wstring refused;
    try {
        if (autostart != Autostart::LeaveAlone && CheckBox_set_start_with_window->Checked())
            RegisterAutostart();
        else if (autostart == Autostart::FollowTheBox && !CheckBox_set_start_with_window->Checked())
            UnregisterAutostart();
    } catch (const platform::Exception& e) {
        refused = e.Message();
    }
    if (CheckBox_set_auto_free->Checked()) host_.StartAutoFree();
    return refused;
}

void TOptionForm::FormCreate() {
    // A refused first-run write leaves the file missing, and an unreadable
    // file is left as it is: the boxes take the defaults, the rest of the
    // sequence runs, and each error is reported once at the end.
    std::wstring refusedFile;
    try {
        OpenSettingsFile();
    } catch (const platform::Exception& e) {
        refusedFile = e.Message();
    }
    const std::wstring unreadable = loadBoxes(false);
    const std::wstring refusedAutostart = applySettings(Autostart::RegisterWhenTicked);  // never removed here
    for (const std::wstring& message : {refusedFile, unreadable, refusedAutostart})
        if (!message.empty()) ReportError(message);
}

void TOptionForm::FormShow() { localisation::TranslateForm(host_.Language(), *this); }

void TOptionForm::UpdateStatusTexts() {
    const localisation::TLanguage& language = host_.Language();
    host_.ShowSettingsStatus(
        CheckBox_use_smart_algorithm->Checked() ? language.Translate(L"M", L"SmartfreeOn", L"Smart free on")
                                                : language.Translate(L"M", L"SmartFreeoff", L"Smart free off"),
        CheckBox_set_auto_free->Checked() ? language.Translate(L"M", L"autofreeon", L"Auto free on")
                                          : language.Translate(L"M", L"autoFreeoff", L"Auto free off"));
}

void TOptionForm::LoadForDialog() {
    for (std::size_t i = 0; i < Settings.size(); ++i) beforeDialog_[i] = (this->*Settings[i].box)->Checked();
    const std::wstring unreadable = loadBoxes(true);
    if (!unreadable.empty()) ReportError(unreadable);
}

void TOptionForm::restoreBoxes() {
    // A cancelled dialog must not start or stop anything: the boxes are the
    // live settings, so they go back to what they were before it opened.
    for (std::size_t i = 0; i < Settings.size(); ++i) (this->*Settings[i].box)->SetChecked(beforeDialog_[i]);
}

void TOptionForm::Button_set_saveClick() {
    EnsureSettingsFolder();  // removed while the program ran: made again, as at start-up
    // Boxes that hold the start-up defaults in place of an unread file must
    // not be written over the user's settings: only the boxes changed in
    // this dialog are stored, and the autostart entry follows its box only
    // when that box was changed.
    bool startChanged = false;
    for (std::size_t i = 0; i < Settings.size(); ++i) {
        const bool checked = (this->*Settings[i].box)->Checked();
        const bool changed = checked != beforeDialog_[i];
        if (Settings[i].box == &TOptionForm::CheckBox_set_start_with_window) startChanged = changed;
        if (boxesFromFile_ || changed) SettingsIni->WriteBool(SettingsSection, Settings[i].key, checked);
    }
    Hide();
    const std::wstring refused =
        applySettings(boxesFromFile_ || startChanged ? Autostart::FollowTheBox : Autostart::LeaveAlone);
    if (!refused.empty()) ReportError(refused);
}

void TOptionForm::Button_set_cancelClick() {
    restoreBoxes();
    Hide();
}

}  // namespace settings
