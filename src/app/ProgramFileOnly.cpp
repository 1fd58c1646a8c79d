// The program's parts that the settings only the file holds drive: the
// low-memory warning, the processes a Smart Clean passes over, the idle
// auto-free's wait in full screen and the hotkey.
#include <windows.h>

#include "app/NotificationState.h"
#include "app/NotificationStateRules.h"
#include "app/Program.h"
#include "localisation/Language.h"
#include "monitor/MonitorRules.h"
#include "platform/Errors.h"
#include "platform/Trace.h"
#include "probes/ProcessCommit.h"
#include "settings/SettingsStore.h"

namespace app {

std::vector<std::wstring> Program::takeFileOnlySettings() {
    FileOnlySettings read = ReadFileOnlySettings(settings::SettingsIni.get());
    const bool hotkeyChanged = !fileOnlyRead_ || read.hotkeyText != fileOnly_.hotkeyText;
    fileOnly_ = std::move(read);
    fileOnlyRead_ = true;
    commitWatch_.SetThreshold(fileOnly_.commitWarning);
    platform::Trace(L"low-memory warning at " + std::to_wstring(fileOnly_.commitWarning) + L" % (0: off), " +
                    std::to_wstring(fileOnly_.excluded.Names().size()) + L" excluded processes, full-screen wait " +
                    (fileOnly_.pauseFullScreen ? L"on" : L"off") + L", hotkey '" +
                    HotkeyText(fileOnly_.hotkey.hotkey) + L"'");
    std::vector<std::wstring> reports;
    if (hotkeyChanged && view_) {
        std::wstring report = useHotkey();
        if (!report.empty()) reports.push_back(std::move(report));
    }
    return reports;
}

std::wstring Program::useHotkey() {
    const HotkeyReading& reading = fileOnly_.hotkey;
    // A text that cannot be read gives no hotkey: the one held before goes too.
    const unsigned long refused = view_->UseHotkey(reading.hotkey);
    if (!reading.error.empty())
        return L"The hotkey \"" + fileOnly_.hotkeyText + L"\" in " + settings::SettingsPath +
               L" cannot be read (" + reading.error + L"): Brimvale runs without a hotkey.";
    if (refused != 0)
        return platform::WithSystemReason(L"The hotkey " + HotkeyText(reading.hotkey) +
                                              L" cannot be registered: Brimvale runs without it.",
                                          refused);
    return std::wstring();
}

bool Program::idleFreeHeldBack() const {
    // The shell is asked only when the answer matters.
    return fileOnly_.pauseFullScreen && IdleFreeHeldBack(true, UserNotificationState());
}

void Program::cleanBegins(freeing::CleanKind kind) {
    if (kind == freeing::CleanKind::Deep) ++deepCleansUnderWay_;
    else passedOver_ = 0;
}

void Program::cleanEnds(freeing::CleanKind kind) {
    if (kind == freeing::CleanKind::Deep) {
        --deepCleansUnderWay_;
        commitWatch_.DeepCleanEnded(::GetTickCount());
        return;
    }
    platform::Trace(freeing::PassedOverTraceText(L"Smart Clean", passedOver_));
}

void Program::watchCommit(const monitor::TickReadings& readings, monitor::TickView& view) {
    const bool warn = commitWatch_.Tick(readings.pageFile.totalBytes, readings.pageFile.freeBytes, ::GetTickCount(),
                                        deepCleansUnderWay_ > 0);
    // What the tick that ends here showed at the tray.
    const std::optional<std::int32_t> reportShown = reportThisTick_;
    warningThisTick_ = false;
    reportThisTick_.reset();
    if (!view_) return;
    if (commitWatch_.High()) {
        const std::wstring line = monitor::CommitWarningHintLine(
            view_->Language().Translate(L"M", L"CommitWarningHint", monitor::kCommitWarningHint),
            commitWatch_.ChargePercent());
        view.hint = monitor::FitTrayHint(line + L"\n" + view.hint);
    }
    if (warn) warningDue_ = true;
    if (!commitWatch_.High() || deepCleansUnderWay_ > 0) warningDue_ = false;
    if (warningDue_ && showCommitWarning(readings)) {
        warningDue_ = false;
        warningThisTick_ = true;
        // A report the warning replaces at the tray comes again next tick.
        if (reportShown && !reportHeldBack_) reportHeldBack_ = reportShown;
    } else if (reportHeldBack_) {
        const std::int32_t released = *reportHeldBack_;
        reportHeldBack_.reset();
        reportInTray(released);
    }
}

bool Program::showCommitWarning(const monitor::TickReadings& readings) {
    const localisation::TLanguage& language = view_->Language();
    const std::wstring title = monitor::FitTrayHint(
        language.Translate(L"M", L"CommitWarningTitle", monitor::kCommitWarningTitle), monitor::kBalloonTitleCapacity);
    const monitor::CommitBalloonTexts texts{
        language.Translate(L"M", L"CommitWarningText", monitor::kCommitWarningText),
        language.Translate(L"M", L"CommitWarningLargest", monitor::kCommitWarningLargest)};
    std::vector<monitor::ProcessCharge> largest;
    for (const probes::ProcessCommit& process : probes::LargestPrivateCommits(monitor::kBalloonProcesses))
        largest.push_back({process.exeName, process.privateBytes});
    // The charge as CommitChargePercent counts it: within 0..limit.
    const std::int64_t limit = readings.pageFile.totalBytes;
    const std::int64_t free = readings.pageFile.freeBytes;
    const std::int64_t charge = free >= 0 && free < limit ? limit - free : 0;
    const std::wstring text = monitor::CommitWarningBalloon(texts, charge, limit, commitWatch_.ChargePercent(),
                                                            largest, readings.decimalSeparator);
    const bool shown = view_->ShowWarningInTray(title, text);
    platform::Trace(std::wstring(shown ? L"low-memory warning: " : L"low-memory warning not taken by the tray: ") +
                    text);
    return shown;
}

void Program::reportInTray(std::int32_t released) {
    if (!view_) return;
    if (warningThisTick_) {
        reportHeldBack_ = released;
        return;
    }
    view_->ShowCleanInTray(released);
    reportThisTick_ = released;
}

}  // namespace app
