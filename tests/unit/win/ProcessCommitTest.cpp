#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <set>
#include <vector>

#include "FreeingTestSupport.h"
#include "probes/ProcessCommit.h"

using namespace probes;
using freeingtest::FakeToolHelp;
using freeingtest::MB;

namespace {

// Private commit by process ID. Negative: the process refuses that many
// accesses (-1: the limited one, then answers 300 MB; -2: both) or fails
// every query (-3); 0: it answers 0. IDs not listed cannot be opened.
std::map<DWORD, std::int64_t> gCommit;
std::vector<DWORD> gAccesses;
std::multiset<HANDLE> gOpen;

HANDLE WINAPI FakeOpen(DWORD access, BOOL, DWORD id) {
    gAccesses.push_back(access);
    const auto it = gCommit.find(id);
    if (it == gCommit.end() || it->second == -2 || (it->second == -1 && access == PROCESS_QUERY_LIMITED_INFORMATION))
        return nullptr;
    return *gOpen.insert(reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(id)));
}
BOOL WINAPI FakeClose(HANDLE h) {
    const auto it = gOpen.find(h);
    if (it != gOpen.end()) gOpen.erase(it);
    return TRUE;
}
BOOL WINAPI FakeQuery(HANDLE h, PROCESS_MEMORY_COUNTERS* counters, DWORD size) {
    const std::int64_t commit = gCommit[static_cast<DWORD>(reinterpret_cast<UINT_PTR>(h))];
    if (commit == -3 || size != sizeof(PROCESS_MEMORY_COUNTERS_EX) || counters->cb != size) return FALSE;
    reinterpret_cast<PROCESS_MEMORY_COUNTERS_EX*>(counters)->PrivateUsage = static_cast<SIZE_T>(commit < 0 ? 300 * MB : commit);
    return TRUE;
}
GetProcessMemoryInfoFn FindFake() { return &FakeQuery; }
GetProcessMemoryInfoFn FindNone() { return nullptr; }

std::vector<std::int64_t> Figures(std::size_t n) {
    std::vector<std::int64_t> figures;
    for (const ProcessCommit& p : LargestPrivateCommits(n)) figures.push_back(p.privateBytes / MB);
    return figures;
}

}  // namespace

TEST(ProcessCommits, LargestFirstAtMostNUnqueryableOnesPassedOverEveryHandleClosed) {
    FakeToolHelp toolHelp;
    platform::ScopedSeam<CommitOpenProcessFn> open(CommitOpenProcessCall, &FakeOpen);
    platform::ScopedSeam<CommitCloseHandleFn> close(CommitCloseHandleCall, &FakeClose);
    platform::ScopedSeam<FindProcessMemoryInfoFn> find(FindProcessMemoryInfo, &FindFake);
    toolHelp.processes = {4, 8, 12, 16, 20, 24, 28, 99};
    gCommit = {{4, 100 * MB}, {8, 900 * MB}, {12, -2}, {16, -3}, {20, -1}, {24, 500 * MB}, {28, 0}};
    gOpen.clear();
    const struct {
        std::size_t n;
        std::vector<std::int64_t> figures;
    } table[] = {{2, {900, 500}}, {10, {900, 500, 300, 100}}, {0, {}}};
    for (const auto& row : table) {
        gAccesses.clear();
        EXPECT_EQ(row.figures, Figures(row.n)) << row.n;
        EXPECT_TRUE(gOpen.empty()) << row.n;
    }
    EXPECT_EQ(2, toolHelp.snapshots);  // none for n = 0
    // The limited access first; the full one after a refusal (12, 20, 99) or
    // a failed query (16), not after an answer of 0 (28).
    const DWORD L = PROCESS_QUERY_LIMITED_INFORMATION, F = PROCESS_QUERY_INFORMATION | PROCESS_VM_READ;
    LargestPrivateCommits(1);
    EXPECT_EQ((std::vector<DWORD>{L, L, L, F, L, F, L, F, L, L, L, F}), gAccesses);

    platform::ScopedSeam<FindProcessMemoryInfoFn> none(FindProcessMemoryInfo, &FindNone);
    EXPECT_TRUE(LargestPrivateCommits(3).empty());
    EXPECT_EQ(3, toolHelp.snapshots);
}

namespace {
HANDLE WINAPI CountingOpen(DWORD access, BOOL inherit, DWORD id) {
    const HANDLE h = ::OpenProcess(access, inherit, id);
    return h ? *gOpen.insert(h) : h;
}
BOOL WINAPI CountingClose(HANDLE h) {
    FakeClose(h);
    return ::CloseHandle(h);
}
// Wine answers 0 for every process: a megabyte each instead, so that the
// names of the real walk come through.
BOOL WINAPI OneMegabyte(HANDLE, PROCESS_MEMORY_COUNTERS* counters, DWORD) {
    reinterpret_cast<PROCESS_MEMORY_COUNTERS_EX*>(counters)->PrivateUsage = MB;
    return TRUE;
}
GetProcessMemoryInfoFn FindOneMegabyte() { return &OneMegabyte; }
}  // namespace

TEST(ProcessCommits, TheRealWalkNamesThisProgramAndClosesEveryHandle) {
    gOpen.clear();
    ASSERT_NE(nullptr, FindProcessMemoryInfo());  // kernel32's or psapi's
    platform::ScopedSeam<CommitOpenProcessFn> open(CommitOpenProcessCall, &CountingOpen);
    platform::ScopedSeam<CommitCloseHandleFn> close(CommitCloseHandleCall, &CountingClose);
    platform::ScopedSeam<FindProcessMemoryInfoFn> find(FindProcessMemoryInfo, &FindOneMegabyte);
    bool self = false;
    for (const ProcessCommit& p : LargestPrivateCommits(1000)) self = self || p.exeName == L"unit_tests.exe";
    EXPECT_TRUE(self);
    EXPECT_TRUE(gOpen.empty());
}
