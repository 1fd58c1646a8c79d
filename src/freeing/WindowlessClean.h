// A clean with no window at all: what a start with "/smartclean" or
// "/deepclean" runs when no copy of the program is running (a scheduled
// clean, say). No window, no tray icon, no settings, no language file: the
// clean runs, its figures go to the support trace, and the exit code says
// whether it could run.
#pragma once
#include "freeing/CleanWindow.h"
#include "platform/CommandLineRules.h"

namespace freeing {

// The cleans' window when there is none. The progress row, Go and the height
// are plain values (a run saves and restores them as on a window); the report
// shows nowhere; there are no timers to arm or retune; and each trimming
// pass walks the processes without the processor-usage pacing, which needs
// the monitor's history (nobody samples the processor here).
class WindowlessCleanWindow : public CleanWindow {
public:
    int Height() const override { return height_; }
    void SetHeight(int height) override { height_ = height; }
    void SetProgressRowVisible(bool) override {}
    int ProgressMin() const override { return min_; }
    int ProgressMax() const override { return max_; }
    int ProgressPosition() const override { return position_; }
    void SetProgressRange(int min, int max) override {
        min_ = min;
        max_ = max;
    }
    void SetProgressPosition(int position) override { position_ = position; }
    bool GoEnabled() const override { return goEnabled_; }
    void SetGoEnabled(bool enabled) override { goEnabled_ = enabled; }
    bool SettingsEnabled() const override { return settingsEnabled_; }
    void SetSettingsEnabled(bool enabled) override { settingsEnabled_ = enabled; }
    void ShowMemoryReleased(std::int32_t) override {}
    bool FreeWorkingSets() override;
    void EnableFreeTimer() override {}
    void SetDeepCleanArmed(bool) override {}

private:
    int height_ = 0;
    int min_ = 0, max_ = 100, position_ = 0;
    bool goEnabled_ = true;
    bool settingsEnabled_ = true;
};

// Runs the clean the switch names to its end against a WindowlessCleanWindow
// and returns the process's exit code (CleanExitCode): 0 when it ran, 1 when
// it could not, or when anything raised an error (which nobody could be
// shown). Deep Clean runs at once rather than from a timer's tick, with its
// pauses and its address-space reserve. None gives 1. The trace gets the
// clean's figures and the exit code.
int CleanWithoutWindow(platform::CleanSwitch clean);

}  // namespace freeing
