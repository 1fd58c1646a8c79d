#include "freeing/WindowCleanProgress.h"

#include <string>

#include "freeing/FreeingRules.h"
#include "widgets/Application.h"

namespace freeing {

namespace {
// The progress row sits below the window's normal bottom edge.
constexpr int kProgressRowHeight = 20;
}  // namespace

void WindowCleanProgress::Begin() {
    runs_.push_back({c_.progress.Min(), c_.progress.Max(), c_.progress.Position(), c_.goButton.Enabled(),
                     c_.settingsButton.Enabled()});
    c_.goButton.SetEnabled(false);
    c_.settingsButton.SetEnabled(false);
}

void WindowCleanProgress::ShowProgress(int max) {
    c_.progress.SetRange(0, max);
    // Normally the outermost run's; an inner run started in the outer one's
    // first pump, before the outer showed its row, shows (and hides) its own.
    if (rowShownBy_ >= 0 || runs_.empty()) return;
    rowShownBy_ = static_cast<int>(runs_.size()) - 1;
    heightBefore_ = c_.form.Height();
    c_.form.SetHeight(heightBefore_ + kProgressRowHeight);
    setRowVisible(true);
}

void WindowCleanProgress::setRowVisible(bool visible) {
    c_.progress.SetVisible(visible);
    c_.progressLabel.SetVisible(visible);
}

void WindowCleanProgress::Report(std::int32_t released) {
    if (released <= 0) {
        c_.released.SetCaption(language_.Translate(L"M", L"NoMemoryReleased", L"No memory has been released."));
        c_.released.SetLeft(c_.number.Left());
        c_.number.SetVisible(false);
        c_.released.SetVisible(true);
        return;
    }
    c_.numberBefore.SetVisible(true);
    c_.number.SetVisible(true);
    c_.released.SetVisible(true);
    c_.number.SetCaption(std::to_wstring(released));
    c_.number.SetFontColor(widgets::clNavy);
    c_.released.SetCaption(language_.Translate(L"M", L"MemoryReleased", L"MB memory has been released."));
    // The number label has sized itself to the new caption by now.
    c_.released.SetLeft(ReportTextLeft(c_.number.Left(), c_.number.Width()));
}

std::wstring WindowCleanProgress::ReportLineShown(std::int32_t released) const {
    return ReportLine(released, c_.released.Caption());
}

void WindowCleanProgress::End() {
    if (runs_.empty()) return;
    const Run run = runs_.back();
    const bool outermost = runs_.size() == 1;
    if (outermost) {
        c_.progress.SetPosition(0);
    } else {
        c_.progress.SetRange(run.min, run.max);
        c_.progress.SetPosition(run.position);
    }
    // Runs started in this pump begin and end inside it: this run is the
    // last one again afterwards.
    widgets::Application.ProcessMessages();
    Abandon();
}

void WindowCleanProgress::Abandon() {
    if (runs_.empty()) return;
    const Run run = runs_.back();
    const bool outermost = runs_.size() == 1;
    const bool showsRow = rowShownBy_ == static_cast<int>(runs_.size()) - 1;
    runs_.pop_back();
    putBack(run, outermost, showsRow);
}

void WindowCleanProgress::putBack(const Run& run, bool outermost, bool showsRow) {
    if (showsRow) {
        rowShownBy_ = -1;
        setRowVisible(false);
        c_.form.SetHeight(heightBefore_);
    }
    if (outermost) {
        c_.progress.SetPosition(0);
        c_.goButton.SetEnabled(true);
        c_.settingsButton.SetEnabled(true);
    } else {
        c_.progress.SetRange(run.min, run.max);
        c_.progress.SetPosition(run.position);
        c_.goButton.SetEnabled(run.goEnabled);
        c_.settingsButton.SetEnabled(run.settingsEnabled);
    }
}

}  // namespace freeing
