#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "FreeingTestSupport.h"
#include "freeing/DeepClean.h"
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

// What each allocation saw of the window, and what came back.
struct Allocation {
    std::size_t bytes;
    int height, max;
    bool goEnabled, rowShown;
    void* block;
};
struct Log {
    std::vector<Allocation> allocations;
    std::vector<void*> released;
    std::vector<DWORD> sleeps;
    int untouchedBlocks = 0;     // released blocks missing a page's 'a'
    int stillMapped = 0;         // real blocks the release left in place
    int allocationsAfterRelease = 0;
    int positionAtFirstRelease = -1;
    int addressQueries = 0;
} gLog;

// Tray commands, posted to the window and carried out by the pump that takes them.
enum Posted { kArmDeepClean = 1, kSmartClean, kExit };

CleanRig* gRig = nullptr;
// The real block calls, which the counting ones pass on to.
const BlockAllocateFn gRealAllocate = BlockAllocateCall;
const BlockReleaseFn gRealRelease = BlockReleaseCall;
int gFailAt = -1;                          // allocation index that fails (counted over all runs)
bool gStaticBlocks = false;                // hand out one static block again and again
std::int64_t gAddressLeft = 1024 * MB;
std::function<void(int index)> gOnAllocate;
alignas(4096) char gStaticBlock[1048576];

void* CountingAllocate(std::size_t bytes) {
    const int index = static_cast<int>(gLog.allocations.size());
    const auto& f = gRig->form;
    if (!gLog.released.empty()) ++gLog.allocationsAfterRelease;
    Allocation a{bytes, f.Height(), f.progress->Max(), f.goButton->Enabled(),
                 f.progress->Visible() && f.progressLabel->Visible(), nullptr};
    if (index != gFailAt) a.block = gStaticBlocks ? gStaticBlock : gRealAllocate(bytes);
    gLog.allocations.push_back(a);
    if (gOnAllocate) gOnAllocate(index);
    return a.block;
}

void CountingRelease(void* block) {
    if (gLog.released.empty()) gLog.positionAtFirstRelease = gRig->form.progress->Position();
    gLog.released.push_back(block);
    const char* bytes = static_cast<const char*>(block);
    for (std::size_t page = 0; page < 256; ++page) {
        if (bytes[page * 4096] != 'a') {
            ++gLog.untouchedBlocks;
            break;
        }
    }
    if (block == gStaticBlock) return;
    gRealRelease(block);
    MEMORY_BASIC_INFORMATION info{};
    if (::VirtualQuery(block, &info, sizeof info) != sizeof info || info.State != MEM_FREE)
        ++gLog.stillMapped;
}

std::int64_t FakeAddressSpaceLeft() {
    ++gLog.addressQueries;
    return gAddressLeft;
}
void WINAPI RecordingSleep(DWORD ms) { gLog.sleeps.push_back(ms); }
void WINAPI NoSleep(DWORD) {}
int gSmartPauses = 0;
// A Smart Clean pause that chooses Deep Clean from the tray at the first pass.
void WINAPI ArmingSmartPause(DWORD) {
    if (++gSmartPauses == 1) gRig->form.Post(kArmDeepClean);
}
HANDLE WINAPI RefusingOpen(DWORD, BOOL, DWORD) { return nullptr; }

class DeepCleanTest : public ::testing::Test {
protected:
    void SetUp() override {
        gLog = Log{};
        gFailAt = -1;
        gStaticBlocks = false;
        gAddressLeft = 1024 * MB;
        gOnAllocate = nullptr;
        gSmartPauses = 0;
        toolHelp_.processes = {4, 8};
        rig_ = std::make_unique<CleanRig>();
        gRig = rig_.get();
        rig_->form.OnPosted = [this](int code) { onPosted(code); };
        height_ = form().Height();
    }
    void TearDown() override {
        gOnAllocate = nullptr;
        gRig = nullptr;
        rig_.reset();
        widgets::Application.ResetTerminatedForTest();
    }
    void onPosted(int code) {
        if (code == kArmDeepClean) {
            rig_->DeepClean();
            rig_->PostDeepCleanTick();
        }
        if (code == kSmartClean) rig_->SmartClean();
        if (code == kExit) widgets::Application.Terminate();
    }
    // Arms the clean and pumps until the run it starts is over.
    void RunDeepClean() {
        rig_->DeepClean();
        rig_->PostDeepCleanTick();
        ASSERT_TRUE(freeingtest::PumpUntil([this] { return !form().classicFreeTimer->Enabled() && idle(); }));
    }
    bool idle() { return form().goButton->Enabled() && form().Height() == height_; }
    std::vector<void*> allocatedBlocks() const {
        std::vector<void*> blocks;
        for (const Allocation& a : gLog.allocations)
            if (a.block) blocks.push_back(a.block);
        return blocks;
    }
    void ExpectWindowAsBefore() {
        EXPECT_EQ(height_, form().Height());
        EXPECT_FALSE(form().progress->Visible());
        EXPECT_FALSE(form().progressLabel->Visible());
        EXPECT_EQ(0, form().progress->Position());
        EXPECT_TRUE(form().goButton->Enabled() && form().settingsButton->Enabled());
        EXPECT_FALSE(form().classicFreeTimer->Enabled());
    }
    freeingtest::CleanTestForm& form() { return rig_->form; }

    freeingtest::ScratchProgram program_;
    FakeToolHelp toolHelp_;
    // 8 MB total, all free: a target of 8 blocks.
    FakeMemory memory_{{{8 * MB, 8 * MB}}};
    std::unique_ptr<CleanRig> rig_;
    int height_ = 0;
    platform::ScopedSeam<BlockAllocateFn> allocate_{BlockAllocateCall, &CountingAllocate};
    platform::ScopedSeam<BlockReleaseFn> release_{BlockReleaseCall, &CountingRelease};
    platform::ScopedSeam<AddressSpaceLeftFn> address_{AddressSpaceLeftCall, &FakeAddressSpaceLeft};
    platform::ScopedSeam<SleepFn> deepSleep_{DeepCleanSleepCall, &RecordingSleep};
    platform::ScopedSeam<SleepFn> smartSleep_{SmartCleanSleepCall, &NoSleep};
    platform::ScopedSeam<OpenProcessFn> open_{OpenProcessCall, &RefusingOpen};
};

}  // namespace

TEST_F(DeepCleanTest, TakesTouchesAndGivesBackEveryBlockThenReports) {
    memory_.Script({{8 * MB, 8 * MB + 5}, {8 * MB, 18 * MB}});
    std::vector<std::size_t> takenAtReading, releasedAtReading;
    memory_.onRead = [&] {
        takenAtReading.push_back(gLog.allocations.size());
        releasedAtReading.push_back(gLog.released.size());
    };
    RunDeepClean();
    // The first reading before the fill, the second after the release.
    EXPECT_EQ((std::vector<std::size_t>{0, 8}), takenAtReading);
    EXPECT_EQ((std::vector<std::size_t>{0, 8}), releasedAtReading);

    ASSERT_EQ(8u, gLog.allocations.size());
    for (const Allocation& a : gLog.allocations) {
        EXPECT_EQ(static_cast<std::size_t>(MB), a.bytes);
        EXPECT_EQ(height_ + 20, a.height);
        EXPECT_EQ(7, a.max);
        EXPECT_FALSE(a.goEnabled);
        EXPECT_TRUE(a.rowShown);
    }
    // All released at once after the fill, in slot order, really given back.
    EXPECT_EQ(allocatedBlocks(), gLog.released);
    EXPECT_EQ(0, gLog.allocationsAfterRelease);
    EXPECT_EQ(7, gLog.positionAtFirstRelease);
    EXPECT_EQ(0, gLog.untouchedBlocks);
    EXPECT_EQ(0, gLog.stillMapped);
    EXPECT_TRUE(gLog.sleeps.empty());  // fewer than 50 blocks
    EXPECT_EQ(1, gLog.addressQueries);
    EXPECT_EQ(2, memory_.calls);

    EXPECT_EQ(L"10", form().number->Caption());
    EXPECT_TRUE(form().number->Visible());
    EXPECT_EQ(L"MB memory has been released.", form().released->Caption());
    ExpectWindowAsBefore();
    EXPECT_FALSE(form().freeTimer->Enabled());  // Deep Clean leaves the auto-free timer alone
}

TEST_F(DeepCleanTest, TheTargetComesFromTheFirstReading) {
    // 8,192 MB total and 3,072 MB free give 3,712 blocks: stop at the 4th.
    memory_.Script({{8192 * MB, 3072 * MB}, {8192 * MB, 3072 * MB}});
    gAddressLeft = std::int64_t{1} << 40;  // room for every block: the target alone sets the bar
    gFailAt = 3;
    RunDeepClean();
    ASSERT_EQ(4u, gLog.allocations.size());
    EXPECT_EQ(3711, gLog.allocations[0].max);
    EXPECT_EQ(3u, gLog.released.size());
}

TEST_F(DeepCleanTest, OneBlockAndNoGain) {
    memory_.Script({{MB, MB}, {MB, MB + MB - 1}});
    RunDeepClean();
    ASSERT_EQ(1u, gLog.allocations.size());
    EXPECT_EQ(0, gLog.allocations[0].max);
    EXPECT_EQ(1u, gLog.released.size());
    EXPECT_EQ(L"No memory has been released.", form().released->Caption());
    EXPECT_FALSE(form().number->Visible());
    ExpectWindowAsBefore();
}

TEST_F(DeepCleanTest, AFailedAllocationEndsTheFillAndExactlyTheBlocksTakenAreReleased) {
    gFailAt = 5;
    RunDeepClean();
    EXPECT_EQ(6u, gLog.allocations.size());  // nothing tried after the failure
    EXPECT_EQ(5u, gLog.released.size());
    EXPECT_EQ(allocatedBlocks(), gLog.released);
    EXPECT_EQ(4, gLog.positionAtFirstRelease);  // the bar stopped short of 7
    EXPECT_EQ(0, gLog.stillMapped);
    EXPECT_TRUE(form().released->Visible());
    ExpectWindowAsBefore();
}

TEST_F(DeepCleanTest, TheFillLeavesSixtyFourMegabytesOfAddressSpace) {
    gAddressLeft = 64 * MB + 3 * MB + MB / 2;
    RunDeepClean();
    ASSERT_EQ(3u, gLog.allocations.size());
    EXPECT_EQ(3u, gLog.released.size());
    // The bar's end is the last block the reserve lets the fill take, and
    // the bar reaches it; the target alone (8 blocks) would end at 7.
    EXPECT_EQ(2, gLog.allocations[0].max);
    EXPECT_EQ(2, gLog.positionAtFirstRelease);
    EXPECT_EQ(1, gLog.addressQueries);  // asked once, then counted down
    EXPECT_TRUE(form().released->Visible());
    ExpectWindowAsBefore();

    gLog = Log{};
    gAddressLeft = 64 * MB;
    RunDeepClean();
    EXPECT_TRUE(gLog.allocations.empty());
    EXPECT_TRUE(gLog.released.empty());
}

// From the command line with no copy running: no window, the same pauses
// and address-space reserve, exit code 1 when not one block could be taken.
TEST_F(DeepCleanTest, WithoutAWindowItKeepsItsPausesAndReserveAndItsExitCodeSaysWhetherItRan) {
    memory_.Script({{120 * MB, 120 * MB}});
    gAddressLeft = kAddressSpaceReserve + 100 * MB;
    EXPECT_EQ(0, CleanWithoutWindow(platform::CleanSwitch::Deep));
    EXPECT_EQ(100u, gLog.allocations.size());
    EXPECT_EQ((std::vector<DWORD>{50, 50}), gLog.sleeps);
    EXPECT_EQ(allocatedBlocks(), gLog.released);
    EXPECT_FALSE(form().released->Visible());
    gFailAt = 100;  // the next run's first block
    EXPECT_EQ(1, CleanWithoutWindow(platform::CleanSwitch::Deep));
    ExpectWindowAsBefore();
}

TEST_F(DeepCleanTest, ATargetAboveTheTableIsCutToItsSlots) {
    memory_.Script({{20000 * MB, 20000 * MB}, {20000 * MB, 20000 * MB}});
    gStaticBlocks = true;
    gAddressLeft = std::int64_t{1} << 40;  // room for every slot
    RunDeepClean();
    EXPECT_EQ(16385u, gLog.allocations.size());
    EXPECT_EQ(16384, gLog.allocations.front().max);
    EXPECT_EQ(16385u, gLog.released.size());
    EXPECT_EQ(16384, gLog.positionAtFirstRelease);
    EXPECT_EQ(std::vector<DWORD>(16385 / 50, 50), gLog.sleeps);  // after every 50th block
    ExpectWindowAsBefore();
}

TEST_F(DeepCleanTest, NoMemoryFiguresMeansNoFillAndTheNoGainReport) {
    memory_.Script({{0, 0}});
    RunDeepClean();
    EXPECT_TRUE(gLog.allocations.empty());
    EXPECT_TRUE(gLog.released.empty());
    EXPECT_EQ(0, form().progress->Max());
    EXPECT_EQ(0, form().progress->Min());
    EXPECT_EQ(L"No memory has been released.", form().released->Caption());
    EXPECT_TRUE(form().released->Visible());
    ExpectWindowAsBefore();
}

TEST_F(DeepCleanTest, ChoosingItTwiceBeforeTheTickGivesOneRun) {
    rig_->DeepClean();
    rig_->DeepClean();
    EXPECT_TRUE(form().classicFreeTimer->Enabled());
    EXPECT_EQ(100u, form().classicFreeTimer->Interval());
    EXPECT_TRUE(gLog.allocations.empty());  // the click only arms the timer
    // Let the timer fire by itself, then give it time to fire again.
    ASSERT_TRUE(freeingtest::PumpUntil([this] { return memory_.calls == 2 && idle(); }));
    freeingtest::PumpFor(350);
    EXPECT_EQ(2, memory_.calls);
    EXPECT_EQ(8u, gLog.allocations.size());
    EXPECT_EQ(8u, gLog.released.size());
    ExpectWindowAsBefore();
}

TEST_F(DeepCleanTest, ReArmedDuringARunItRunsOnceMoreInsideTheFirst) {
    std::vector<int> heights;
    gOnAllocate = [this, &heights](int index) {
        heights.push_back(form().Height());
        if (index == 2) form().Post(kArmDeepClean);  // taken by this block's pump
    };
    RunDeepClean();
    freeingtest::PumpFor(350);
    EXPECT_EQ(16u, gLog.allocations.size());
    EXPECT_EQ(16u, gLog.released.size());
    EXPECT_EQ(0, gLog.stillMapped);
    EXPECT_EQ(2, gLog.addressQueries);
    EXPECT_EQ(4, memory_.calls);
    // Only the outer run grew the window; the inner one left Go! and the
    // row to it.
    EXPECT_EQ(height_ + 20, *std::max_element(heights.begin(), heights.end()));
    for (const Allocation& a : gLog.allocations) {
        EXPECT_FALSE(a.goEnabled);
        EXPECT_TRUE(a.rowShown);
    }
    // The inner run gave its 8 blocks back before the outer took its 4th.
    const std::vector<void*> blocks = allocatedBlocks();
    EXPECT_EQ(std::vector<void*>(blocks.begin() + 3, blocks.begin() + 11),
              std::vector<void*>(gLog.released.begin(), gLog.released.begin() + 8));
    ExpectWindowAsBefore();
}

TEST_F(DeepCleanTest, ASmartCleanChosenDuringTheFillRunsInsideIt) {
    gOnAllocate = [this](int index) {
        if (index == 1) form().Post(kSmartClean);
    };
    // Deep first, Smart before, Smart after, Deep second.
    memory_.Script({{8 * MB, 8 * MB}, {8 * MB, 8 * MB}, {8 * MB, 9 * MB}, {8 * MB, 11 * MB}});
    RunDeepClean();
    EXPECT_EQ(4, memory_.calls);
    EXPECT_EQ(8u, gLog.released.size());
    EXPECT_TRUE(form().freeTimer->Enabled());  // set by the Smart Clean
    EXPECT_EQ(L"3", form().number->Caption());  // the Deep Clean's report came last
    // The Smart Clean inside put the bar's range back: the fill's later
    // blocks still count up to the Deep Clean's own maximum.
    for (const Allocation& a : gLog.allocations) {
        EXPECT_EQ(gLog.allocations[0].max, a.max);
        EXPECT_FALSE(a.goEnabled);
        EXPECT_EQ(height_ + 20, a.height);
    }
    ExpectWindowAsBefore();
}

TEST_F(DeepCleanTest, ADeepCleanChosenDuringASmartCleanRunsInItsNextPump) {
    platform::ScopedSeam<SleepFn> arming(SmartCleanSleepCall, &ArmingSmartPause);
    // Smart before, Deep first, Deep second, Smart after.
    memory_.Script({{8 * MB, 8 * MB}, {8 * MB, 8 * MB}, {8 * MB, 9 * MB}, {8 * MB, 15 * MB}});
    rig_->SmartClean();
    EXPECT_EQ(10, gSmartPauses);
    EXPECT_EQ(4, memory_.calls);
    EXPECT_EQ(8u, gLog.allocations.size());
    EXPECT_EQ(8u, gLog.released.size());
    for (const Allocation& a : gLog.allocations) EXPECT_EQ(height_ + 20, a.height);
    EXPECT_EQ(L"7", form().number->Caption());  // the Smart Clean's report came last
    ExpectWindowAsBefore();
}

TEST_F(DeepCleanTest, ExitDuringTheFillStopsItAtThatBlockAndGivesEverythingBack) {
    gOnAllocate = [this](int index) {
        if (index == 3) form().Post(kExit);
    };
    RunDeepClean();
    EXPECT_EQ(4u, gLog.allocations.size());
    EXPECT_EQ(allocatedBlocks(), gLog.released);
    EXPECT_EQ(1, memory_.calls);  // no reading after, and no report
    EXPECT_FALSE(form().released->Visible());
    ExpectWindowAsBefore();
    EXPECT_TRUE(widgets::Application.Terminated());
    EXPECT_TRUE(freeingtest::QuitWaiting());  // put back for the loop outside
}

TEST(DeepCleanAddressSpace, CountsFreeRangesInWholeBlocks) {
    const std::int64_t before = AddressSpaceLeft();
    EXPECT_GT(before, 64 * MB);
    if (sizeof(void*) == 8) {
        // Room for the whole table and the reserve: the address space never
        // stops a 64-bit fill before the memory or the table does.
        EXPECT_GT(before, (16385 + 64) * MB);
    } else {
        EXPECT_LE(before, 4096 * MB);
    }
    void* held = ::VirtualAlloc(nullptr, 16 * MB, MEM_RESERVE, PAGE_NOACCESS);
    ASSERT_NE(nullptr, held);
    const std::int64_t during = AddressSpaceLeft();
    ::VirtualFree(held, 0, MEM_RELEASE);
    EXPECT_LE(during, before - 16 * MB);
    EXPECT_EQ(0, during % MB);
}
