#include "app/Program.h"

#include "freeing/DeepClean.h"
#include "freeing/SmartClean.h"
#include "freeing/WorkingSets.h"
#include "platform/Errors.h"
#include "platform/ScopeExit.h"
#include "settings/SettingsStore.h"
#include "widgets/Errors.h"

namespace app {

using freeing::CleanKind;

// One clean's progress as the view shows it, with what the program adds:
// the tray notification of the report, the auto-free timer switched on
// after a Smart Clean, and the count of cleans under way.
class Program::RunProgress : public freeing::CleanProgress {
public:
    RunProgress(Program& program, CleanKind kind, CleanOrigin origin)
        : program_(program), shown_(program.view_->CleanProgress()), kind_(kind), origin_(origin) {}

    void Begin() override {
        ++program_.cleansUnderWay_;
        shown_.Begin();
        program_.setCleanPercent(0);
    }
    void ShowProgress(int max) override {
        max_ = max;
        shown_.ShowProgress(max);
    }
    void Step(int position) override {
        shown_.Step(position);
        const long long percent = max_ > 0 ? static_cast<long long>(position) * 100 / max_ : 0;
        program_.setCleanPercent(percent < 0 ? 0 : percent > 100 ? 100 : static_cast<int>(percent));
    }
    void Report(std::int32_t released) override {
        shown_.Report(released);
        // Only a clean the user asked for here is reported at the tray: a
        // scheduled one would raise a notification (a toast with a sound on
        // Windows 10 and 11) every time; its result is in the trace.
        if (origin_ == CleanOrigin::User) program_.reportInTray(released);
        // The idle auto-free's timer runs after every Smart Clean, whatever
        // the setting says (its ticks do nothing while the setting is off).
        if (kind_ == CleanKind::Smart) program_.view_->StartAutoFree();
    }
    void End() override {
        shown_.End();
        ended();
    }
    void Abandon() override {
        shown_.Abandon();
        ended();
    }

private:
    Program& program_;
    freeing::CleanProgress& shown_;
    CleanKind kind_;
    CleanOrigin origin_;
    int max_ = 0;

    void ended() {
        if (--program_.cleansUnderWay_ == 0) program_.setCleanPercent(-1);
    }
};

void Program::setCleanPercent(int percent) {
    // The view hears of a start, an end and every tenth of the way: a Deep
    // Clean steps once per megabyte.
    const bool changed = (percent < 0) != (cleanPercent_ < 0) || percent / 10 != cleanPercent_ / 10;
    cleanPercent_ = percent;
    if (changed && view_) view_->ShowCleanState();
}

HWND Program::OwnerWindow() const { return view_ ? view_->OwnerWindow() : nullptr; }

localisation::TLanguage& Program::Language() const { return view_->Language(); }

void Program::SetLiveSettings(const settings::SettingsValue& value) { settings_ = value; }

std::vector<std::wstring> Program::StartSettings() {
    // A refused first-run write leaves the file missing, and an unreadable
    // file is left as it is: the settings take the start-up defaults and
    // the rest of the sequence runs.
    std::vector<std::wstring> reports;
    try {
        settings::OpenSettingsFile();
    } catch (const platform::Exception& e) {
        reports.push_back(e.Message());
    }
    const std::wstring unreadable = settings::SettingsFileUnreadable(
        L"the program runs with the default settings and leaves the file as it is");
    settingsFromFile_ = unreadable.empty();
    settings_ = settingsFromFile_ ? settings::ReadSettings(settings::StartupDefaults()) : settings::StartupDefaults();
    if (!unreadable.empty()) reports.push_back(unreadable);
    const std::wstring refused = applySettings(Autostart::RegisterWhenTicked);  // never removed here
    if (!refused.empty()) reports.push_back(refused);
    for (std::wstring& report : takeFileOnlySettings()) reports.push_back(std::move(report));
    return reports;
}

std::wstring Program::ReloadSettings() {
    const std::wstring unreadable =
        settings::SettingsFileUnreadable(L"the settings dialog shows the settings in use");
    if (!unreadable.empty()) return unreadable;
    // A key the file lacks shows the setting in use, so that OK without a
    // change changes nothing.
    settings_ = settings::ReadSettings(settings_);
    settingsFromFile_ = true;
    return std::wstring();
}

std::wstring Program::SaveSettings(const settings::SettingsValue& value, const settings::SettingsValue& before) {
    settings::EnsureSettingsFolder();  // removed while the program ran: made again, as at start-up
    // Settings that hold the start-up defaults in place of an unread file
    // must not be written over the user's: only what was changed in the
    // dialog is stored, and the autostart entry follows its setting only
    // when that was changed.
    settings::WriteSettings(value, before, settingsFromFile_);
    settings_ = value;
    const bool startChanged = value.startWithWindows != before.startWithWindows;
    for (const std::wstring& report : takeFileOnlySettings()) widgets::ReportError(report);
    return applySettings(settingsFromFile_ || startChanged ? Autostart::FollowTheSetting : Autostart::LeaveAlone);
}

std::wstring Program::applySettings(Autostart autostart) {
    // Every step runs whatever the registry does: the status bar and the
    // auto-free show and do what the settings say. A refused autostart
    // entry is handed back, to be reported once the steps have run.
    if (view_) view_->ShowSettingsStatus(settings_);
    std::wstring refused;
    try {
        if (autostart != Autostart::LeaveAlone && settings_.startWithWindows)
            settings::RegisterAutostart();
        else if (autostart == Autostart::FollowTheSetting && !settings_.startWithWindows)
            settings::UnregisterAutostart();
    } catch (const platform::Exception& e) {
        refused = e.Message();
    }
    if (settings_.autoFree && view_) view_->StartAutoFree();
    return refused;
}

monitor::TickView Program::Tick(const monitor::TickReadings& readings, const monitor::TickTexts& texts) {
    // Clamped where it enters: the caption, the bar, the tooltip, the graph
    // and the pacing all read it from here.
    monitor_.last = readings;
    monitor_.last.cpuSample = monitor::ShownCpuPercent(readings.cpuSample);
    monitor::ShiftCpuHistory(monitor_.cpuHistory, monitor_.last.cpuSample);
    monitor::TickView view = monitor::ComputeTick(monitor_.last, monitor_.cpuHistory, texts);
    watchCommit(monitor_.last, view);
    return view;
}

bool Program::trimPass() {
    const bool listed = freeing::FreeWorkingSets(pacer_, monitor_.PacingSample(), fileOnly_.excluded, passedOver_);
    if (view_) view_->PaceAutoFree(static_cast<unsigned>(pacer_.Interval()));
    return listed;
}

void Program::AutoFreeTick() {
    if (settings_.autoFree && idleFreeHeldBack()) return;  // the timer keeps its interval
    int passedOver = 0;
    if (settings_.autoFree) (void)freeing::FreeWorkingSets(pacer_, monitor_.PacingSample(), fileOnly_.excluded, passedOver);
    if (view_) view_->PaceAutoFree(static_cast<unsigned>(pacer_.Interval()));
}

void Program::RequestClean(CleanKind kind, CleanOrigin origin) {
    if (kind == CleanKind::Smart) {
        (void)Clean(kind, origin);
        return;
    }
    // Once armed by the user, the run is the user's, whoever else asks.
    if (!deepCleanArmed_ || origin == CleanOrigin::User) armedOrigin_ = origin;
    deepCleanArmed_ = true;
    if (view_) view_->ArmDeepClean();
}

freeing::CleanOutcome Program::RunArmedDeepClean() {
    const CleanOrigin origin = armedOrigin_;
    deepCleanArmed_ = false;
    armedOrigin_ = CleanOrigin::OtherStart;
    return Clean(CleanKind::Deep, origin);
}

freeing::CleanOutcome Program::Clean(CleanKind kind, CleanOrigin origin) {
    if (!view_) return {};
    RunProgress progress(*this, kind, origin);
    cleanBegins(kind);
    const auto ended = platform::OnScopeExit([this, kind] { cleanEnds(kind); });
    if (kind == CleanKind::Smart) return freeing::RunSmartClean(progress, [this] { return trimPass(); });
    return freeing::RunDeepClean(progress);
}

}  // namespace app
