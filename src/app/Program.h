// The program: the one object that owns its state — the settings in use,
// the monitor's history and readings, the idle auto-free's pace and the
// cleans — and that every view calls. The main window shows it and hands
// the user's commands to it; the settings dialog reads and changes its
// settings; the instance guard hands it the requests of other starts. Views
// never meet through each other's controls.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/FileOnlySettings.h"
#include "freeing/CleanProgress.h"
#include "freeing/FreeingRules.h"
#include "monitor/TickModelRules.h"
#include "settings/SettingsHost.h"
#include "settings/SettingsTable.h"

namespace app {

// Who asked for a clean: the user in this program (its window, tray menu or
// hotkey), or another start of it (the command line, a schedule).
enum class CleanOrigin { User, OtherStart };

// What the program needs of its main window.
class ProgramView {
public:
    virtual HWND OwnerWindow() const = 0;
    virtual localisation::TLanguage& Language() const = 0;
    // The status bar's texts and pictures, for the settings in use.
    virtual void ShowSettingsStatus(const settings::SettingsValue& settings) = 0;
    // The idle auto-free's timer (Timer_free): switched on, and its interval.
    virtual void StartAutoFree() = 0;
    virtual void PaceAutoFree(unsigned intervalMs) = 0;
    // The Deep Clean timer (Timer_classic_free): a Deep Clean runs at its
    // first tick, once the command that chose it has returned.
    virtual void ArmDeepClean() = 0;
    // Where a clean shows its progress and its report.
    virtual freeing::CleanProgress& CleanProgress() = 0;
    // A clean's report as a notification at the tray icon, when the window
    // is out of sight.
    virtual void ShowCleanInTray(std::int32_t released) = 0;
    // A clean began, moved on by a tenth or more, or ended (CleanPercent).
    virtual void ShowCleanState() = 0;
    // The low-memory warning as a notification at the tray icon, with the
    // warning icon, whether the window shows or not. False when the tray
    // did not take it (no icon there yet, a busy shell).
    virtual bool ShowWarningInTray(const std::wstring& title, const std::wstring& text) = 0;
    // Makes `hotkey` the program's one hotkey in place of the one it had
    // (key 0: none). 0, or the system's error code when it is refused.
    virtual unsigned long UseHotkey(const Hotkey& hotkey) = 0;

protected:
    ~ProgramView() = default;
};

class Program : public settings::TSettingsHost {
public:
    Program() = default;
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // The main window, once made (null before and after).
    void SetView(ProgramView* view) noexcept { view_ = view; }
    ProgramView* View() const noexcept { return view_; }

    // ---- Settings (what the settings dialog sees) ----
    HWND OwnerWindow() const override;
    localisation::TLanguage& Language() const override;
    const settings::SettingsValue& Settings() const override { return settings_; }
    void SetLiveSettings(const settings::SettingsValue& value) override;
    std::vector<std::wstring> StartSettings() override;
    std::wstring ReloadSettings() override;
    std::wstring SaveSettings(const settings::SettingsValue& value, const settings::SettingsValue& before) override;

    // ---- Monitor ----
    monitor::MonitorState& Monitor() noexcept { return monitor_; }
    const monitor::MonitorState& Monitor() const noexcept { return monitor_; }
    // One tick's figures: the readings are kept, the processor sample joins
    // the history, and what the window and the tray show is computed.
    monitor::TickView Tick(const monitor::TickReadings& readings, const monitor::TickTexts& texts);

    // ---- Idle auto-free ----
    freeing::AutoFreePacer& Pacer() noexcept { return pacer_; }
    const freeing::AutoFreePacer& Pacer() const noexcept { return pacer_; }
    // A tick of the idle auto-free's timer: one trimming pass while the
    // setting is on (otherwise nothing, not even the interval changes), and
    // the timer then waits the pacer's interval.
    void AutoFreeTick();

    // ---- Cleans ----
    // A clean asked for: Smart Clean runs at once; Deep Clean is armed and
    // runs from the Deep Clean timer's tick (choosing it again while armed
    // still gives one run).
    void RequestClean(freeing::CleanKind kind, CleanOrigin origin);
    // The armed Deep Clean's turn (the Deep Clean timer's tick).
    freeing::CleanOutcome RunArmedDeepClean();
    // Runs one clean to its end, shown by the view's progress. The tray
    // notification goes only to cleans the user asked for in this program.
    freeing::CleanOutcome Clean(freeing::CleanKind kind, CleanOrigin origin);
    // Whether a clean is under way (cleans nest inside each other's pumps).
    bool CleanRunning() const noexcept { return cleansUnderWay_ > 0; }
    // How far the clean under way has come, 0 to 100; -1 while none runs.
    int CleanPercent() const noexcept { return cleanPercent_; }

    // ---- Settings only the file holds ----
    const FileOnlySettings& FileOnly() const noexcept { return fileOnly_; }
    // ---- The low-memory warning ----
    const monitor::CommitWatch& CommitWatch() const noexcept { return commitWatch_; }

private:
    class RunProgress;
    // Status texts, autostart entry and auto-free timer, for the settings in
    // use; returns the report of a refused autostart entry.
    enum class Autostart { RegisterWhenTicked, FollowTheSetting, LeaveAlone };
    std::wstring applySettings(Autostart autostart);
    bool trimPass();

    // Around every clean: Deep Cleans under way are counted, and the end of
    // one starts the commit watch's quiet time; a Smart Clean's end traces
    // the processes it passed over.
    void cleanBegins(freeing::CleanKind kind);
    void cleanEnds(freeing::CleanKind kind);
    // Reads the settings only the file holds and acts on them: the warning's
    // threshold, and the hotkey when its text changed. Returns the texts to
    // report (a hotkey that cannot be read or registered), each once.
    std::vector<std::wstring> takeFileOnlySettings();
    std::wstring useHotkey();
    // The idle auto-free waits while a full-screen program is in front.
    bool idleFreeHeldBack() const;
    // The commit watch's tick: the tooltip's first line while the charge is
    // high, and the warning when it is due (before any report held back).
    void watchCommit(const monitor::TickReadings& readings, monitor::TickView& view);
    bool showCommitWarning(const monitor::TickReadings& readings);
    // A clean's report for the tray, held back to the next tick when the
    // warning was shown in this one.
    void reportInTray(std::int32_t released);

    ProgramView* view_ = nullptr;
    settings::SettingsValue settings_;
    // False while the settings in use are the start-up defaults in place of
    // a file that could not be read: OK then stores only what was changed.
    bool settingsFromFile_ = true;
    monitor::MonitorState monitor_;
    freeing::AutoFreePacer pacer_;
    int cleansUnderWay_ = 0;
    int cleanPercent_ = -1;
    void setCleanPercent(int percent);
    bool deepCleanArmed_ = false;
    CleanOrigin armedOrigin_ = CleanOrigin::OtherStart;

    FileOnlySettings fileOnly_;
    bool fileOnlyRead_ = false;  // the hotkey is applied at the first reading whatever it is
    monitor::CommitWatch commitWatch_;
    // A warning the tray has not taken yet (the first tick comes before the
    // icon is there): tried again at every tick while the charge is high.
    bool warningDue_ = false;
    int deepCleansUnderWay_ = 0;
    int passedOver_ = 0;  // by the last trimming pass of a Smart Clean
    // The balloons of one tick: a warning and a clean's report never
    // replace each other; the report follows at the next tick.
    bool warningThisTick_ = false;
    std::optional<std::int32_t> reportThisTick_;
    std::optional<std::int32_t> reportHeldBack_;
};

}  // namespace app
