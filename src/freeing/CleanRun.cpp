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

CleanRun::CleanRun(CleanWindow& w) : w_(w), height_(w.form.Height()) {
    w_.form.SetHeight(height_ + kProgressRowHeight);
}

CleanRun::~CleanRun() {
    // Left by an exception: put the window back without pumping.
    if (!finished_) restore();
}

void CleanRun::ShowProgressRow() {
    w_.progress.SetVisible(true);
    w_.progressLabel.SetVisible(true);
}

void CleanRun::Finish() {
    w_.progress.SetPosition(0);
    widgets::Application.ProcessMessages();
    restore();
}

void CleanRun::restore() {
    finished_ = true;
    w_.progress.SetVisible(false);
    w_.progressLabel.SetVisible(false);
    w_.form.SetHeight(height_);
    w_.goButton.SetEnabled(true);
}

}  // namespace freeing
