#include "settings/OptionForm.h"

#include "app/MainForm.h"
#include "app/resource.h"
#include "localisation/Language.h"
#include "localisation/TranslateForm.h"
#include "settings/SettingsStore.h"
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
    o.iconId = IDI_BRIMVALE;
    return o;
}

const wchar_t* const kKeys[4] = {KeyStartWithWindows, KeyFreeWhenLeisure, KeyPauseWhenBusy, KeySmartFree};

}  // namespace

TOptionForm::TOptionForm(app::TMainForm& mainForm)
    : TTntForm(L"OptionForm", "TOptionForm", OptionFormOptions(), mainForm.Handle()),
      mainForm_(mainForm) {
    OptionForm = this;
    CheckBox_set_start_with_window = Add<TTntCheckBox>(L"CheckBox_set_start_with_window",
                                                      Bounds{16, 8, 265, 17}, L"Run at Windows Startup");
    CheckBox_set_auto_free = Add<TTntCheckBox>(L"CheckBox_set_auto_free", Bounds{16, 32, 265, 17},
                                               L"Automatically free ram while system is idle");
    CheckBox_set_pause_free = Add<TTntCheckBox>(L"CheckBox_set_pause_free", Bounds{16, 56, 297, 17},
                                                L"Do not auto free during high CPU and disk usage");
    CheckBox_use_smart_algorithm = Add<TTntCheckBox>(L"CheckBox_use_smart_algorithm", Bounds{16, 80, 265, 17},
                                                     L"Use Brimvale compression technology");
    Button_set_save = Add<TTntButton>(L"Button_set_save", Bounds{112, 112, 75, 25}, L"OK");
    Button_set_cancel = Add<TTntButton>(L"Button_set_cancel", Bounds{200, 112, 75, 25}, L"Cancel");

    FontStyle arial = Font();
    arial.name = L"Arial";
    for (TTntCheckBox* box : boxes()) box->SetFont(arial);
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

std::array<TTntCheckBox*, 4> TOptionForm::boxes() const {
    return {CheckBox_set_start_with_window, CheckBox_set_auto_free, CheckBox_set_pause_free,
            CheckBox_use_smart_algorithm};
}

void TOptionForm::loadBoxes(bool startWithWindowsDefault) {
    const bool defaults[4] = {startWithWindowsDefault, false, true, false};
    const auto all = boxes();
    for (int i = 0; i < 4; ++i)
        all[i]->SetChecked(SettingsIni ? SettingsIni->ReadBool(SettingsSection, kKeys[i], defaults[i]) : defaults[i]);
}

std::wstring TOptionForm::applySettings(bool removeAutostartWhenClear) {
    // Every step runs whatever the registry does: the status bar and
    // Timer_free show and do what the boxes say. A refused autostart entry
    // is handed back, to be reported once the steps have run.
    UpdateStatusTexts();
    std::wstring refused;
    try {
        if (CheckBox_set_start_with_window->Checked())
            RegisterAutostart();
        else if (removeAutostartWhenClear)
            UnregisterAutostart();
    } catch (const Exception& e) {
        refused = e.Message();
    }
    if (CheckBox_set_auto_free->Checked()) mainForm_.Timer_free->SetEnabled(true);
    return refused;
}

void TOptionForm::FormCreate() {
    // A refused first-run write leaves the file missing: the boxes take the
    // defaults, the rest of the sequence runs, and each error is reported
    // once at the end.
    std::wstring refusedFile;
    try {
        OpenSettingsFile();
    } catch (const Exception& e) {
        refusedFile = e.Message();
    }
    loadBoxes(false);
    const std::wstring refusedAutostart = applySettings(false);  // start-up never removes the entry
    if (!refusedFile.empty()) ReportError(refusedFile);
    if (!refusedAutostart.empty()) ReportError(refusedAutostart);
}

void TOptionForm::FormShow() { localisation::TranslateForm(mainForm_.Language(), *this); }

void TOptionForm::UpdateStatusTexts() {
    const localisation::TLanguage& language = mainForm_.Language();
    mainForm_.Label_status_Smart->SetCaption(
        CheckBox_use_smart_algorithm->Checked() ? language.Translate(L"M", L"SmartfreeOn", L"Smart free on")
                                                : language.Translate(L"M", L"SmartFreeoff", L"Smart free off"));
    mainForm_.Label_Status_Auto->SetCaption(
        CheckBox_set_auto_free->Checked() ? language.Translate(L"M", L"autofreeon", L"Auto free on")
                                          : language.Translate(L"M", L"autoFreeoff", L"Auto free off"));
    mainForm_.StatusBar_smart_auto->Repaint();
}

void TOptionForm::LoadForDialog() {
    const auto all = boxes();
    for (int i = 0; i < 4; ++i) beforeDialog_[i] = all[i]->Checked();
    loadBoxes(true);
}

void TOptionForm::restoreBoxes() {
    // A cancelled dialog must not start or stop anything: the boxes are the
    // live settings, so they go back to what they were before it opened.
    const auto all = boxes();
    for (int i = 0; i < 4; ++i) all[i]->SetChecked(beforeDialog_[i]);
}

void TOptionForm::Button_set_saveClick() {
    EnsureSettingsFolder();  // removed while the program ran: made again, as at start-up
    const auto all = boxes();
    for (int i = 0; i < 4; ++i) SettingsIni->WriteBool(SettingsSection, kKeys[i], all[i]->Checked());
    Hide();
    const std::wstring refused = applySettings(true);
    if (!refused.empty()) ReportError(refused);
}

void TOptionForm::Button_set_cancelClick() {
    restoreBoxes();
    Hide();
}

}  // namespace settings
