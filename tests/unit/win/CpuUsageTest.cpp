#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

#include "probes/CpuUsage.h"
#include "platform/DynCalls.h"
#include "platform/Seam.h"

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
    bool systemTimesFail = false;
    int64_t times[3] = {4000000000, 5000000000, 3000000000};  // idle, kernel (idle included), user
};
FakeSystem gFake;

BOOL WINAPI FakeSystemTimes(LPFILETIME idle, LPFILETIME kernel, LPFILETIME user) {
    std::memcpy(idle, &gFake.times[0], 8);
    std::memcpy(kernel, &gFake.times[1], 8);
    std::memcpy(user, &gFake.times[2], 8);
    return !gFake.systemTimesFail;
}
using QueryFn = decltype(platform::DynCallTable::NtQuerySystemInformation);
// The system's own query, whatever the table holds at the moment.
QueryFn RealQuery() {
    return reinterpret_cast<QueryFn>(reinterpret_cast<void (*)()>(
        ::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
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

class CpuUsage : public ::testing::Test {
protected:
    void SetUp() override {
        gFake = FakeSystem{};
        ResetCpuUsageForTest();
    }
    void TearDown() override { ResetCpuUsageForTest(); }
    // Advances the fake counters by one interval.
    void Advance(int64_t elapsed, int64_t idle) {
        gFake.clock += elapsed;
        gFake.idle += idle;
    }
    // Advances the fake processor times: idle, kernel (idle included), user.
    void AdvanceTimes(const std::array<int64_t, 3>& by) {
        for (int i = 0; i < 3; ++i) gFake.times[i] += by[i];
    }

private:
    // A system without GetSystemTimes unless a test gives it one.
    platform::ScopedSeam<decltype(platform::DynCallTable::GetSystemTimes)> systemTimes_{
        platform::DynCalls().GetSystemTimes, nullptr};
    platform::ScopedSeam<QueryFn> query_{platform::DynCalls().NtQuerySystemInformation, &FakeQuery};
};

// The system's own query for one test.
struct RealQueryInPlace : platform::ScopedSeam<QueryFn> {
    RealQueryInPlace() : ScopedSeam(platform::DynCalls().NtQuerySystemInformation, RealQuery()) {}
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

// GetSystemTimes, where it exists, is all that is read: a 48-thread machine
// idle on every processor reads 0 whatever count a 32-bit process is told
// of, and the clock set back 0.9 s (which made the idle time over the
// clock's advance read -888 %) changes nothing.
TEST_F(CpuUsage, ProcessorTimesNeedNeitherTheCountNorTheClock) {
    platform::ScopedSeam times(platform::DynCalls().GetSystemTimes, &FakeSystemTimes);
    gFake.processors = 32;
    EXPECT_EQ(0, GetCpuUsage());
    AdvanceTimes({480000000, 480000000, 0});  // 48 processors idle for a second
    gFake.clock -= 9000000;
    EXPECT_EQ(0, GetCpuUsage());
    AdvanceTimes({360000000, 400000000, 80000000});  // 36 of 48 idle
    EXPECT_EQ(25, GetCpuUsage());
    EXPECT_TRUE(gFake.classes.empty());
    gFake.systemTimesFail = true;  // a failed reading gives 0 and keeps the baseline
    AdvanceTimes({480000000, 480000000, 0});
    EXPECT_EQ(0, GetCpuUsage());
    gFake.systemTimesFail = false;
    AdvanceTimes({0, 0, 480000000});
    EXPECT_EQ(50, GetCpuUsage());
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
    {
        platform::ScopedSeam missing(platform::DynCalls().NtQuerySystemInformation, nullptr);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(0, GetCpuUsage());
    }
    EXPECT_TRUE(gFake.classes.empty());
    // No baseline was set meanwhile: with the query, the first call sets it.
    EXPECT_EQ(0, GetCpuUsage());
    Advance(10000000, 0);
    EXPECT_EQ(100, GetCpuUsage());
}

TEST_F(CpuUsage, RealCountersGiveZeroThenAPlausiblePercentage) {
    RealQueryInPlace real;
    EXPECT_EQ(0, GetCpuUsage());
    ::Sleep(300);
    const int usage = GetCpuUsage();
    // Idle time is sampled in coarse steps, so a quiet machine may read a
    // little below 0; anything far outside 0..100 means misread records.
    EXPECT_GE(usage, -20);
    EXPECT_LE(usage, 100);
}

// The real GetSystemTimes with one spinning thread per processor.
TEST_F(CpuUsage, RealProcessorTimesReadEveryProcessorBusyAsNinetyOrMore) {
    platform::ScopedSeam real(platform::DynCalls().GetSystemTimes, &::GetSystemTimes);
    SYSTEM_INFO info{};
    ::GetSystemInfo(&info);
    std::atomic<bool> stop{false};
    std::vector<std::thread> spinners(info.dwNumberOfProcessors);
    for (std::thread& spinner : spinners) spinner = std::thread([&stop] { while (!stop) {} });
    ::Sleep(200);
    EXPECT_EQ(0, GetCpuUsage());
    ::Sleep(1000);
    const int busy = GetCpuUsage();
    stop = true;
    for (std::thread& spinner : spinners) spinner.join();
    EXPECT_TRUE(gFake.classes.empty());  // found and used
    EXPECT_GE(busy, 90);
    EXPECT_LE(busy, 100);
}

namespace {

// The real query, with its outcome recorded and the idle time replaced by
// "every processor idle the whole time": the processor count times the real
// clock. The sampler then reads 0 % exactly when each real query succeeded
// with its record size and the count and both counters were read from their
// right places in the real records.
QueryFn gRealQuery = nullptr;
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
    gRealQuery = RealQuery();
    ASSERT_NE(nullptr, gRealQuery);
    gRealStatuses.clear();
    platform::ScopedSeam allIdle(platform::DynCalls().NtQuerySystemInformation, &AllIdleRealQuery);
    EXPECT_EQ(0, GetCpuUsage());
    ::Sleep(100);
    EXPECT_EQ(0, GetCpuUsage());
    EXPECT_EQ((std::vector<LONG>{0, 0, 0, 0, 0, 0}), gRealStatuses);
}
