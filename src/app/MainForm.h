// TMainForm: the program's one main window. It shows the CPU graph and the
// memory figures that the once-a-second tick refreshes, owns the tray icon
// and its menu, offers the cleans through the "Go!" menu, and hides into the
// tray instead of closing. It is the program's view: it shows what the
// program computes and hands every command to it.
#pragma once
#include <memory>

#include "app/Program.h"
#include "freeing/WindowCleanProgress.h"
#include "monitor/TrayPicture.h"
#include "monitor/TrayPictureRules.h"
#include "widgets/ComCtrls.h"
#include "widgets/ExtCtrls.h"
#include "widgets/Form.h"
#include "widgets/Menus.h"
#include "widgets/StdCtrls.h"
#include "widgets/TrayIcon.h"

namespace localisation {
class TLanguage;
}

namespace app {

// Sent to the main window to make it show itself (wParam 0, lParam -1).
constexpr UINT WM_SHOWMAIN = WM_USER + 100;
// The id the main window registers its one hotkey under (WM_HOTKEY's wParam).
constexpr int kHotkeyId = 1;

class TMainForm : public widgets::TTntForm, public ProgramView {
public:
    explicit TMainForm(Program& program);
    ~TMainForm() override;

    // The program's one language object, kept for the life of the process.
    localisation::TLanguage& Language() const override { return *FLanguage; }
    Program& TheProgram() const noexcept { return program_; }

    // What the program shows and does through this window.
    HWND OwnerWindow() const override { return Handle(); }
    void ShowSettingsStatus(const settings::SettingsValue& settings) override;
    void StartAutoFree() override;
    void PaceAutoFree(unsigned intervalMs) override;
    void ArmDeepClean() override;
    freeing::CleanProgress& CleanProgress() override { return *FCleanProgress; }
    void ShowCleanInTray(std::int32_t released) override;
    void ShowCleanState() override;
    bool ShowWarningInTray(const std::wstring& title, const std::wstring& text) override;
    unsigned long UseHotkey(const Hotkey& hotkey) override;

    widgets::TTntLabel* Label_cpu;
    widgets::TTntLabel* Label_cpu_usage;
    widgets::TTntLabel* Label_avail_phys;
    widgets::TTntLabel* Label_Physical;
    widgets::TTntLabel* Label_avail_pagefile;
    widgets::TTntLabel* Label_PageFile;
    widgets::TTntLabel* Label_avail_virtual;
    widgets::TTntLabel* Label_Virtual;
    widgets::TTntLabel* Label_clean_progress;
    widgets::TTntLabel* Label_free_number_before;
    widgets::TTntLabel* Label_free_number;
    widgets::TTntLabel* Label_Memory_Released;
    widgets::TTntLabel* Label_status_Smart;
    widgets::TTntLabel* Label_Status_Auto;
    widgets::TTntLabel* Label_Introduction;
    widgets::TTntButton* Button_go;
    widgets::TTntButton* Button_setting;
    widgets::TTntButton* Button_minimize;
    widgets::TTntImage* Image_cpu;
    widgets::TTntProgressBar* ProgressBar_cpu_usage;
    widgets::TTntProgressBar* ProgressBar_avail_phys;
    widgets::TTntProgressBar* ProgressBar_avail_pagefile;
    widgets::TTntProgressBar* ProgressBar_avail_virtual;
    widgets::TTntProgressBar* ProgressBar_clean_progress;
    widgets::TTntStatusBar* StatusBar_smart_auto;
    widgets::TTntImage* Image_ok_ico;
    widgets::TTntImage* Image_cancel_ico;
    widgets::TTntImage* Image_text_icon;
    widgets::TTimer* Timer_cpu;
    widgets::TTimer* Timer_free;
    widgets::TTimer* Timer_classic_free;
    widgets::TTntPopupMenu* PopupMenu_go;
    widgets::TTntMenuItem* SmartClean;
    widgets::TTntMenuItem* DeepClean;
    widgets::TTntPopupMenu* PopupMenu_min_icon;
    widgets::TTntMenuItem* Tray_SmartClean;
    widgets::TTntMenuItem* Tray_DeepClean;
    widgets::TTntMenuItem* Tray_ShowWindow;
    widgets::TTntMenuItem* Tray_Exit;
    widgets::TTextTrayIcon* TextTrayIcon;

    void FormCreate();
    void FormShow();
    void FormClose(widgets::TCloseAction& action);
    void WMShowMain();
    void Button_goClick();
    void Button_settingClick();
    void Button_minimizeClick();
    void SmartCleanClick();
    void DeepCleanClick();
    void Tray_SmartCleanClick();
    void Tray_DeepCleanClick();
    void Tray_ShowWindowClick();
    void Tray_ExitClick();
    void TextTrayIconClick();
    void TextTrayIconScaleChange();
    void Timer_cpuTimer();
    void Timer_freeTimer();
    void Timer_classic_freeTimer();
    void HotkeyPressed();
    void StatusBar_smart_autoDrawPanel(int panel, widgets::TCanvas& canvas, const RECT& rect);

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void createComponents();
    // Room for a status bar taller than designed (a large display scale):
    // the window grows by the difference and every row keeps its place.
    void makeRoomForStatusBar();
    void wireEvents();

    // Draws the tray picture at FTrayIconSize and hands it to the tray with
    // the hint; keeps what it was given, so that a change of scale can draw
    // the same figures again.
    void updateTrayIcon(const std::wstring& hint, std::int32_t percent, std::int64_t freeMb);

    Program& program_;
    std::unique_ptr<localisation::TLanguage> FLanguage;
    // The progress row and the report line of the cleans.
    std::unique_ptr<freeing::WindowCleanProgress> FCleanProgress;
    // Turns the tray picture into each tick's new icon.
    monitor::TrayIconMaker FTrayIconMaker;
    // The size the taskbar shows the icon at (asked at start and when the
    // scale may have changed), and the last figures drawn.
    int FTrayIconSize = monitor::kTrayDesignSize;
    std::wstring FTrayHint;
    std::int32_t FTrayPercent = 0;
    std::int64_t FTrayFreeMb = 0;
    // Whether the hotkey (id kHotkeyId) is registered to this window.
    bool FHotkeyRegistered = false;
};

// The main window once created (the instance guard uses it).
extern TMainForm* MainForm;

}  // namespace app
