// Steps the two cleans share: the memory reading and the progress row that
// is uncovered for the length of one run.
#pragma once
#include <cstdint>

#include "freeing/CleanWindow.h"

namespace freeing {

// Physical memory in bytes from a fresh TMemory (constructed, refreshed once,
// read, let go): 64-bit figures, not clamped at 2 or 4 GB.
struct PhysicalReading {
    std::int64_t total = 0;
    std::int64_t free = 0;
};
PhysicalReading ReadPhysicalMemory();

// One run's hold on the window. Runs nest: a tray command handled in one
// run's pump starts another run inside it. Only the outermost run grows the
// window by 20 pixels (uncovering the progress row), shows the row and, at
// its end, hides it, gives the height back and enables Go and Settings. An
// inner run leaves all that to the outer one: it may move the bar while it
// works, and when it ends it puts the bar's range and position and the two
// buttons' states back as it found them. Build it before the run's first
// pump, so that a run started in that pump sees this one as its outer run.
// (A run started there, before the outer one has shown its row, shows and
// hides a row of its own.)
//
// Settings stays disabled with Go: the settings dialog's modal loop would
// otherwise run inside the clean's pump and hold the clean (and, in a Deep
// Clean, everything it has taken) for as long as the dialog stays open.
class CleanRun {
public:
    explicit CleanRun(CleanWindow& w);
    ~CleanRun();
    CleanRun(const CleanRun&) = delete;
    CleanRun& operator=(const CleanRun&) = delete;

    // When no run shows the row yet: the window grows and the row shows.
    void ShowProgressRow();
    // Disables Go and Settings for the length of the run.
    void DisableButtons();
    // The end of a run, with one pump: the outermost run sets the progress
    // back to 0, hides the row, restores the height (exactly the height it
    // found, even if the system limited the growth) and enables Go and
    // Settings; an inner run restores what it found. A run left without it
    // (an exception, or the program ending) puts the window back in the same
    // way as it goes, without the pump.
    void Finish();
    bool Outermost() const noexcept { return outermost_; }

private:
    void restore();
    CleanWindow& w_;
    bool outermost_;
    int height_ = 0;  // the height found by ShowProgressRow
    int min_, max_, position_;
    bool goEnabled_;
    bool settingsEnabled_;
    bool finished_ = false;
};

}  // namespace freeing
