#include "freeing/CleanRun.h"

#include "probes/MemoryEx.h"
#include "widgets/Application.h"

namespace freeing {

namespace {
// The progress row sits below the window's normal bottom edge.
constexpr int kProgressRowHeight = 20;
}  // namespace

PhysicalReading ReadPhysicalMemory() {
    probes::TMemory memory;
    memory.Refresh();
    return {memory.PhysicalTotal, memory.PhysicalFree};
}

namespace {
// How many runs are under way on the GUI thread (inside each other's pumps),
// and the one that grew the window and shows the row.
int gRunsUnderWay = 0;
const CleanRun* gRowShownBy = nullptr;
}  // namespace

CleanRun::CleanRun(CleanWindow& w)
    : w_(w),
      outermost_(gRunsUnderWay == 0),
      min_(w.progress.Min()),
      max_(w.progress.Max()),
      position_(w.progress.Position()),
      goEnabled_(w.goButton.Enabled()),
      settingsEnabled_(w.settingsButton.Enabled()) {
    ++gRunsUnderWay;
}

CleanRun::~CleanRun() {
    // Left early (an exception, or the program ending): put the window back
    // without pumping.
    if (!finished_) restore();
    --gRunsUnderWay;
}

void CleanRun::ShowProgressRow() {
    // Normally the outermost run's; an inner run started in the outer one's
    // first pump, before the outer showed its row, shows (and hides) its own.
    if (gRowShownBy) return;
    gRowShownBy = this;
    height_ = w_.form.Height();
    w_.form.SetHeight(height_ + kProgressRowHeight);
    w_.progress.SetVisible(true);
    w_.progressLabel.SetVisible(true);
}

void CleanRun::DisableButtons() {
    w_.goButton.SetEnabled(false);
    w_.settingsButton.SetEnabled(false);
}

void CleanRun::Finish() {
    if (outermost_) {
        w_.progress.SetPosition(0);
    } else {
        w_.progress.SetRange(min_, max_);
        w_.progress.SetPosition(position_);
    }
    widgets::Application.ProcessMessages();
    restore();
}

void CleanRun::restore() {
    finished_ = true;
    if (gRowShownBy == this) {
        gRowShownBy = nullptr;
        w_.progress.SetVisible(false);
        w_.progressLabel.SetVisible(false);
        w_.form.SetHeight(height_);
    }
    if (outermost_) {
        w_.progress.SetPosition(0);
        w_.goButton.SetEnabled(true);
        w_.settingsButton.SetEnabled(true);
    } else {
        w_.progress.SetRange(min_, max_);
        w_.progress.SetPosition(position_);
        w_.goButton.SetEnabled(goEnabled_);
        w_.settingsButton.SetEnabled(settingsEnabled_);
    }
}

}  // namespace freeing
