#include "app/MainForm.h"

#include <optional>

#include "app/MainFormIds.h"
#include "app/MainFormRules.h"
#include "app/resource.h"
#include "settings/OptionForm.h"
#include "freeing/FreeingRules.h"
#include "localisation/Language.h"
#include "localisation/TranslateForm.h"
#include "monitor/CpuGraph.h"
#include "monitor/MonitorRules.h"
#include "monitor/TickModelRules.h"
#include "monitor/TrayPicture.h"
#include "probes/MemoryEx.h"
#include "probes/CpuUsage.h"
#include "widgets/Application.h"
#include "widgets/Errors.h"
#include "platform/Trace.h"

namespace app {

using namespace widgets;

TMainForm* MainForm = nullptr;

static_assert(IDI_BRIMVALE == widgets::kProgramIconId, "the program's icon is the resource script's first");

namespace {

constexpr int kDesignClientWidth = 482;
constexpr int kDesignClientHeight = 363;
constexpr int kRunTimeShrink = 20;  // the progress row is covered outside a clean
constexpr int kDesignStatusBarHeight = 22;

const wchar_t kIntroduction[] =
    L"Palvo Brimvale monitors your system in the background and frees up memory whenever needed "
    L"to increase the performance of your computer. Brimvale makes sure that this automatic "
    L"optimization in the background does not interfere with your work by only optimizing your "
    L"system when your processor usage is low.";

FormOptions MainFormOptions() {
    FormOptions o;
    o.caption = L"Brimvale";
    o.clientWidth = kDesignClientWidth;
    o.clientHeight = kDesignClientHeight;
    // It runs twenty pixels shorter than designed (a clean uncovers the
    // progress row): made at that height, centred at it, with the bottom
    // row moved up, as shrinking it afterwards would leave it.
    o.shownClientHeight = kDesignClientHeight - kRunTimeShrink;
    o.minimizeBox = true;
    o.appWindow = true;
    o.iconId = IDI_BRIMVALE;
    return o;
}

// The user's decimal separator, read on every tick so that a change in the
// regional settings shows at the next one; empty when it cannot be read (the
// figures then use ".").
std::wstring UserDecimalSeparator() {
    wchar_t separator[8] = {};
    if (::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8) == 0) return std::wstring();
    return separator;
}

monitor::TickReadings plainSeparator(monitor::TickReadings readings) {
    readings.decimalSeparator.clear();
    return readings;
}

platform::UniqueIcon LoadSmallIcon(int id) {
    return platform::UniqueIcon(static_cast<HICON>(
        ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, 16, 16, 0)));
}

}  // namespace

TMainForm::TMainForm(Program& program)
    : TTntForm(L"MainForm", "TMainForm", MainFormOptions()), program_(program) {
    MainForm = this;
    // The language object comes before any timer, tray icon or event exists:
    // making it may show the standard error report (a broken "AppData"
    // value), and that box's modal loop delivers ticks, tray clicks and
    // shows, whose handlers all use it.
    FLanguage = std::make_unique<localisation::TLanguage>();
    FTrayIconSize = monitor::TrayPictureSize(monitor::TrayIconSizeQuery());
    platform::Trace(L"tray icon drawn at " + std::to_wstring(FTrayIconSize) + L" pixels");
    createComponents();
    makeRoomForStatusBar();
    FCleanProgress = std::make_unique<freeing::WindowCleanProgress>(
        freeing::CleanControls{*this, *ProgressBar_clean_progress, *Label_clean_progress, *Button_go,
                               *Button_setting, *Label_free_number_before, *Label_free_number,
                               *Label_Memory_Released},
        *FLanguage);
    wireEvents();
    program_.SetView(this);
    Dispatch([this] { FormCreate(); });
}

TMainForm::~TMainForm() {
    (void)UseHotkey(Hotkey{});  // unregistered while the window still exists
    if (program_.View() == this) program_.SetView(nullptr);
    if (MainForm == this) MainForm = nullptr;
}

void TMainForm::createComponents() {
    // Creation order is the order of translation. Labels that are not
    // auto-sized keep their design width; the figures are right-aligned and
    // stay in front of the bars they may reach over.
    CreateControls({
        Row(Label_cpu, {.name = L"Label_cpu", .id = idLabel_cpu, .bounds = {16, 176, 97, 13},
                        .caption = L"CPU Usage:", .autoSize = false}),
        Row(Label_cpu_usage, {.name = L"Label_cpu_usage", .id = idLabel_cpu_usage, .bounds = {425, 176, 40, 13},
                              .caption = L"15%", .alignment = TAlignment::Right, .inFront = true}),
        Row(Label_avail_phys, {.name = L"Label_avail_phys", .id = idLabel_avail_phys, .bounds = {387, 200, 80, 13},
                               .caption = L"594 of 981MB", .alignment = TAlignment::Right, .inFront = true}),
        Row(Label_Physical, {.name = L"Label_Physical", .id = idLabel_Physical, .bounds = {16, 200, 97, 13},
                             .caption = L"Free Physical:", .autoSize = false}),
        Row(Label_avail_pagefile,
            {.name = L"Label_avail_pagefile", .id = idLabel_avail_pagefile, .bounds = {387, 224, 80, 13},
             .caption = L"594 of 981MB", .alignment = TAlignment::Right, .inFront = true}),
        Row(Label_PageFile, {.name = L"Label_PageFile", .id = idLabel_PageFile, .bounds = {16, 224, 97, 13},
                             .caption = L"Free PageFile:", .autoSize = false}),
        Row(Label_avail_virtual,
            {.name = L"Label_avail_virtual", .id = idLabel_avail_virtual, .bounds = {387, 248, 80, 13},
             .caption = L"594 of 981MB", .alignment = TAlignment::Right, .inFront = true}),
        Row(Label_Virtual, {.name = L"Label_Virtual", .id = idLabel_Virtual, .bounds = {16, 248, 97, 13},
                            .caption = L"Free Virtual:", .autoSize = false}),
        Row(Label_clean_progress,
            {.name = L"Label_clean_progress", .id = idLabel_clean_progress, .bounds = {16, 272, 97, 13},
             .caption = L"Clean Progress:", .visible = false, .autoSize = false}),
        Row(Label_free_number_before,
            {.name = L"Label_free_number_before", .id = idLabel_free_number_before, .bounds = {24, 324, 3, 13},
             .visible = false, .autoSize = false, .anchorBottom = true}),
        Row(Label_free_number, {.name = L"Label_free_number", .id = idLabel_free_number, .bounds = {27, 324, 8, 13},
                                .caption = L"0", .visible = false, .anchorBottom = true}),
        Row(Label_Memory_Released,
            {.name = L"Label_Memory_Released", .id = idLabel_Memory_Released, .bounds = {40, 324, 425, 13},
             .caption = L"MB memory has been released.", .visible = false, .autoSize = false, .anchorBottom = true}),
        Row(Label_Introduction, {.name = L"Label_Introduction", .id = idLabel_Introduction, .bounds = {16, 8, 449, 57},
                                 .caption = kIntroduction, .autoSize = false, .wordWrap = true}),
        Row(Button_go, {.name = L"Button_go", .id = idButton_go, .bounds = {16, 294, 105, 25}, .caption = L"Go!",
                        .anchorBottom = true}),
        Row(Button_setting, {.name = L"Button_setting", .id = idButton_setting, .bounds = {200, 294, 105, 25},
                             .caption = L"Settings", .anchorBottom = true}),
        Row(Button_minimize, {.name = L"Button_minimize", .id = idButton_minimize, .bounds = {360, 294, 107, 25},
                              .caption = L"Minimize", .anchorBottom = true}),
        Row(Image_cpu, {.name = L"Image_cpu", .id = idImage_cpu, .bounds = {16, 72, 449, 89}}),
        Row(ProgressBar_cpu_usage,
            {.name = L"ProgressBar_cpu_usage", .id = idProgressBar_cpu_usage, .bounds = {128, 176, 249, 17}}),
        Row(ProgressBar_avail_phys,
            {.name = L"ProgressBar_avail_phys", .id = idProgressBar_avail_phys, .bounds = {128, 200, 249, 17}}),
        Row(ProgressBar_avail_pagefile,
            {.name = L"ProgressBar_avail_pagefile", .id = idProgressBar_avail_pagefile, .bounds = {128, 224, 249, 17}}),
        Row(ProgressBar_avail_virtual,
            {.name = L"ProgressBar_avail_virtual", .id = idProgressBar_avail_virtual, .bounds = {128, 248, 249, 17}}),
        Row(ProgressBar_clean_progress, {.name = L"ProgressBar_clean_progress", .id = idProgressBar_clean_progress,
                                         .bounds = {128, 272, 337, 17}, .visible = false}),
        Row(StatusBar_smart_auto, {.name = L"StatusBar_smart_auto", .id = idStatusBar_smart_auto,
                                   .bounds = {0, 0, 0, kDesignStatusBarHeight}, .panelWidths = {244, 50}}),
        // In the status bar's panels, beside their pictures.
        Row(Label_status_Smart, {.name = L"Label_status_Smart", .id = idLabel_status_Smart, .bounds = {25, 5, 200, 13},
                                 .caption = L"SmartFree", .autoSize = false, .parent = L"StatusBar_smart_auto"}),
        Row(Label_Status_Auto, {.name = L"Label_Status_Auto", .id = idLabel_Status_Auto, .bounds = {269, 5, 200, 13},
                                .caption = L"AutoFree", .autoSize = false, .parent = L"StatusBar_smart_auto"}),
        Row(Image_ok_ico, {.name = L"Image_ok_ico", .id = idImage_ok_ico, .bounds = {0, 0, 17, 17}, .visible = false}),
        Row(Image_cancel_ico,
            {.name = L"Image_cancel_ico", .id = idImage_cancel_ico, .bounds = {0, 0, 17, 17}, .visible = false}),
        Row(Image_text_icon, {.name = L"Image_text_icon", .id = idImage_text_icon, .bounds = {0, 0, 32, 32},
                              .visible = false, .className = "TImage"}),
    });
    Timer_cpu = Add<TTimer>(TimerArgs{.name = L"Timer_cpu", .interval = 1000, .enabled = true});
    Timer_free = Add<TTimer>(TimerArgs{.name = L"Timer_free", .interval = static_cast<unsigned>(program_.Pacer().Interval()),
                                       .enabled = false});
    Timer_classic_free = Add<TTimer>(TimerArgs{.name = L"Timer_classic_free", .interval = 100, .enabled = false});
    PopupMenu_go = AddItem<TTntPopupMenu>(L"PopupMenu_go");
    SmartClean = AddItem<TTntMenuItem>(L"SmartClean", L"Smart Clean");
    DeepClean = AddItem<TTntMenuItem>(L"DeepClean", L"Deep Clean");
    PopupMenu_min_icon = AddItem<TTntPopupMenu>(L"PopupMenu_min_icon");
    Tray_SmartClean = AddItem<TTntMenuItem>(L"Tray_SmartClean", L"Smart Clean");
    Tray_DeepClean = AddItem<TTntMenuItem>(L"Tray_DeepClean", L"Deep Clean");
    Tray_ShowWindow = AddItem<TTntMenuItem>(L"Tray_ShowWindow", L"Show window");
    Tray_Exit = AddItem<TTntMenuItem>(L"Tray_Exit", L"Exit");
    // The first tick, which runs before the window shows, puts the icon in
    // the tray with its picture and hint.
    TextTrayIcon = Add<TTextTrayIcon>(L"TextTrayIcon", TrayIconStart::AtFirstUpdate);

    FontStyle arial = Font();
    arial.name = kIntroductionFontName;
    arial.height = kIntroductionFontHeight;
    Label_Introduction->SetFont(arial);
    FontStyle goFont = arial;
    goFont.height = -12;  // 9 pt
    goFont.bold = true;
    goFont.color = clNavy;
    Button_go->SetFont(goFont);
    Button_go->SetOwnerDrawn(true);  // a themed button draws no coloured caption
    FontStyle numberFont = Font();
    numberFont.bold = true;
    numberFont.color = clRed;
    Label_free_number->SetFont(numberFont);

    Image_cpu->Picture();  // the graph's surface exists from the start
    Image_ok_ico->SetIcon(LoadSmallIcon(IDI_OK));
    Image_cancel_ico->SetIcon(LoadSmallIcon(IDI_CANCEL));

    PopupMenu_go->Add(SmartClean);
    PopupMenu_go->Add(DeepClean);
    for (TTntMenuItem* item : {Tray_SmartClean, Tray_DeepClean, Tray_ShowWindow, Tray_Exit})
        PopupMenu_min_icon->Add(item);
    TextTrayIcon->SetPopupMenu(PopupMenu_min_icon);
}

void TMainForm::makeRoomForStatusBar() {
    // The bar takes its height from the system's font (38 pixels at 192 DPI).
    RECT bar{};
    ::GetWindowRect(StatusBar_smart_auto->Handle(), &bar);
    const int extra = (bar.bottom - bar.top) - kDesignStatusBarHeight;
    if (extra > 0) GrowBelowBottomRows(extra);
}

void TMainForm::wireEvents() {
    OnShow = [this] { FormShow(); };
    OnClose = [this](TCloseAction& action) { FormClose(action); };
    // Each event and the handler it runs.
    const std::pair<TNotifyEvent*, void (TMainForm::*)()> handlers[] = {
        {&Button_go->OnClick, &TMainForm::Button_goClick},
        {&Button_setting->OnClick, &TMainForm::Button_settingClick},
        {&Button_minimize->OnClick, &TMainForm::Button_minimizeClick},
        {&SmartClean->OnClick, &TMainForm::SmartCleanClick},
        {&DeepClean->OnClick, &TMainForm::DeepCleanClick},
        {&Tray_SmartClean->OnClick, &TMainForm::Tray_SmartCleanClick},
        {&Tray_DeepClean->OnClick, &TMainForm::Tray_DeepCleanClick},
        {&Tray_ShowWindow->OnClick, &TMainForm::Tray_ShowWindowClick},
        {&Tray_Exit->OnClick, &TMainForm::Tray_ExitClick},
        {&TextTrayIcon->OnClick, &TMainForm::TextTrayIconClick},
        {&TextTrayIcon->OnScaleChange, &TMainForm::TextTrayIconScaleChange},
        {&Timer_cpu->OnTimer, &TMainForm::Timer_cpuTimer},
        {&Timer_free->OnTimer, &TMainForm::Timer_freeTimer},
        {&Timer_classic_free->OnTimer, &TMainForm::Timer_classic_freeTimer},
    };
    for (const auto& [event, handler] : handlers) *event = [this, handler = handler] { (this->*handler)(); };
    StatusBar_smart_auto->OnDrawPanel = [this](int panel, TCanvas& canvas, const RECT& rect) {
        StatusBar_smart_autoDrawPanel(panel, canvas, rect);
    };
}

void TMainForm::FormCreate() {
    // Already at its run-time height (twenty pixels shorter than designed)
    // and centred at it: see MainFormOptions.
    std::vector<std::wstring> params;
    for (int i = 1; i <= Application.ParamCount(); ++i) params.push_back(Application.ParamStr(i));
    if (StartsInTray(params)) Application.SetShowMainFormOnRun(false);
    program_.Monitor() = monitor::MonitorState{};
    Timer_cpuTimer();
    Image_cpu->SetHint(FLanguage->Translate(L"M", L"CpuUsageHint", L"Cpu Usage"));
}

void TMainForm::FormShow() { localisation::TranslateForm(*FLanguage, *this); }

void TMainForm::FormClose(TCloseAction& action) {
    action = TCloseAction::None;
    TextTrayIcon->HideMainForm();
}

void TMainForm::WMShowMain() { Show(); }

void TMainForm::Button_goClick() {
    // Also when another program clicks the disabled button: no clean from
    // inside a clean's pump this way.
    if (program_.CleanRunning()) return;
    const ScreenPoint p = GoMenuPoint(Left(), Top(), Button_go->Left(), Button_go->Top(), Button_go->Height());
    PopupMenu_go->Popup(Handle(), p.x, p.y);
}

void TMainForm::Button_settingClick() {
    // The dialog's modal loop inside a clean's pump would hold the clean (and
    // Deep Clean's memory) until it closed, whoever clicked the button.
    if (program_.CleanRunning()) return;
    settings::TOptionForm* dialog = settings::OptionForm;
    if (!dialog) return;
    dialog->LoadForDialog();
    dialog->ShowModal();
}
void TMainForm::Button_minimizeClick() { TextTrayIcon->HideMainForm(); }
void TMainForm::SmartCleanClick() { program_.RequestClean(freeing::CleanKind::Smart, CleanOrigin::User); }
void TMainForm::DeepCleanClick() { program_.RequestClean(freeing::CleanKind::Deep, CleanOrigin::User); }
void TMainForm::Tray_SmartCleanClick() { SmartCleanClick(); }
void TMainForm::Tray_DeepCleanClick() { DeepCleanClick(); }
void TMainForm::Tray_ShowWindowClick() { TextTrayIcon->ShowMainForm(); }
void TMainForm::Tray_ExitClick() { Application.Terminate(); }
void TMainForm::TextTrayIconClick() { TextTrayIcon->ShowMainForm(); }

void TMainForm::TextTrayIconScaleChange() {
    const int size = monitor::TrayPictureSize(monitor::TrayIconSizeQuery());
    if (size == FTrayIconSize) return;
    FTrayIconSize = size;
    platform::Trace(L"tray icon drawn at " + std::to_wstring(size) + L" pixels (the display scale changed)");
    updateTrayIcon(FTrayHint, FTrayPercent, FTrayFreeMb);
}
void TMainForm::Timer_freeTimer() { program_.AutoFreeTick(); }

void TMainForm::ShowSettingsStatus(const settings::SettingsValue& settings) {
    const localisation::TLanguage& language = *FLanguage;
    Label_status_Smart->SetCaption(settings.smartFree
                                       ? language.Translate(L"M", L"SmartfreeOn", L"Smart free on")
                                       : language.Translate(L"M", L"SmartFreeoff", L"Smart free off"));
    Label_Status_Auto->SetCaption(settings.autoFree ? language.Translate(L"M", L"autofreeon", L"Auto free on")
                                                    : language.Translate(L"M", L"autoFreeoff", L"Auto free off"));
    StatusBar_smart_auto->Repaint();  // the pictures follow the settings in use
}

void TMainForm::StartAutoFree() { Timer_free->SetEnabled(true); }
void TMainForm::PaceAutoFree(unsigned intervalMs) { Timer_free->SetInterval(intervalMs); }
void TMainForm::ArmDeepClean() { Timer_classic_free->SetEnabled(true); }

void TMainForm::ShowCleanInTray(std::int32_t released) {
    if (!freeing::ReportInTray(Visible(), Iconic())) return;
    const std::wstring title = FLanguage->Translate(Name(), L"Caption", Caption());
    // A tray that refuses the balloon (a busy shell) leaves the report on the window alone.
    (void)TextTrayIcon->ShowBalloon(title, FCleanProgress->ReportLineShown(released));
}

void TMainForm::ShowCleanState() { updateTrayIcon(FTrayHint, FTrayPercent, FTrayFreeMb); }

bool TMainForm::ShowWarningInTray(const std::wstring& title, const std::wstring& text) {
    return TextTrayIcon->ShowBalloon(title, text, BalloonIcon::Warning);
}

unsigned long TMainForm::UseHotkey(const Hotkey& hotkey) {
    if (FHotkeyRegistered) (void)::UnregisterHotKey(Handle(), kHotkeyId);  // fails only when not registered
    FHotkeyRegistered = false;
    if (hotkey.key == 0) return 0;
    int major = 0, minor = 0;
    ReadWindowsVersion(major, minor);
    if (!::RegisterHotKey(Handle(), kHotkeyId, RegisterHotkeyModifiers(hotkey, major, minor), hotkey.key))
        return ::GetLastError();
    FHotkeyRegistered = true;
    platform::Trace(L"hotkey " + HotkeyText(hotkey) + L" registered");
    return 0;
}

// The hotkey runs a Smart Clean exactly as the tray menu's item does.
void TMainForm::HotkeyPressed() { Tray_SmartCleanClick(); }

void TMainForm::Timer_classic_freeTimer() {
    // Disarmed first: the run's pumps must not deliver another tick of it.
    Timer_classic_free->SetEnabled(false);
    (void)program_.RunArmedDeepClean();
}

void TMainForm::Timer_cpuTimer() {
    TBitmap& graph = Image_cpu->Picture();
    monitor::DrawGraphGrid(graph.Canvas(), graph.Width(), graph.Height(), program_.Monitor().gridPhase);
    monitor::TickReadings readings;
    readings.cpuSample = probes::GetCpuUsage();
    probes::TMemory memory;
    memory.Refresh();
    readings.physical = {memory.PhysicalFree, memory.PhysicalTotal};
    readings.pageFile = {memory.PageFileFree, memory.PageFileTotal};
    readings.addressSpace = {memory.VirtualFree, memory.VirtualTotal};
    readings.decimalSeparator = UserDecimalSeparator();
    // One check of the language file for the tooltip's three texts.
    const localisation::TLanguage::Batch oneLook(*FLanguage);
    const monitor::TickTexts texts{FLanguage->Translate(L"MainForm", L"Caption", L"Brimvale"),
                                   FLanguage->Translate(L"M", L"RamFree", L"RAM free"),
                                   FLanguage->Translate(L"M", L"CpuFree", L"CPU free")};
    const monitor::TickView view = program_.Tick(readings, texts);

    Label_cpu_usage->SetCaption(view.cpuCaption);
    ProgressBar_cpu_usage->SetPosition(view.cpuBarPosition);
    monitor::DrawGraphTrace(graph.Canvas(), graph.Height(), program_.Monitor().cpuHistory);
    Image_cpu->Invalidate();
    const std::pair<TTntLabel*, TTntProgressBar*> shownBy[] = {
        {Label_avail_phys, ProgressBar_avail_phys},
        {Label_avail_pagefile, ProgressBar_avail_pagefile},
        {Label_avail_virtual, ProgressBar_avail_virtual},
    };
    const monitor::FigureRow* rows[] = {&view.physical, &view.pageFile, &view.addressSpace};
    std::optional<monitor::TickView> plain;  // with ".": a separator too wide for the room
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        TTntLabel& label = *shownBy[i].first;
        TTntProgressBar& bar = *shownBy[i].second;
        label.SetCaption(rows[i]->caption);
        if (label.Left() < bar.Left() + bar.Width() && !readings.decimalSeparator.empty()) {
            if (!plain) plain = monitor::ComputeTick(plainSeparator(program_.Monitor().last), program_.Monitor().cpuHistory, texts);
            const monitor::FigureRow* plainRows[] = {&plain->physical, &plain->pageFile, &plain->addressSpace};
            label.SetCaption(plainRows[i]->caption);
        }
        bar.SetPosition(rows[i]->barPosition);
    }
    updateTrayIcon(view.hint, view.trayPercent, view.trayFreeMb);
}

void TMainForm::updateTrayIcon(const std::wstring& hint, std::int32_t percent, std::int64_t freeMb) {
    FTrayHint = hint;
    FTrayPercent = percent;
    FTrayFreeMb = freeMb;
    // Drawn at the size the taskbar shows it: the taskbar resamples nothing.
    TBitmap& picture = Image_text_icon->Picture();
    if (picture.Width() != FTrayIconSize || picture.Height() != FTrayIconSize)
        picture.SetSize(FTrayIconSize, FTrayIconSize);
    // While a clean runs, the bar shows how far it has come and the tooltip
    // says so.
    const int clean = program_.CleanPercent();
    monitor::DrawTrayImage(picture, percent, freeMb, clean < 0 ? monitor::kTrayNoClean : clean);
    const std::wstring shownHint =
        clean < 0 ? hint
                  : monitor::CleaningHint(hint, FLanguage->Translate(L"M", L"Cleaning", L"Cleaning memory\u2026"));
    // Hint and picture reach the tray in one call; the old icon is destroyed
    // only once the tray holds the new one.
    TextTrayIcon->Update(shownHint, FTrayIconMaker.Make(picture, FTrayIconSize, FTrayIconSize));
}

void TMainForm::StatusBar_smart_autoDrawPanel(int panel, TCanvas& canvas, const RECT&) {
    const bool smart = program_.Settings().smartFree;
    const bool autoFree = program_.Settings().autoFree;
    const int firstWidth = StatusBar_smart_auto->PanelWidths()[0];
    canvas.SetBrushColor(::GetSysColor(COLOR_BTNFACE));
    if (panel == 0) {
        ::DrawIconEx(canvas.Handle(), 2, 4, (smart ? Image_ok_ico : Image_cancel_ico)->Icon(), 16, 16, 0,
                     nullptr, DI_NORMAL);
        canvas.TextOut(25, 5, std::wstring(24, L' '));
    } else if (panel == 1) {
        ::DrawIconEx(canvas.Handle(), firstWidth + 4, 4, (autoFree ? Image_ok_ico : Image_cancel_ico)->Icon(),
                     16, 16, 0, nullptr, DI_NORMAL);
        canvas.TextOut(firstWidth + 25, 5, std::wstring(30, L' '));
    }
}

LRESULT TMainForm::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_SHOWMAIN) {
        Dispatch([this] { WMShowMain(); });
        return 0;
    }
    if (msg == WM_HOTKEY && wParam == kHotkeyId) {
        Dispatch([this] { HotkeyPressed(); });
        return 0;
    }
    if (msg == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_MINIMIZE) {
        // Minimising hides the window into the tray.
        TextTrayIcon->HideMainForm();
        return 0;
    }
    return TTntForm::HandleMessage(msg, wParam, lParam);
}

}  // namespace app
