#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "FreeingTestSupport.h"
#include "app/NotificationState.h"
#include "app/NotificationStateRules.h"
#include "freeing/SmartClean.h"
#include "platform/ScopeExit.h"
#include "app/Program.h"
#include "monitor/TickModelRules.h"
#include "freeing/WorkingSets.h"
#include "monitor/CpuHistory.h"
#include "probes/ToolHelp.h"

using namespace freeing;
using freeingtest::FakeToolHelp;

namespace {

// Process calls through the seams, recorded.
struct ProcessLog {
    std::vector<DWORD> opened;      // process IDs asked for
    std::vector<DWORD> access;
    std::vector<BOOL> inherit;
    std::vector<HANDLE> trimmed;
    std::vector<SIZE_T> minimum, maximum;
    std::vector<HANDLE> closed;
    std::set<DWORD> refused;        // IDs whose open fails
} gLog;

HANDLE ProcessHandleFor(DWORD pid) { return reinterpret_cast<HANDLE>(0x10000 + pid * 4); }

HANDLE WINAPI FakeOpen(DWORD access, BOOL inherit, DWORD pid) {
    gLog.opened.push_back(pid);
    gLog.access.push_back(access);
    gLog.inherit.push_back(inherit);
    return gLog.refused.count(pid) ? nullptr : ProcessHandleFor(pid);
}
BOOL WINAPI FakeTrim(HANDLE process, SIZE_T minimum, SIZE_T maximum) {
    gLog.trimmed.push_back(process);
    gLog.minimum.push_back(minimum);
    gLog.maximum.push_back(maximum);
    return TRUE;
}
BOOL WINAPI FakeClose(HANDLE handle) {
    gLog.closed.push_back(handle);
    return TRUE;
}

class WorkingSets : public ::testing::Test {
protected:
    void SetUp() override { gLog = ProcessLog{}; }
    bool Pass() { return FreeWorkingSets(pacer_, monitor_.PacingSample()); }

    FakeToolHelp toolHelp_;
    AutoFreePacer pacer_;
    monitor::MonitorState monitor_;
    platform::ScopedSeam<OpenProcessFn> open_{OpenProcessCall, &FakeOpen};
    platform::ScopedSeam<SetWorkingSetSizeFn> trim_{SetWorkingSetSizeCall, &FakeTrim};
    platform::ScopedSeam<CloseHandleFn> close_{CloseHandleCall, &FakeClose};
};

}  // namespace

TEST_F(WorkingSets, PacedByTheSample25TicksBackAndSkippedAboveEighty) {
    toolHelp_.processes = {4, 8};
    const struct {
        int usage;
        int interval;
        int snapshots;  // in all, so far
    } table[] = {{0, 5000, 1}, {31, 7000, 2}, {51, 10000, 3}, {81, 10000, 3}, {250, 10000, 3}, {30, 5000, 4}};
    for (const auto& row : table) {
        monitor_.cpuHistory[125] = row.usage;
        EXPECT_EQ(row.usage <= 80, Pass()) << "usage " << row.usage;
        EXPECT_EQ(row.interval, pacer_.Interval()) << "usage " << row.usage;
        EXPECT_EQ(row.snapshots, toolHelp_.snapshots) << "usage " << row.usage;
        EXPECT_EQ(2u * row.snapshots, gLog.trimmed.size()) << "usage " << row.usage;
    }
    // Only entry 125 counts: the newest and its neighbours do not.
    monitor_ = {};
    monitor_.cpuHistory[150] = monitor_.cpuHistory[124] = monitor_.cpuHistory[126] = 100;
    EXPECT_TRUE(Pass());
    EXPECT_EQ(5000, pacer_.Interval());
}

TEST_F(WorkingSets, EveryProcessOpenedTrimmedAndClosedInSnapshotOrder) {
    toolHelp_.processes = {0, 4, 312, 96, 1000};
    Pass();
    EXPECT_EQ(static_cast<DWORD>(TH32CS_SNAPPROCESS), toolHelp_.snapshotFlags);
    EXPECT_EQ(0u, toolHelp_.snapshotProcess);
    EXPECT_EQ(sizeof(probes::ProcessEntry32), toolHelp_.sizeSeenByFirst);
    EXPECT_EQ(toolHelp_.processes, gLog.opened);
    std::vector<HANDLE> expected;
    for (DWORD pid : toolHelp_.processes) expected.push_back(ProcessHandleFor(pid));
    EXPECT_EQ(expected, gLog.trimmed);
    for (std::size_t i = 0; i < gLog.opened.size(); ++i) {
        EXPECT_EQ(static_cast<DWORD>(PROCESS_SET_QUOTA), gLog.access[i]);
        EXPECT_EQ(TRUE, gLog.inherit[i]);
        EXPECT_EQ(static_cast<SIZE_T>(-1), gLog.minimum[i]);
        EXPECT_EQ(static_cast<SIZE_T>(-1), gLog.maximum[i]);
    }
    // Each process handle closed once, then the snapshot last.
    expected.push_back(FakeToolHelp::kSnapshot);
    EXPECT_EQ(expected, gLog.closed);
}

TEST_F(WorkingSets, ProcessesThatCannotBeOpenedArePassedOver) {
    toolHelp_.processes = {4, 8, 12, 16};
    gLog.refused = {4, 12};
    Pass();
    EXPECT_EQ(toolHelp_.processes, gLog.opened);  // the walk went to the end
    const std::vector<HANDLE> handled{ProcessHandleFor(8), ProcessHandleFor(16)};
    EXPECT_EQ(handled, gLog.trimmed);
    const std::vector<HANDLE> closed{ProcessHandleFor(8), ProcessHandleFor(16), FakeToolHelp::kSnapshot};
    EXPECT_EQ(closed, gLog.closed);  // nothing closed for a failed open
}

TEST_F(WorkingSets, WithoutToolHelpNoProcessIsVisitedButThePaceIsSet) {
    toolHelp_.processes = {4, 8};
    platform::ScopedSeam missing(platform::DynCalls().CreateToolhelp32Snapshot, nullptr);
    monitor_.cpuHistory[125] = 40;
    Pass();
    EXPECT_EQ(7000, pacer_.Interval());
    EXPECT_EQ(0, toolHelp_.snapshots);
    EXPECT_TRUE(gLog.opened.empty());
    EXPECT_TRUE(gLog.closed.empty());  // the forwarder's 0 is not a handle
}

TEST_F(WorkingSets, WithoutProcess32FirstTheSnapshotIsStillClosed) {
    toolHelp_.processes = {4, 8};
    platform::ScopedSeam missing(platform::DynCalls().Process32FirstA, nullptr);
    Pass();
    EXPECT_EQ(1, toolHelp_.snapshots);
    EXPECT_TRUE(gLog.opened.empty());
    EXPECT_EQ(std::vector<HANDLE>{FakeToolHelp::kSnapshot}, gLog.closed);
}

TEST_F(WorkingSets, WithoutProcess32NextOnlyTheFirstProcessIsVisited) {
    toolHelp_.processes = {4, 8};
    platform::ScopedSeam missing(platform::DynCalls().Process32NextA, nullptr);
    Pass();
    EXPECT_EQ(std::vector<DWORD>{4}, gLog.opened);
    const std::vector<HANDLE> closed{ProcessHandleFor(4), FakeToolHelp::kSnapshot};
    EXPECT_EQ(closed, gLog.closed);
}

TEST_F(WorkingSets, AFailedSnapshotIsNeitherWalkedNorClosed) {
    toolHelp_.processes = {4, 8};
    toolHelp_.snapshotResult = INVALID_HANDLE_VALUE;
    Pass();
    EXPECT_EQ(1, toolHelp_.snapshots);
    EXPECT_EQ(0, toolHelp_.firstCalls);
    EXPECT_TRUE(gLog.opened.empty());
    EXPECT_TRUE(gLog.closed.empty());
}

namespace {
int gShellState = 0;
int FakeShellState() { return gShellState; }
void WINAPI NoPause(DWORD) {}
}  // namespace

// An idle auto-free tick changes nothing, not even the interval, while its
// setting is off, and while a full-screen program, a game or a presentation
// is in front (the setting "pausefullscreen", on by default).
TEST_F(WorkingSets, UntickedOrInFullScreenAutoFreeChangesNothingNotEvenTheInterval) {
    toolHelp_.processes = {4, 8};
    app::Program program;
    program.Monitor().cpuHistory[125] = 60;
    program.AutoFreeTick();
    EXPECT_EQ(AutoFreePacer::kFirstInterval, program.Pacer().Interval());
    EXPECT_EQ(0, toolHelp_.snapshots);
    EXPECT_TRUE(gLog.opened.empty());

    settings::SettingsValue autoFree;
    autoFree.autoFree = true;
    program.SetLiveSettings(autoFree);
    program.AutoFreeTick();
    EXPECT_EQ(10000, program.Pacer().Interval());
    EXPECT_EQ(1, toolHelp_.snapshots);
    EXPECT_EQ(2u, gLog.trimmed.size());
    platform::ScopedSeam<app::NotificationStateFn> state(app::ReadNotificationState, &FakeShellState);
    program.Monitor().cpuHistory[125] = 0;  // a pass would pace at 5 s
    for (const int held : {app::kQunsBusy, app::kQunsRunningD3dFullScreen, app::kQunsPresentationMode}) {
        gShellState = held;
        program.AutoFreeTick();
    }
    EXPECT_EQ(10000, program.Pacer().Interval());
    EXPECT_EQ(1, toolHelp_.snapshots);
}

// A Smart Clean passes over the processes the setting "exclude" names, as
// read after OK in the settings dialog, by the snapshot's executable name,
// and trims every other one; a full-screen program never holds it back.
TEST_F(WorkingSets, SmartCleanPassesOverExcludedProcessesAndTrimsTheOthers) {
    freeingtest::ScratchProgram scratch;
    testsupport::ScratchFolder folder{L"exclude"};
    testsupport::SavedRegistryValue run{settings::RunKey, settings::AutostartValue};
    const auto reset = platform::OnScopeExit([] { settings::ResetSettingsForTest(); });
    settings::SettingsPath = folder / L"Brimvale.ini";
    testsupport::WriteBytes(settings::SettingsPath, "[Brimvale]\r\nexclude=Game.EXE; \"C:\\Tools\\obs64.exe\"\r\n");
    settings::SettingsIni = std::make_unique<platform::TTntIniFile>(settings::SettingsPath);
    toolHelp_.processes = {4, 8, 12, 16};
    toolHelp_.names = {{4, "explorer.exe"}, {8, "game.exe"}, {12, "OBS64.exe"}, {16, "C:\\Apps\\notepad.exe"}};
    freeingtest::FakeMemory memory{{{8192 * freeingtest::MB, 1000 * freeingtest::MB}}};
    platform::ScopedSeam<SleepFn> noPause(SmartCleanSleepCall, &NoPause);
    platform::ScopedSeam<app::NotificationStateFn> state(app::ReadNotificationState, &FakeShellState);
    gShellState = app::kQunsBusy;
    freeingtest::CleanRig rig;
    const settings::SettingsValue none;
    EXPECT_EQ(L"", rig.program.SaveSettings(none, none));
    rig.SmartClean();
    EXPECT_EQ(20u, gLog.opened.size());
    EXPECT_EQ((std::set<DWORD>{4, 16}), std::set<DWORD>(gLog.opened.begin(), gLog.opened.end()));
    EXPECT_EQ(20u, gLog.trimmed.size());
}

// ---- The real calls, counted ----

namespace {

std::multiset<HANDLE> gOpenHandles;
int gSucceededOpens = 0, gProcessCloses = 0, gOtherCloses = 0, gFailedCloses = 0;

HANDLE WINAPI CountingOpen(DWORD access, BOOL inherit, DWORD pid) {
    HANDLE h = ::OpenProcess(access, inherit, pid);
    if (h) {
        ++gSucceededOpens;
        gOpenHandles.insert(h);
    }
    return h;
}
BOOL WINAPI CountingClose(HANDLE handle) {
    auto it = gOpenHandles.find(handle);
    if (it != gOpenHandles.end()) {
        gOpenHandles.erase(it);
        ++gProcessCloses;
    } else {
        ++gOtherCloses;
    }
    const BOOL ok = ::CloseHandle(handle);
    if (!ok) ++gFailedCloses;
    return ok;
}

}  // namespace

TEST(WorkingSetsReal, AHundredPassesLeaveNoHandleOpen) {
    gOpenHandles.clear();
    gSucceededOpens = gProcessCloses = gOtherCloses = gFailedCloses = 0;
    {
        // The real trimming call, with the opens and closes counted.
        platform::ScopedSeam<OpenProcessFn> open(OpenProcessCall, &CountingOpen);
        platform::ScopedSeam<CloseHandleFn> close(CloseHandleCall, &CountingClose);
        AutoFreePacer pacer;
        for (int pass = 0; pass < 100; ++pass) FreeWorkingSets(pacer, 0);
    }

    ASSERT_GE(gSucceededOpens, 100) << "at least this process can be opened on every pass";
    EXPECT_TRUE(gOpenHandles.empty());
    EXPECT_EQ(gSucceededOpens, gProcessCloses);
    EXPECT_EQ(100, gOtherCloses);  // one snapshot per pass
    EXPECT_EQ(0, gFailedCloses);
}
