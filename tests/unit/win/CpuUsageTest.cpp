#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "probes/unitUseage.h"
#include "widgets/Seam.h"

using namespace probes;

namespace {

// The documented basic-information record: its pointers make it 44 bytes in
// a 32-bit process and 64 in a 64-bit one.
struct BasicInformationLayout {
    BYTE Reserved1[24];
    PVOID Reserved2[4];
    CCHAR NumberOfProcessors;
};
constexpr ULONG kBasicSize = sizeof(BasicInformationLayout);
constexpr size_t kProcessorsOffset = offsetof(BasicInformationLayout, NumberOfProcessors);

// Counters the fake query reports, and what it was asked.
struct FakeSystem {
    uint8_t processors = 2;
    int64_t clock = 133444555666777777;
    int64_t idle = 5000000000;
    ULONG failClass = 0xFFFFFFFF;  // the class whose query fails, if any
    std::vector<ULONG> classes;
    std::vector<ULONG> lengths;
    bool returnLengthPassed = false;
    DWORD allProcessors = 0;  // what the count of all processor groups reports
    int allProcessorsAsked = 0;
};
FakeSystem gFake;

DWORD FakeAllProcessors() {
    ++gFake.allProcessorsAsked;
    return gFake.allProcessors;
}

LONG WINAPI FakeQuery(ULONG infoClass, PVOID buffer, ULONG length, PULONG returnLength) {
    gFake.classes.push_back(infoClass);
    gFake.lengths.push_back(length);
    if (returnLength) gFake.returnLengthPassed = true;
    if (infoClass == gFake.failClass) return static_cast<LONG>(0xC0000004);
    auto* bytes = static_cast<unsigned char*>(buffer);
    std::memset(bytes, 0xEE, length);  // every unused field holds noise
    if (infoClass == 0 && length >= kBasicSize) bytes[kProcessorsOffset] = gFake.processors;
    if (infoClass == 3 && length >= 16) {
        const int64_t boot = 1;  // offset 0 must not be mistaken for the clock
        std::memcpy(bytes, &boot, 8);
        std::memcpy(bytes + 8, &gFake.clock, 8);
    }
    if (infoClass == 2 && length >= 8) std::memcpy(bytes, &gFake.idle, 8);
    return 0;
}

int gLookups = 0;
NtQueryFn MissingLookup() {
    ++gLookups;
    return nullptr;
}
NtQueryFn FakeLookup() {
    ++gLookups;
    return &FakeQuery;
}

class CpuUsage : public ::testing::Test {
protected:
    void SetUp() override {
        gFake = FakeSystem{};
        gLookups = 0;
        ResetCpuUsageForTest();
    }
    void TearDown() override { ResetCpuUsageForTest(); }
    // Advances the fake counters by one interval.
    void Advance(int64_t elapsed, int64_t idle) {
        gFake.clock += elapsed;
        gFake.idle += idle;
    }

private:
    widgets::ScopedSeam<NtQueryFn> query_{NtQuery, &FakeQuery};
    widgets::ScopedSeam<AllProcessorsFn> allProcessors_{AllProcessors, &FakeAllProcessors};
};

// The query entry back to "not resolved yet" for one test.
struct Unresolved : widgets::ScopedSeam<NtQueryFn> {
    Unresolved() : ScopedSeam(NtQuery, nullptr) {}
};

}  // namespace

TEST_F(CpuUsage, FirstCallSetsTheBaselineAndTheSecondMeasures) {
    EXPECT_EQ(0, GetCpuUsage());
    Advance(10000000, 15000000);
    EXPECT_EQ(25, GetCpuUsage());
    Advance(10000000, 0);
    EXPECT_EQ(100, GetCpuUsage());
    Advance(10000000, 20000000);
    EXPECT_EQ(0, GetCpuUsage());
}

TEST_F(CpuUsage, QueriesTheThreeClassesInOrderWithExactSizesAndNoReturnLength) {
    GetCpuUsage();
    GetCpuUsage();
    EXPECT_EQ((std::vector<ULONG>{0, 3, 2, 0, 3, 2}), gFake.classes);
    EXPECT_EQ((std::vector<ULONG>{kBasicSize, 32, 312, kBasicSize, 32, 312}), gFake.lengths);
    EXPECT_FALSE(gFake.returnLengthPassed);
}

TEST_F(CpuUsage, ReadsTheProcessorCountFromItsRecord) {
    gFake.processors = 4;
    GetCpuUsage();
    Advance(10000000, 30000000);  // 3 of 4 processors idle
    EXPECT_EQ(25, GetCpuUsage());
}

// A 32-bit process on a 64-thread machine is told of 32 processors while
// the idle time covers all 64: the count of all processor groups is asked
// at the first sample that shows it, and kept.
TEST_F(CpuUsage, TooMuchIdleTimeForTheCountTakesTheCountOfAllProcessorGroups) {
    const struct {
        uint8_t told;
        DWORD all;
        int64_t idle;  // over one second
        int expected;
        int halfIdle;  // the figure when half that idle time follows
    } cases[] = {
        {32, 64, 480000000, 25, 62},  // 48 of 64 idle; with 32 it would read -50
        {32, 64, 640000000, 0, 50},
        {32, 0, 480000000, -50, 25},  // no count of all groups (before Windows 7): as before
        {32, 16, 480000000, -50, 25},  // a smaller count is never taken
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.all);
        ResetCpuUsageForTest();
        gFake = FakeSystem{};
        gFake.processors = c.told;
        gFake.allProcessors = c.all;
        GetCpuUsage();
        Advance(10000000, 320000000);  // exactly 32 idle: nothing shows the count is short
        EXPECT_EQ(0, GetCpuUsage());
        EXPECT_EQ(0, gFake.allProcessorsAsked);
        Advance(10000000, c.idle);
        EXPECT_EQ(c.expected, GetCpuUsage());
        EXPECT_EQ(1, gFake.allProcessorsAsked);
        Advance(10000000, 0);  // fully busy: the count stays, and is not asked again
        EXPECT_EQ(100, GetCpuUsage());
        Advance(10000000, c.idle / 2);
        EXPECT_EQ(c.halfIdle, GetCpuUsage());
        EXPECT_EQ(1, gFake.allProcessorsAsked);
    }
}

TEST_F(CpuUsage, SlightlyTooMuchIdleTimeIsPassedThroughAsMinusOne) {
    gFake.processors = 1;
    GetCpuUsage();
    Advance(10000000, 10040000);
    EXPECT_EQ(-1, GetCpuUsage());
}

TEST_F(CpuUsage, TwoCallsWithinOneClockTick) {
    GetCpuUsage();
    EXPECT_EQ(100, GetCpuUsage());  // neither counter moved
    Advance(0, 3);
    EXPECT_EQ(-50, GetCpuUsage());  // 100 - 3 x 100 / 2
}

TEST_F(CpuUsage, AFailedQueryGivesZeroAndKeepsTheBaseline) {
    for (ULONG failing : {0ul, 3ul, 2ul}) {
        SCOPED_TRACE(failing);
        ResetCpuUsageForTest();
        gFake.failClass = 0xFFFFFFFF;
        GetCpuUsage();  // baseline
        Advance(10000000, 20000000);
        gFake.failClass = failing;
        gFake.classes.clear();
        EXPECT_EQ(0, GetCpuUsage());
        // Each query runs only when the one before succeeded.
        const std::vector<ULONG> all{0, 3, 2};
        const size_t asked = failing == 0 ? 1 : failing == 3 ? 2 : 3;
        EXPECT_EQ(std::vector<ULONG>(all.begin(), all.begin() + asked), gFake.classes);
        // The next success measures from the baseline, over both intervals:
        // 20M idle (first interval) + 0 over 20M elapsed on 2 processors.
        gFake.failClass = 0xFFFFFFFF;
        Advance(10000000, 0);
        EXPECT_EQ(50, GetCpuUsage());
    }
}

TEST_F(CpuUsage, AFailureBeforeAnyBaselineStillLeavesTheFirstSuccessAtZero) {
    gFake.failClass = 2;
    EXPECT_EQ(0, GetCpuUsage());
    gFake.failClass = 0xFFFFFFFF;
    EXPECT_EQ(0, GetCpuUsage());  // baseline only
    Advance(10000000, 0);
    EXPECT_EQ(100, GetCpuUsage());
}

TEST_F(CpuUsage, AMissingQueryFunctionGivesZeroEveryCall) {
    Unresolved unresolved;
    widgets::ScopedSeam<NtQueryLookupFn> missing(NtQueryLookup, &MissingLookup);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(0, GetCpuUsage());
    EXPECT_EQ(3, gLookups);  // still unresolved: each call looks again
    EXPECT_TRUE(gFake.classes.empty());
    // Once it is found it is kept, and no baseline was set meanwhile.
    widgets::ScopedSeam<NtQueryLookupFn> found(NtQueryLookup, &FakeLookup);
    EXPECT_EQ(0, GetCpuUsage());
    Advance(10000000, 0);
    EXPECT_EQ(100, GetCpuUsage());
    EXPECT_EQ(4, gLookups);
}

TEST_F(CpuUsage, LooksUpNtQuerySystemInformationInNtdll) {
    Unresolved unresolved;
    GetCpuUsage();
    const FARPROC expected =
        ::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation");
    ASSERT_NE(nullptr, expected);
    EXPECT_EQ(reinterpret_cast<void*>(expected), reinterpret_cast<void*>(NtQuery));
}

TEST_F(CpuUsage, RealCountersGiveZeroThenAPlausiblePercentage) {
    Unresolved unresolved;
    EXPECT_EQ(0, GetCpuUsage());
    ::Sleep(300);
    const int usage = GetCpuUsage();
    // Idle time is sampled in coarse steps, so a quiet machine may read a
    // little below 0; anything far outside 0..100 means misread records.
    EXPECT_GE(usage, -20);
    EXPECT_LE(usage, 100);
}

namespace {

// The real query, with its outcome recorded and the idle time replaced by
// "every processor idle the whole time": the processor count times the real
// clock. The sampler then reads 0 % exactly when each real query succeeded
// with its record size and the count and both counters were read from their
// right places in the real records.
NtQueryFn gRealQuery = nullptr;
std::vector<LONG> gRealStatuses;
int64_t gRealClock = 0;
LONG WINAPI AllIdleRealQuery(ULONG infoClass, PVOID buffer, ULONG length, PULONG returnLength) {
    const LONG status = gRealQuery(infoClass, buffer, length, returnLength);
    gRealStatuses.push_back(status);
    auto* bytes = static_cast<unsigned char*>(buffer);
    if (infoClass == 3 && status == 0) std::memcpy(&gRealClock, bytes + 8, 8);
    if (infoClass == 2 && status == 0) {
        SYSTEM_INFO info{};
        ::GetSystemInfo(&info);
        const int64_t idle = gRealClock * static_cast<int64_t>(info.dwNumberOfProcessors);
        std::memcpy(bytes, &idle, 8);
    }
    return status;
}

}  // namespace

TEST_F(CpuUsage, EachRealQuerySucceedsAndGivesTheProcessorCountAndTheCounters) {
    gRealQuery = reinterpret_cast<NtQueryFn>(reinterpret_cast<void (*)()>(
        ::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    ASSERT_NE(nullptr, gRealQuery);
    gRealStatuses.clear();
    widgets::ScopedSeam<NtQueryFn> allIdle(NtQuery, &AllIdleRealQuery);
    EXPECT_EQ(0, GetCpuUsage());
    ::Sleep(100);
    EXPECT_EQ(0, GetCpuUsage());
    EXPECT_EQ((std::vector<LONG>{0, 0, 0, 0, 0, 0}), gRealStatuses);
}
