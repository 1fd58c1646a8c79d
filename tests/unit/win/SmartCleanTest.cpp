#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "FreeingTestSupport.h"
#include "freeing/SmartClean.h"
#include "freeing/CommandLineClean.h"
#include "freeing/WorkingSets.h"
#include "widgets/Application.h"

using namespace freeing;
using freeingtest::CleanRig;
using freeingtest::FakeMemory;
using freeingtest::FakeToolHelp;
using freeingtest::MB;

namespace {

// What the window looked like at each pause of a Smart Clean.
struct Pause {
    DWORD ms;
    int position, max;
    bool rowShown, goEnabled, settingsEnabled;
    int height;
};
std::vector<Pause> gPauses;
CleanRig* gRig = nullptr;
std::function<void(int pauseIndex)> gOnPause;

void WINAPI RecordingSleep(DWORD ms) {
    const auto& f = gRig->form;
    gPauses.push_back({ms, f.progress->Position(), f.progress->Max(),
                       f.progress->Visible() && f.progressLabel->Visible(), f.goButton->Enabled(),
                       f.settingsButton->Enabled(), f.Height()});
    if (gOnPause) gOnPause(static_cast<int>(gPauses.size()) - 1);
}
HANDLE WINAPI RefusingOpen(DWORD, BOOL, DWORD) { return nullptr; }

enum Posted { kSmartClean = 1, kExit, kQuitMessage };

class SmartCleanTest : public ::testing::Test {
protected:
    void SetUp() override {
        gPauses.clear();
        gOnPause = nullptr;
        toolHelp_.processes = {4, 8, 12};
        makeRig();
    }
    void TearDown() override {
        gOnPause = nullptr;
        gRig = nullptr;
        rig_.reset();
        widgets::Application.ResetTerminatedForTest();
    }
    void makeRig() {
        gRig = nullptr;
        rig_.reset();
        rig_ = std::make_unique<CleanRig>();
        gRig = rig_.get();
        rig_->form.OnPosted = [this](int code) { onPosted(code); };
    }
    void onPosted(int code) {
        if (code == kSmartClean) rig_->SmartClean();
        if (code == kExit) widgets::Application.Terminate();
        if (code == kQuitMessage) ::PostQuitMessage(0);
    }
    std::vector<int> positions() const {
        std::vector<int> p;
        for (const Pause& pause : gPauses) p.push_back(pause.position);
        return p;
    }
    freeingtest::CleanTestForm& form() { return rig_->form; }
    void SmartClean() { rig_->SmartClean(); }
    void Report(std::int32_t released) { rig_->progress.Report(released); }

    freeingtest::ScratchProgram program_;
    FakeToolHelp toolHelp_;
    FakeMemory memory_{{{8192 * MB, 1000 * MB}}};
    std::unique_ptr<CleanRig> rig_;
    platform::ScopedSeam<SleepFn> sleep_{SmartCleanSleepCall, &RecordingSleep};
    platform::ScopedSeam<OpenProcessFn> open_{OpenProcessCall, &RefusingOpen};
};

const std::vector<int> kTenSteps{10, 20, 30, 40, 50, 60, 70, 80, 90, 100};

}  // namespace

TEST_F(SmartCleanTest, TenPassesTenPercentApartThenTheWindowIsAsBefore) {
    std::vector<int> positionAtWalk;
    toolHelp_.onSnapshot = [&] { positionAtWalk.push_back(form().progress->Position()); };
    const int height = form().Height();
    ASSERT_FALSE(form().freeTimer->Enabled());

    SmartClean();

    EXPECT_EQ(kTenSteps, positions());
    EXPECT_EQ(kTenSteps, positionAtWalk);  // one trimming pass per step, after the bar moved
    for (const Pause& pause : gPauses) {
        EXPECT_EQ(100u, pause.ms);
        EXPECT_EQ(100, pause.max);
        EXPECT_TRUE(pause.rowShown);
        EXPECT_FALSE(pause.goEnabled || pause.settingsEnabled);
        EXPECT_EQ(height + 20, pause.height);
    }
    EXPECT_EQ(height, form().Height());
    EXPECT_FALSE(form().progress->Visible());
    EXPECT_FALSE(form().progressLabel->Visible());
    EXPECT_EQ(0, form().progress->Position());
    EXPECT_TRUE(form().goButton->Enabled() && form().settingsButton->Enabled());
    // Enabled whatever the auto-free setting; its ticks decide for themselves.
    EXPECT_TRUE(form().freeTimer->Enabled());
    EXPECT_EQ(2, memory_.calls);  // one reading before, one after
    // The tray saw it begin, step and end, and had its report.
    std::vector<int> states{0};
    states.insert(states.end(), kTenSteps.begin(), kTenSteps.end());
    states.push_back(-1);
    EXPECT_EQ(states, rig_->cleanStates);
    EXPECT_EQ(1u, rig_->trayReports.size());
    // Another start's request runs the same clean without a tray report.
    rig_->SmartClean(app::CleanOrigin::OtherStart);
    EXPECT_EQ(20u, gPauses.size());
    EXPECT_EQ(1u, rig_->trayReports.size());
}

// From the command line with no copy running: ten passes with no window,
// exit code 0, or 1 without a process list or without a memory status.
TEST_F(SmartCleanTest, WithoutAWindowItTrimsTenTimesAndItsExitCodeSaysWhetherItCould) {
    EXPECT_EQ(0, CleanWithoutWindow(platform::CleanSwitch::Smart));
    EXPECT_EQ(10, toolHelp_.snapshots);
    EXPECT_EQ(10u, gPauses.size());
    EXPECT_FALSE(form().freeTimer->Enabled());
    EXPECT_FALSE(form().released->Visible());
    toolHelp_.snapshotResult = INVALID_HANDLE_VALUE;
    EXPECT_EQ(1, CleanWithoutWindow(platform::CleanSwitch::Smart));
    toolHelp_.snapshotResult = FakeToolHelp::kSnapshot;
    memory_.Script({{0, 0}});
    EXPECT_EQ(1, CleanWithoutWindow(platform::CleanSwitch::Smart));
}

TEST_F(SmartCleanTest, AGainIsShownInNavyWithTheTextSevenPixelsAfterIt) {
    memory_.Script({{8192 * MB, 1000 * MB + 5}, {8192 * MB, 1123 * MB + 7}});
    SmartClean();
    EXPECT_EQ(L"123", form().number->Caption());
    EXPECT_EQ(widgets::clNavy, form().number->Font().color);
    EXPECT_EQ(0x800000u, form().number->Font().color);
    EXPECT_TRUE(form().number->Font().bold);
    EXPECT_TRUE(form().numberBefore->Visible());
    EXPECT_TRUE(form().number->Visible());
    EXPECT_TRUE(form().released->Visible());
    EXPECT_EQ(L"MB memory has been released.", form().released->Caption());
    ASSERT_GT(form().number->Width(), 0);
    EXPECT_EQ(form().number->Left() + form().number->Width() + 7, form().released->Left());
}

TEST_F(SmartCleanTest, GainsAboveFourGigabytesAreMeasuredInSixtyFourBits) {
    memory_.Script({{16384 * MB, 5 * 1024 * MB}, {16384 * MB, 8 * 1024 * MB}});
    SmartClean();
    EXPECT_EQ(L"3072", form().number->Caption());
}

TEST_F(SmartCleanTest, NoGainAfterAGainHidesTheNumberAndStartsTheTextWhereItWas) {
    memory_.Script({{8192 * MB, 1000 * MB}, {8192 * MB, 1040 * MB}});
    SmartClean();
    ASSERT_EQ(L"40", form().number->Caption());
    const int wideLeft = form().released->Left();
    ASSERT_NE(form().number->Left(), wideLeft);

    // Both readings in one megabyte: nothing released.
    memory_.Script({{8192 * MB, 1040 * MB}, {8192 * MB, 1040 * MB + MB - 1}});
    SmartClean();
    EXPECT_EQ(L"No memory has been released.", form().released->Caption());
    EXPECT_EQ(form().number->Left(), form().released->Left());
    EXPECT_FALSE(form().number->Visible());
    EXPECT_TRUE(form().released->Visible());
    EXPECT_TRUE(form().numberBefore->Visible());  // not touched by this report

    // A loss reads the same; a few kilobytes across a boundary count as one.
    memory_.Script({{8192 * MB, 1040 * MB}, {8192 * MB, 1000 * MB}});
    SmartClean();
    EXPECT_EQ(L"No memory has been released.", form().released->Caption());
    memory_.Script({{8192 * MB, 1041 * MB - 4096}, {8192 * MB, 1041 * MB + 4096}});
    SmartClean();
    EXPECT_EQ(L"1", form().number->Caption());
    EXPECT_TRUE(form().number->Visible());
    EXPECT_EQ(form().number->Left() + form().number->Width() + 7, form().released->Left());
}

TEST_F(SmartCleanTest, TheReportOnItsOwn) {
    Report(-3);
    EXPECT_EQ(L"No memory has been released.", form().released->Caption());
    EXPECT_FALSE(form().numberBefore->Visible());  // left as it was
    EXPECT_FALSE(form().number->Visible());
    EXPECT_TRUE(form().released->Visible());
    EXPECT_EQ(form().number->Left(), form().released->Left());

    form().number->SetFontColor(widgets::clRed);
    Report(2147483647);
    EXPECT_EQ(L"2147483647", form().number->Caption());
    EXPECT_EQ(widgets::clNavy, form().number->Font().color);
    const int longWidth = form().number->Width();
    Report(7);
    EXPECT_EQ(L"7", form().number->Caption());
    EXPECT_LT(form().number->Width(), longWidth);  // the label fits its new text
    EXPECT_EQ(form().number->Left() + form().number->Width() + 7, form().released->Left());
}

TEST_F(SmartCleanTest, TextsComeFromTheLanguageFileUnderTheirKeys) {
    program_.MakeLanguageFile(L"MemoryReleased=MB freigegeben.\r\nNoMemoryReleased=Nichts frei.\r\n");
    makeRig();
    Report(5);
    EXPECT_EQ(L"MB freigegeben.", form().released->Caption());
    Report(0);
    EXPECT_EQ(L"Nichts frei.", form().released->Caption());
}

TEST_F(SmartCleanTest, ABusyProcessorTrimsNothingButTheBarStillRuns) {
    rig_->program.Pacer().Pace(40);  // the auto-free's last pace: 7 s
    rig_->program.Monitor().cpuHistory[125] = 90;
    SmartClean();
    EXPECT_EQ(kTenSteps, positions());
    EXPECT_EQ(0, toolHelp_.snapshots);
    EXPECT_EQ(7000u, form().freeTimer->Interval());
    EXPECT_TRUE(form().freeTimer->Enabled());
}

TEST_F(SmartCleanTest, ASmartCleanChosenDuringOneRunsInsideItThenTheOuterGoesOn) {
    // Outer before, inner before, inner after, outer after.
    memory_.Script({{8192 * MB, 1000 * MB}, {8192 * MB, 1000 * MB}, {8192 * MB, 1004 * MB},
                    {8192 * MB, 1010 * MB}});
    gOnPause = [this](int index) {
        if (index == 0) form().Post(kSmartClean);  // taken by the second pass's pump
    };
    const int height = form().Height();
    SmartClean();

    std::vector<int> expected{10};
    expected.insert(expected.end(), kTenSteps.begin(), kTenSteps.end());
    // The inner run put the bar back where it found it.
    expected.insert(expected.end(), kTenSteps.begin() + 1, kTenSteps.end());
    EXPECT_EQ(expected, positions());
    // Only the outer run grew the window; the row and a disabled Go! stayed
    // until it ended.
    for (const Pause& pause : gPauses) {
        EXPECT_EQ(height + 20, pause.height);
        EXPECT_TRUE(pause.rowShown);
        EXPECT_FALSE(pause.goEnabled);
    }
    EXPECT_EQ(height, form().Height());
    EXPECT_EQ(4, memory_.calls);
    EXPECT_EQ(L"10", form().number->Caption());  // the outer run's own gain
    EXPECT_TRUE(form().goButton->Enabled());
    EXPECT_FALSE(form().progress->Visible());
}

TEST_F(SmartCleanTest, ExitDuringACleanStopsItAtTheNextPassWithoutAReport) {
    memory_.Script({{8192 * MB, 1000 * MB}, {8192 * MB, 1002 * MB}});
    gOnPause = [this](int index) {
        if (index == 2) form().Post(kExit);
    };
    const int height = form().Height();
    SmartClean();
    EXPECT_EQ(std::vector<int>({10, 20, 30}), positions());  // taken by the fourth pass's pump
    EXPECT_FALSE(form().released->Visible());
    EXPECT_EQ(height, form().Height());
    EXPECT_TRUE(form().goButton->Enabled() && form().settingsButton->Enabled());
    EXPECT_TRUE(widgets::Application.Terminated());
    SmartClean();  // chosen while the program ends: does not start
    EXPECT_EQ(3u, gPauses.size());
    // Put back by the clean's pump: a modal loop the clean returns to ends too.
    EXPECT_TRUE(freeingtest::QuitWaiting());
}

TEST_F(SmartCleanTest, AQuitMessageTakenByTheCleansPumpIsKeptAndStopsIt) {
    gOnPause = [this](int index) {
        if (index == 0) form().Post(kQuitMessage);
    };
    ASSERT_FALSE(widgets::Application.Terminated());
    SmartClean();
    EXPECT_EQ(std::vector<int>{10}, positions());
    EXPECT_TRUE(widgets::Application.Terminated());
    EXPECT_TRUE(freeingtest::QuitWaiting());
}

TEST_F(SmartCleanTest, AWindowTheSystemWillNotGrowGetsItsOwnHeightBack) {
    // As tall as the system lets a window be: the 20 pixels cannot be added.
    form().SetHeight(100000);
    const int height = form().Height();
    ASSERT_LT(height, 100000);
    SmartClean();
    EXPECT_EQ(height, form().Height());
}

// A low-memory warning and a clean's report due in the same tick both reach
// the tray: the warning first, the report at the next tick.
TEST_F(SmartCleanTest, AWarningAndAReportDueTogetherBothReachTheTrayTheWarningFirst) {
    monitor::TickReadings high;
    high.pageFile = {5 * MB, 100 * MB};  // 95 % of the commit limit in use
    (void)rig_->program.Tick(high, {});
    ASSERT_EQ(1u, rig_->trayWarnings.size());
    SmartClean();
    EXPECT_TRUE(rig_->trayReports.empty());
    (void)rig_->program.Tick(high, {});
    EXPECT_EQ(1u, rig_->trayReports.size());
    EXPECT_EQ(1u, rig_->trayWarnings.size());
}
