// Helpers for the freeing tests: a small window built from real widgets that
// stands for the main window as the program's view, a pretend Tool Help,
// scripted memory readings, and a scratch program folder so that every text
// comes out in English.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "SettingsTestSupport.h"
#include "app/Program.h"
#include "freeing/DeepClean.h"
#include "freeing/WindowCleanProgress.h"
#include "localisation/Language.h"
#include "probes/MemoryEx.h"
#include "probes/ToolHelp.h"
#include "settings/SettingsStore.h"
#include "widgets/Application.h"
#include "widgets/ComCtrls.h"
#include "widgets/Errors.h"
#include "widgets/ExtCtrls.h"
#include "widgets/Form.h"
#include "platform/DynCalls.h"
#include "platform/Paths.h"
#include "platform/Seam.h"
#include "widgets/StdCtrls.h"

namespace freeingtest {

constexpr std::int64_t MB = 1048576;

// The controls the cleans use, laid out like the main window's bottom rows,
// and a posted message (WM_APP, wParam = code) that runs OnPosted inside
// whichever pump takes it, as a tray command would.
class CleanTestForm : public widgets::TTntForm {
public:
    static widgets::FormOptions Options() {
        widgets::FormOptions o;
        o.caption = L"Clean test";
        o.clientWidth = 320;
        o.clientHeight = 300;
        return o;
    }
    CleanTestForm() : TTntForm(L"CleanTestForm", "TCleanTestForm", Options()) {
        using namespace widgets;
        CreateControls({
            Row(progressLabel, {.name = L"Label_clean_progress", .bounds = {8, 282, 60, 13},
                                .caption = L"Progress:", .visible = false}),
            Row(progress, {.name = L"ProgressBar_clean_progress", .bounds = {80, 280, 230, 16}, .visible = false}),
            Row(goButton, {.name = L"Button_go", .bounds = {8, 220, 75, 25}, .caption = L"Go!"}),
            Row(settingsButton, {.name = L"Button_setting", .bounds = {90, 220, 75, 25}, .caption = L"Settings"}),
            Row(numberBefore,
                {.name = L"Label_free_number_before", .bounds = {8, 250, 3, 13}, .visible = false, .autoSize = false}),
            Row(number, {.name = L"Label_free_number", .bounds = {11, 250, 0, 13}, .visible = false}),
        });
        FontStyle bold = number->Font();
        bold.bold = true;
        bold.color = clRed;  // the design's colour, which a report must replace
        number->SetFont(bold);
        released = Add<TTntLabel>(CreateArgs{
            .name = L"Label_Memory_Released", .bounds = {40, 250, 250, 13}, .visible = false, .autoSize = false});
        freeTimer = Add<TTimer>(TimerArgs{.name = L"Timer_free", .interval = 5000, .enabled = false});
        classicFreeTimer = Add<TTimer>(TimerArgs{.name = L"Timer_classic_free", .interval = 100, .enabled = false});
    }

    // Posts code to this window; OnPosted runs when a pump delivers it.
    void Post(int code) { ::PostMessageW(Handle(), WM_APP, static_cast<WPARAM>(code), 0); }
    std::function<void(int)> OnPosted;

    widgets::TTntProgressBar* progress = nullptr;
    widgets::TTntLabel* progressLabel = nullptr;
    widgets::TTntButton* goButton = nullptr;
    widgets::TTntButton* settingsButton = nullptr;
    widgets::TTntLabel* numberBefore = nullptr;
    widgets::TTntLabel* number = nullptr;
    widgets::TTntLabel* released = nullptr;
    widgets::TTimer* freeTimer = nullptr;
    widgets::TTimer* classicFreeTimer = nullptr;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_APP) {
            if (OnPosted) widgets::Dispatch([&] { OnPosted(static_cast<int>(wParam)); });
            return 0;
        }
        return TTntForm::HandleMessage(msg, wParam, lParam);
    }
};

// A program folder without a "language" folder: every lookup gives its
// built-in English text. MakeLanguageFile puts one there (before the
// TLanguage is made) with the given [M_Brimvale] lines.
class ScratchProgram {
public:
    ScratchProgram() {
        savedAppData_.SetString(appData_.Path());  // no sibling product's choice: "English"
        platform::SetModulePathForTest(folder_ / L"brimvale.exe");
    }
    ~ScratchProgram() { platform::SetModulePathForTest(L""); }
    void MakeLanguageFile(const std::wstring& lines) {
        ASSERT_TRUE(platform::CreateDir(folder_ / L"language"));
        testsupport::WriteBytes(folder_ / L"language\\English.lng",
                                testsupport::Utf16Bytes(L"[M_Brimvale]\r\n" + lines));
    }

private:
    testsupport::ScratchFolder folder_{L"freeing"};
    testsupport::ScratchFolder appData_{L"freeing-appdata"};
    testsupport::SavedRegistryValue savedAppData_{settings::ShellFoldersKey, settings::AppDataValue};
};

// The test window as the program's view, its language object and the
// program whose cleans it shows. The Deep Clean timer's tick runs the armed
// Deep Clean, as the main window's does; tray reports are counted.
struct CleanRig : app::ProgramView {
    CleanRig()
        : language(),
          progress{{form, *form.progress, *form.progressLabel, *form.goButton, *form.settingsButton,
                    *form.numberBefore, *form.number, *form.released},
                   language} {
        form.classicFreeTimer->OnTimer = [this] {
            form.classicFreeTimer->SetEnabled(false);
            (void)program.RunArmedDeepClean();
        };
        program.SetView(this);
    }
    ~CleanRig() { program.SetView(nullptr); }
    HWND OwnerWindow() const override { return form.Handle(); }
    localisation::TLanguage& Language() const override { return const_cast<localisation::TLanguage&>(language); }
    void ShowSettingsStatus(const settings::SettingsValue&) override {}
    void StartAutoFree() override { form.freeTimer->SetEnabled(true); }
    void PaceAutoFree(unsigned intervalMs) override { form.freeTimer->SetInterval(intervalMs); }
    void ArmDeepClean() override { form.classicFreeTimer->SetEnabled(true); }
    freeing::CleanProgress& CleanProgress() override { return progress; }
    void ShowCleanInTray(std::int32_t released) override { trayReports.push_back(released); }
    void ShowCleanState() override { cleanStates.push_back(program.CleanPercent()); }
    bool ShowWarningInTray(const std::wstring&, const std::wstring& text) override {
        trayWarnings.push_back(text);
        return true;
    }
    unsigned long UseHotkey(const app::Hotkey&) override { return 0; }
    void SmartClean(app::CleanOrigin origin = app::CleanOrigin::User) {
        program.RequestClean(freeing::CleanKind::Smart, origin);
    }
    void DeepClean(app::CleanOrigin origin = app::CleanOrigin::User) {
        program.RequestClean(freeing::CleanKind::Deep, origin);
    }
    // Delivers a tick of Timer_classic_free through the next pump, as the
    // system would once its interval has passed.
    void PostDeepCleanTick() {
        ::PostMessageW(form.Handle(), WM_TIMER, form.classicFreeTimer->Id(), 0);
    }
    CleanTestForm form;
    localisation::TLanguage language;
    freeing::WindowCleanProgress progress;
    app::Program program;
    std::vector<std::int32_t> trayReports;
    std::vector<int> cleanStates;
    std::vector<std::wstring> trayWarnings;
};

// Pumps until done() holds or about ten seconds have gone (a safety limit
// against hanging, not a measurement). Returns done().
inline bool PumpUntil(const std::function<bool()>& done, DWORD limitMs = 10000) {
    const DWORD start = ::GetTickCount();
    while (!done()) {
        widgets::Application.ProcessMessages();
        if (::GetTickCount() - start > limitMs) return done();
        ::Sleep(5);
    }
    return true;
}

// Pumps for a while whatever happens.
inline void PumpFor(DWORD ms) {
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < ms) {
        widgets::Application.ProcessMessages();
        ::Sleep(5);
    }
}

// A pretend Tool Help in the table of functions looked up at run time: a
// snapshot of the listed process IDs. Installed for the object's lifetime;
// a test makes a function look missing by replacing its slot with nullptr.
class FakeToolHelp {
public:
    static inline const HANDLE kSnapshot = reinterpret_cast<HANDLE>(0x5150);

    FakeToolHelp() { current() = this; }
    ~FakeToolHelp() { current() = nullptr; }
    FakeToolHelp(const FakeToolHelp&) = delete;
    FakeToolHelp& operator=(const FakeToolHelp&) = delete;

    std::vector<DWORD> processes;
    std::map<DWORD, std::string> names;  // executable names; none for an ID not listed
    HANDLE snapshotResult = kSnapshot;

    int snapshots = 0, firstCalls = 0;
    DWORD snapshotFlags = 0, snapshotProcess = 0, sizeSeenByFirst = 0;
    std::function<void()> onSnapshot;

private:
    static FakeToolHelp*& current() {
        static FakeToolHelp* instance = nullptr;
        return instance;
    }
    static HANDLE WINAPI Snapshot(DWORD flags, DWORD pid) {
        FakeToolHelp& self = *current();
        ++self.snapshots;
        self.snapshotFlags = flags;
        self.snapshotProcess = pid;
        if (self.onSnapshot) self.onSnapshot();
        return self.snapshotResult;
    }
    static BOOL WINAPI First(HANDLE snapshot, probes::ProcessEntry32* entry) {
        FakeToolHelp& self = *current();
        ++self.firstCalls;
        self.sizeSeenByFirst = entry->dwSize;
        self.next_ = 0;
        return snapshot == kSnapshot && self.take(entry);
    }
    static BOOL WINAPI Next(HANDLE snapshot, probes::ProcessEntry32* entry) {
        return snapshot == kSnapshot && current()->take(entry);
    }
    bool take(probes::ProcessEntry32* entry) {
        if (next_ >= processes.size()) return false;
        entry->th32ProcessID = processes[next_++];
        const std::string name = names.count(entry->th32ProcessID) ? names.at(entry->th32ProcessID) : "";
        lstrcpynA(entry->szExeFile, name.c_str(), MAX_PATH);
        return true;
    }

    std::size_t next_ = 0;
    platform::DynCallTable& calls_ = platform::DynCalls();
    platform::ScopedSeam<decltype(calls_.CreateToolhelp32Snapshot)> snapshotSeam_{
        calls_.CreateToolhelp32Snapshot, &Snapshot};
    platform::ScopedSeam<decltype(calls_.Process32FirstA)> firstSeam_{calls_.Process32FirstA, &First};
    platform::ScopedSeam<decltype(calls_.Process32NextA)> nextSeam_{calls_.Process32NextA, &Next};
};

// Scripted physical-memory readings through the table's GlobalMemoryStatusEx,
// which TMemory calls: each call takes the next (total, free) pair; the last
// one repeats.
class FakeMemory {
public:
    struct Reading {
        std::int64_t total, free;
    };
    explicit FakeMemory(std::deque<Reading> readings) : readings_(std::move(readings)) {
        current() = this;
    }
    ~FakeMemory() { current() = nullptr; }
    FakeMemory(const FakeMemory&) = delete;
    FakeMemory& operator=(const FakeMemory&) = delete;

    void Script(std::deque<Reading> readings) { readings_ = std::move(readings); }
    int calls = 0;
    std::function<void()> onRead;  // runs at every reading

private:
    static FakeMemory*& current() {
        static FakeMemory* instance = nullptr;
        return instance;
    }
    static BOOL WINAPI Status(LPMEMORYSTATUSEX status) {
        FakeMemory& self = *current();
        ++self.calls;
        if (self.onRead) self.onRead();
        Reading r{0, 0};
        if (!self.readings_.empty()) {
            r = self.readings_.front();
            if (self.readings_.size() > 1) self.readings_.pop_front();
        }
        status->ullTotalPhys = static_cast<DWORDLONG>(r.total);
        status->ullAvailPhys = static_cast<DWORDLONG>(r.free);
        return TRUE;
    }
    std::deque<Reading> readings_;
    platform::ScopedSeam<decltype(platform::DynCallTable::GlobalMemoryStatusEx)> status_{
        platform::DynCalls().GlobalMemoryStatusEx, &Status};
};

// Whether WM_QUIT is waiting in this thread's queue (taken off if so).
inline bool QuitWaiting() {
    MSG msg;
    return ::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
}

}  // namespace freeingtest
