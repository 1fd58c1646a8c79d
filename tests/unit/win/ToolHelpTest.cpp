#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "probes/ToolHelp.h"
#include "platform/Handle.h"
#include "platform/Seam.h"

using namespace probes;

namespace {

// A pretend kernel32: the module handle it hands out, the names it does not
// export, and a log of everything asked of it.
const HMODULE kFakeModule = reinterpret_cast<HMODULE>(0x10000);
const HANDLE kFakeSnapshot = reinterpret_cast<HANDLE>(0x4321);
int gModuleCalls = 0;
int gModuleFailuresLeft = 0;
std::vector<std::string> gNames;
std::set<std::string> gMissing;
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
FARPROC AsProc(Fn fn) {
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(fn));
}

HMODULE FakeModuleLookup(const char* name) {
    ++gModuleCalls;
    if (gModuleFailuresLeft > 0) {
        --gModuleFailuresLeft;
        return nullptr;
    }
    return std::strcmp(name, "kernel32.dll") == 0 ? kFakeModule : nullptr;
}
FARPROC FakeProcLookup(HMODULE module, const char* name) {
    gNames.push_back(name);
    const std::string n(name);
    if (module != kFakeModule || gMissing.count(n)) return nullptr;
    if (n == "CreateToolhelp32Snapshot") return AsProc(&FakeSnapshot);
    if (n == "Process32First") return AsProc(&FakeFirst);
    if (n == "Process32Next") return AsProc(&FakeNext);
    return nullptr;  // never called: leave the rest empty
}

class ToolHelp : public ::testing::Test {
protected:
    void SetUp() override {
        gModuleCalls = gModuleFailuresLeft = 0;
        gSnapshotCalls = gFirstCalls = gNextCalls = 0;
        gNames.clear();
        gMissing.clear();
        ResetToolHelpForTest();
    }
    void TearDown() override { ResetToolHelpForTest(); }
    // Puts the real look-ups back for the rest of the test.
    void UseRealKernel32() {
        module_.reset();
        proc_.reset();
    }

private:
    std::optional<platform::ScopedSeam<ModuleLookupFn>> module_{std::in_place, ToolHelpModuleLookup,
                                                                &FakeModuleLookup};
    std::optional<platform::ScopedSeam<ProcLookupFn>> proc_{std::in_place, ToolHelpProcLookup,
                                                            &FakeProcLookup};
};

}  // namespace

TEST_F(ToolHelp, BindsSixteenNamesInTableOrderOnceThenNeverAgain) {
    EXPECT_TRUE(LoadToolHelpEntries());
    const std::vector<std::string> table{
        "CreateToolhelp32Snapshot", "Heap32ListFirst", "Heap32ListNext", "Heap32First",
        "Heap32Next", "Toolhelp32ReadProcessMemory", "Process32First", "Process32Next",
        "Process32FirstW", "Process32NextW", "Thread32First", "Thread32Next",
        "Module32First", "Module32Next", "Module32FirstW", "Module32NextW"};
    EXPECT_EQ(table, gNames);
    EXPECT_EQ(1, gModuleCalls);

    ProcessEntry32 entry{};
    EXPECT_TRUE(LoadToolHelpEntries());
    EXPECT_EQ(kFakeSnapshot, CreateToolhelp32SnapshotSafe(TH32CS_SNAPPROCESS, 0));
    EXPECT_TRUE(Process32FirstSafe(kFakeSnapshot, &entry));
    EXPECT_FALSE(Process32NextSafe(kFakeSnapshot, &entry));
    EXPECT_EQ(16u, gNames.size());
    EXPECT_EQ(1, gModuleCalls);
}

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

TEST_F(ToolHelp, WhicheverForwarderComesFirstBinds) {
    ProcessEntry32 entry{};
    EXPECT_FALSE(Process32NextSafe(kFakeSnapshot, &entry));
    EXPECT_EQ(1, gNextCalls);
    EXPECT_EQ(16u, gNames.size());
}

TEST_F(ToolHelp, WithoutTheSnapshotFunctionNothingIsCalled) {
    gMissing = {"CreateToolhelp32Snapshot"};
    ProcessEntry32 entry{};
    EXPECT_FALSE(LoadToolHelpEntries());
    EXPECT_EQ(nullptr, CreateToolhelp32SnapshotSafe(TH32CS_SNAPPROCESS, 0));
    EXPECT_FALSE(Process32FirstSafe(kFakeSnapshot, &entry));
    EXPECT_FALSE(Process32NextSafe(kFakeSnapshot, &entry));
    // The other slots were bound but are not used while Tool Help is unavailable.
    EXPECT_EQ(0, gSnapshotCalls + gFirstCalls + gNextCalls);
    // Missing names are not retried.
    EXPECT_EQ(16u, gNames.size());
}

TEST_F(ToolHelp, WithoutTheFirstProcessFunctionTheWalkFindsNothing) {
    gMissing = {"Process32First"};
    ProcessEntry32 entry{};
    EXPECT_TRUE(LoadToolHelpEntries());
    EXPECT_EQ(kFakeSnapshot, CreateToolhelp32SnapshotSafe(TH32CS_SNAPPROCESS, 0));
    EXPECT_FALSE(Process32FirstSafe(kFakeSnapshot, &entry));
    EXPECT_EQ(0, gFirstCalls);
    EXPECT_FALSE(Process32NextSafe(kFakeSnapshot, &entry));
    EXPECT_EQ(1, gNextCalls);  // its own slot is there
}

TEST_F(ToolHelp, WithoutTheNextProcessFunctionNextFailsWithoutCalling) {
    gMissing = {"Process32Next"};
    ProcessEntry32 entry{};
    EXPECT_TRUE(Process32FirstSafe(kFakeSnapshot, &entry));
    EXPECT_FALSE(Process32NextSafe(kFakeSnapshot, &entry));
    EXPECT_EQ(0, gNextCalls);
}

TEST_F(ToolHelp, AMissingModuleIsLookedUpAgainOnEveryCall) {
    gModuleFailuresLeft = 2;
    ProcessEntry32 entry{};
    EXPECT_FALSE(LoadToolHelpEntries());
    EXPECT_EQ(nullptr, CreateToolhelp32SnapshotSafe(TH32CS_SNAPPROCESS, 0));
    EXPECT_EQ(2, gModuleCalls);
    EXPECT_TRUE(gNames.empty());  // no name looked up without a module
    EXPECT_TRUE(Process32FirstSafe(kFakeSnapshot, &entry));
    EXPECT_EQ(3, gModuleCalls);
    EXPECT_EQ(16u, gNames.size());
    EXPECT_TRUE(LoadToolHelpEntries());
    EXPECT_EQ(3, gModuleCalls);
}

TEST_F(ToolHelp, RealWalkFindsThisProcessInTheNarrowRecord) {
    UseRealKernel32();
    ASSERT_TRUE(LoadToolHelpEntries());
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
