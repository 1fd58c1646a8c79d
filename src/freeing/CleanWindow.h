// What Smart Clean and Deep Clean need of a window: the progress row, the
// report (on the window, and at the tray icon while the window is out of
// sight), the Go and Settings buttons, the two timers and the trimming pass
// that retunes one of them. The main window hands its controls over
// (FormCleanWindow); a clean from the command line with no copy running has
// no window at all and runs against WindowlessCleanWindow
// (freeing/WindowlessClean.h).
#pragma once
#include <windows.h>

#include <cstdint>

#include "freeing/FreeingRules.h"
#include "localisation/Language.h"
#include "widgets/ComCtrls.h"
#include "widgets/ExtCtrls.h"
#include "widgets/Form.h"
#include "widgets/StdCtrls.h"
#include "widgets/TrayIcon.h"

namespace freeing {

// What the cleans need of the main window.
class CleanWindow {
public:
    virtual ~CleanWindow() = default;

    // The window's height, which a run grows by the progress row and gives back.
    virtual int Height() const = 0;
    virtual void SetHeight(int height) = 0;
    // ProgressBar_clean_progress and its caption Label_clean_progress, shown
    // and hidden together.
    virtual void SetProgressRowVisible(bool visible) = 0;
    // ProgressBar_clean_progress's range and position.
    virtual int ProgressMin() const = 0;
    virtual int ProgressMax() const = 0;
    virtual int ProgressPosition() const = 0;
    virtual void SetProgressRange(int min, int max) = 0;
    virtual void SetProgressPosition(int position) = 0;
    // Button_go, disabled while a clean runs.
    virtual bool GoEnabled() const = 0;
    virtual void SetGoEnabled(bool enabled) = 0;
    // Button_setting, disabled with Go: the settings dialog's modal loop
    // would otherwise run inside the clean's pump and hold the clean.
    virtual bool SettingsEnabled() const = 0;
    virtual void SetSettingsEnabled(bool enabled) = 0;
    // The released-memory report for a gain of R whole megabytes.
    virtual void ShowMemoryReleased(std::int32_t R) = 0;
    // While the window is out of sight, the same report line as a
    // notification at the tray icon (nothing where there is no tray icon).
    virtual void ShowReportInTray(std::int32_t) {}
    // One working-set trimming pass of Smart Clean; whether it could list
    // the processes.
    virtual bool FreeWorkingSets() = 0;
    // Timer_free, switched on at the end of a Smart Clean.
    virtual void EnableFreeTimer() = 0;
    // Timer_classic_free: armed by the Deep Clean command, disarmed by its tick.
    virtual void SetDeepCleanArmed(bool armed) = 0;
};

// The main window's controls (or a test form's) as the cleans see them.
class FormCleanWindow : public CleanWindow {
public:
    FormCleanWindow(widgets::TTntForm& form, widgets::TTntProgressBar& progress,
                    widgets::TTntLabel& progressLabel, widgets::TTntButton& goButton,
                    widgets::TTntButton& settingsButton,
                    widgets::TTntLabel& numberBefore, widgets::TTntLabel& number,
                    widgets::TTntLabel& released, widgets::TTimer& freeTimer, AutoFreePacer& pacer,
                    widgets::TTimer& classicFreeTimer, const localisation::TLanguage& language,
                    widgets::TTextTrayIcon* tray = nullptr)
        : form(form), progress(progress), progressLabel(progressLabel), goButton(goButton),
          settingsButton(settingsButton),
          numberBefore(numberBefore), number(number), released(released), freeTimer(freeTimer), pacer(pacer),
          classicFreeTimer(classicFreeTimer), language(language), tray(tray) {}

    int Height() const override { return form.Height(); }
    void SetHeight(int height) override { form.SetHeight(height); }
    void SetProgressRowVisible(bool visible) override;
    int ProgressMin() const override { return progress.Min(); }
    int ProgressMax() const override { return progress.Max(); }
    int ProgressPosition() const override { return progress.Position(); }
    void SetProgressRange(int min, int max) override { progress.SetRange(min, max); }
    void SetProgressPosition(int position) override { progress.SetPosition(position); }
    bool GoEnabled() const override { return goButton.Enabled(); }
    void SetGoEnabled(bool enabled) override { goButton.SetEnabled(enabled); }
    bool SettingsEnabled() const override { return settingsButton.Enabled(); }
    void SetSettingsEnabled(bool enabled) override { settingsButton.SetEnabled(enabled); }
    // For R > 0 the number R in navy followed by "MB memory has been
    // released.", otherwise "No memory has been released." where the number
    // would start, with the number hidden.
    void ShowMemoryReleased(std::int32_t R) override;
    // Titled with the window's caption; only while the window is hidden or
    // minimised.
    void ShowReportInTray(std::int32_t R) override;
    // FreeWorkingSets paced by the processor usage; Timer_free then waits
    // the pacer's interval.
    bool FreeWorkingSets() override;
    void EnableFreeTimer() override { freeTimer.SetEnabled(true); }
    void SetDeepCleanArmed(bool armed) override { classicFreeTimer.SetEnabled(armed); }

    widgets::TTntForm& form;
    widgets::TTntProgressBar& progress;       // ProgressBar_clean_progress
    widgets::TTntLabel& progressLabel;        // Label_clean_progress
    widgets::TTntButton& goButton;            // Button_go
    widgets::TTntButton& settingsButton;      // Button_setting
    widgets::TTntLabel& numberBefore;         // Label_free_number_before
    widgets::TTntLabel& number;               // Label_free_number (auto-sizes to its text)
    widgets::TTntLabel& released;             // Label_Memory_Released
    widgets::TTimer& freeTimer;               // Timer_free
    AutoFreePacer& pacer;                     // the idle auto-free's pace
    widgets::TTimer& classicFreeTimer;        // Timer_classic_free
    const localisation::TLanguage& language;
    // Where a report goes too while the window is out of sight (none: nowhere).
    widgets::TTextTrayIcon* tray;
};

// The pause between steps of a clean (default: Sleep), replaceable by tests.
using SleepFn = void(WINAPI*)(DWORD milliseconds);

}  // namespace freeing
