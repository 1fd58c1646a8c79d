#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "probes/ToolHelp.h"
#include "platform/DynCalls.h"
#include "platform/Handle.h"
#include "platform/Seam.h"

using namespace probes;

namespace {

// A pretend Tool Help in the table's three slots, and what it was asked.
const HANDLE kFakeSnapshot = reinterpret_cast<HANDLE>(0x4321);
int gSnapshotCalls = 0, gFirstCalls = 0, gNextCalls = 0;
DWORD gSnapshotFlags = 0, gSnapshotProcess = 0;

HANDLE WINAPI FakeSnapshot(DWORD flags, DWORD processId) {
    ++gSnapshotCalls;
    gSnapshotFlags = flags;
    gSnapshotProcess = processId;
    return kFakeSnapshot;
}
BOOL WINAPI FakeFirst(HANDLE snapshot, ProcessEntry32* entry) {
    ++gFirstCalls;
    if (snapshot != kFakeSnapshot) return FALSE;
    entry->th32ProcessID = 100;
    return TRUE;
}
BOOL WINAPI FakeNext(HANDLE, ProcessEntry32*) {
    ++gNextCalls;
    return FALSE;
}

template <class Fn>
using Seam = std::optional<platform::ScopedSeam<Fn>>;

class ToolHelp : public ::testing::Test {
protected:
    void SetUp() override { gSnapshotCalls = gFirstCalls = gNextCalls = 0; }
    // Puts the system's own functions back for the rest of the test.
    void UseRealKernel32() {
        snapshot_.reset();
        first_.reset();
        next_.reset();
    }

    platform::DynCallTable& calls_ = platform::DynCalls();
    Seam<decltype(calls_.CreateToolhelp32Snapshot)> snapshot_{std::in_place, calls_.CreateToolhelp32Snapshot,
                                                              &FakeSnapshot};
    Seam<decltype(calls_.Process32FirstA)> first_{std::in_place, calls_.Process32FirstA, &FakeFirst};
    Seam<decltype(calls_.Process32NextA)> next_{std::in_place, calls_.Process32NextA, &FakeNext};
};

}  // namespace

TEST_F(ToolHelp, ForwardersPassArgumentsAndResultsThrough) {
    ProcessEntry32 entry{};
    entry.dwSize = sizeof entry;
    EXPECT_EQ(kFakeSnapshot, CreateToolhelp32SnapshotSafe(TH32CS_SNAPPROCESS, 77));
    EXPECT_EQ(static_cast<DWORD>(TH32CS_SNAPPROCESS), gSnapshotFlags);
    EXPECT_EQ(77u, gSnapshotProcess);
    EXPECT_TRUE(Process32FirstSafe(kFakeSnapshot, &entry));
    EXPECT_EQ(100u, entry.th32ProcessID);
    EXPECT_FALSE(Process32FirstSafe(reinterpret_cast<HANDLE>(1), &entry));
    EXPECT_EQ(2, gFirstCalls);
    EXPECT_FALSE(Process32NextSafe(kFakeSnapshot, &entry));
    EXPECT_EQ(1, gNextCalls);
}

TEST_F(ToolHelp, WithoutTheSnapshotFunctionNothingIsCalled) {
    platform::ScopedSeam missing(calls_.CreateToolhelp32Snapshot, nullptr);
    ProcessEntry32 entry{};
    EXPECT_EQ(nullptr, CreateToolhelp32SnapshotSafe(TH32CS_SNAPPROCESS, 0));
    EXPECT_FALSE(Process32FirstSafe(kFakeSnapshot, &entry));
    EXPECT_FALSE(Process32NextSafe(kFakeSnapshot, &entry));
    // The walk's own functions are there but not used while Tool Help is unavailable.
    EXPECT_EQ(0, gSnapshotCalls + gFirstCalls + gNextCalls);
}

TEST_F(ToolHelp, WithoutTheFirstProcessFunctionTheWalkFindsNothing) {
    platform::ScopedSeam missing(calls_.Process32FirstA, nullptr);
    ProcessEntry32 entry{};
    EXPECT_EQ(kFakeSnapshot, CreateToolhelp32SnapshotSafe(TH32CS_SNAPPROCESS, 0));
    EXPECT_FALSE(Process32FirstSafe(kFakeSnapshot, &entry));
    EXPECT_EQ(0, gFirstCalls);
    EXPECT_FALSE(Process32NextSafe(kFakeSnapshot, &entry));
    EXPECT_EQ(1, gNextCalls);  // its own slot is there
}

TEST_F(ToolHelp, WithoutTheNextProcessFunctionNextFailsWithoutCalling) {
    platform::ScopedSeam missing(calls_.Process32NextA, nullptr);
    ProcessEntry32 entry{};
    EXPECT_TRUE(Process32FirstSafe(kFakeSnapshot, &entry));
    EXPECT_FALSE(Process32NextSafe(kFakeSnapshot, &entry));
    EXPECT_EQ(0, gNextCalls);
}

TEST_F(ToolHelp, RealWalkFindsThisProcessInTheNarrowRecord) {
    UseRealKernel32();
    platform::UniqueFileHandle snapshot(CreateToolhelp32SnapshotSafe(TH32CS_SNAPPROCESS, 0));
    ASSERT_TRUE(snapshot.valid());
    ASSERT_NE(nullptr, snapshot.get());

    ProcessEntry32 entry{};
    entry.dwSize = sizeof entry;  // the wide function would refuse the narrow size
    int processes = 0;
    std::string ownName;
    for (BOOL ok = Process32FirstSafe(snapshot.get(), &entry); ok;
         ok = Process32NextSafe(snapshot.get(), &entry)) {
        ++processes;
        if (entry.th32ProcessID == ::GetCurrentProcessId()) ownName = entry.szExeFile;
    }
    EXPECT_GE(processes, 1);
    // The name is 8-bit text: a wide record would read as "u" here.
    EXPECT_NE(std::string::npos, ownName.find("unit_tests")) << ownName;
}
