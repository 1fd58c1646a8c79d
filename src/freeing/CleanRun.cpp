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
      min_(w.ProgressMin()),
      max_(w.ProgressMax()),
      position_(w.ProgressPosition()),
      goEnabled_(w.GoEnabled()),
      settingsEnabled_(w.SettingsEnabled()) {
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
    height_ = w_.Height();
    w_.SetHeight(height_ + kProgressRowHeight);
    w_.SetProgressRowVisible(true);
}

void CleanRun::DisableButtons() {
    w_.SetGoEnabled(false);
    w_.SetSettingsEnabled(false);
}

void CleanRun::Finish() {
    if (outermost_) {
        w_.SetProgressPosition(0);
    } else {
        w_.SetProgressRange(min_, max_);
        w_.SetProgressPosition(position_);
    }
    widgets::Application.ProcessMessages();
    restore();
}

void CleanRun::restore() {
    finished_ = true;
    if (gRowShownBy == this) {
        gRowShownBy = nullptr;
        w_.SetProgressRowVisible(false);
        w_.SetHeight(height_);
    }
    if (outermost_) {
        w_.SetProgressPosition(0);
        w_.SetGoEnabled(true);
        w_.SetSettingsEnabled(true);
    } else {
        w_.SetProgressRange(min_, max_);
        w_.SetProgressPosition(position_);
        w_.SetGoEnabled(goEnabled_);
        w_.SetSettingsEnabled(settingsEnabled_);
    }
}

}  // namespace freeing
