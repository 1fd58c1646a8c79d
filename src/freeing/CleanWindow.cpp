#include "freeing/CleanWindow.h"

#include <string>

#include "freeing/FreeingRules.h"
#include "freeing/WorkingSets.h"

namespace freeing {

void FormCleanWindow::SetProgressRowVisible(bool visible) {
    progress.SetVisible(visible);
    progressLabel.SetVisible(visible);
}

void FormCleanWindow::ShowMemoryReleased(std::int32_t R) {
    if (R <= 0) {
        released.SetCaption(language.Translate(L"M", L"NoMemoryReleased", L"No memory has been released."));
        released.SetLeft(number.Left());
        number.SetVisible(false);
        released.SetVisible(true);
        return;
    }
    numberBefore.SetVisible(true);
    number.SetVisible(true);
    released.SetVisible(true);
    number.SetCaption(std::to_wstring(R));
    number.SetFontColor(widgets::clNavy);
    released.SetCaption(language.Translate(L"M", L"MemoryReleased", L"MB memory has been released."));
    // The number label has sized itself to the new caption by now.
    released.SetLeft(ReportTextLeft(number.Left(), number.Width()));
}

void FormCleanWindow::ShowReportInTray(std::int32_t R) {
    if (!tray || !ReportInTray(form.Visible(), form.Iconic())) return;
    const std::wstring title = language.Translate(form.Name(), L"Caption", form.Caption());
    // A tray that refuses the balloon (a busy shell) leaves the report on the window alone.
    (void)tray->ShowBalloon(title, ReportLine(R, released.Caption()));
}

bool FormCleanWindow::FreeWorkingSets() {
    const bool listed = freeing::FreeWorkingSets(pacer);
    freeTimer.SetInterval(static_cast<unsigned>(pacer.Interval()));
    return listed;
}

}  // namespace freeing
