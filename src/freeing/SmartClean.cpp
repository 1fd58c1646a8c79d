#include "freeing/SmartClean.h"

#include <string>

#include "freeing/CleanRun.h"
#include "freeing/FreeingRules.h"
#include "freeing/WorkingSets.h"
#include "widgets/Application.h"
#include "widgets/Trace.h"

namespace freeing {

namespace {

constexpr int kPasses = 10;
constexpr DWORD kPassPauseMs = 100;

}  // namespace

SleepFn SmartCleanSleepCall = &::Sleep;

void SmartCleanClick(CleanWindow& w) {
    CleanRun run(w);
    run.ShowProgressRow();
    w.goButton.SetEnabled(false);
    // Free memory from the 64-bit status call: the 32-bit one stops at 2 GB
    // (4 GB for large-address-aware programs) and would hide any gain above.
    const std::int64_t before = ReadPhysicalMemory().free;
    w.progress.SetRange(0, 100);
    for (int pass = 1; pass <= kPasses; ++pass) {
        w.progress.SetPosition(pass * 10);
        widgets::Application.ProcessMessages();
        FreeWorkingSets(w.freeTimer);
        SmartCleanSleepCall(kPassPauseMs);
    }
    const std::int64_t after = ReadPhysicalMemory().free;
    ReportReleased(w, ReleasedMegabytes(before, after));
    widgets::Trace(CleanTraceText(L"Smart Clean", before, after));
    w.freeTimer.SetEnabled(true);
    run.Finish();
}

void ShowMemoryReleased(CleanWindow& w, std::int32_t R) {
    if (R <= 0) {
        w.released.SetCaption(
            w.language.Translate(L"M", L"NoMemoryReleased", L"No memory has been released."));
        w.released.SetLeft(w.number.Left());
        w.number.SetVisible(false);
        w.released.SetVisible(true);
        return;
    }
    w.numberBefore.SetVisible(true);
    w.number.SetVisible(true);
    w.released.SetVisible(true);
    w.number.SetCaption(std::to_wstring(R));
    w.number.SetFontColor(widgets::clNavy);
    w.released.SetCaption(
        w.language.Translate(L"M", L"MemoryReleased", L"MB memory has been released."));
    // The number label has sized itself to the new caption by now.
    w.released.SetLeft(ReportTextLeft(w.number.Left(), w.number.Width()));
}

void ReportReleased(CleanWindow& w, std::int32_t R) {
    ShowMemoryReleased(w, R);
    if (!w.tray || !ReportInTray(w.form.Visible(), w.form.Iconic())) return;
    const std::wstring title = w.language.Translate(w.form.Name(), L"Caption", w.form.Caption());
    // A tray that refuses the balloon (a busy shell) leaves the report on the window alone.
    (void)w.tray->ShowBalloon(title, ReportLine(R, w.released.Caption()));
}

}  // namespace freeing
