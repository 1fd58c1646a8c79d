#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "probes/MemoryEx.h"
#include "platform/Seam.h"

using namespace probes;

namespace {

std::vector<std::string> gLookedUp;
int gFakeCalls = 0;
MEMORYSTATUSEX gSeen;  // the record the fake was handed

BOOL WINAPI FakeStatus(LPMEMORYSTATUSEX status) {
    ++gFakeCalls;
    std::memcpy(&gSeen, status, sizeof gSeen);
    status->dwMemoryLoad = 42;
    status->ullTotalPhys = 0xFFFFFFFFFFFFFFFFull;  // kept bit for bit: -1
    status->ullAvailPhys = 1028653056ull;          // 981 MB
    status->ullTotalVirtual = 0x80000000ull;
    status->ullAvailVirtual = 0x7FFE0000ull;
    status->ullTotalPageFile = 5ull << 32;
    status->ullAvailPageFile = 3;
    return TRUE;
}
// Reports failure after writing one figure: the result is not examined.
BOOL WINAPI FailingStatus(LPMEMORYSTATUSEX status) {
    ++gFakeCalls;
    status->ullAvailPhys = 7;
    return FALSE;
}
BOOL WINAPI OtherFake(LPMEMORYSTATUSEX status) {
    status->ullTotalPhys = 12345;
    return TRUE;
}

FARPROC AsProc(GlobalMemoryStatusExFn fn) {
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(fn));
}
void Log(const wchar_t* module, const char* name) {
    gLookedUp.push_back(std::string(module, module + std::wcslen(module)) + "!" + name);  // ASCII names
}
FARPROC MissingLookup(const wchar_t* module, const char* name) {
    Log(module, name);
    return nullptr;
}
FARPROC FakeLookup(const wchar_t* module, const char* name) {
    Log(module, name);
    return AsProc(&FakeStatus);
}
FARPROC FailingLookup(const wchar_t*, const char*) { return AsProc(&FailingStatus); }
FARPROC OtherLookup(const wchar_t*, const char*) { return AsProc(&OtherFake); }

class Memory : public ::testing::Test {
protected:
    void SetUp() override {
        gLookedUp.clear();
        gFakeCalls = 0;
    }
    void TearDown() override {
        TMemory restore;  // put the real address back for later users
    }
};

// The constructor's lookup, replaced for the helper's life.
using Lookup = platform::ScopedSeam<MemoryProcLookupFn>;

void ExpectLayoutFromGetSystemInfo(const TMemory& m) {
    SYSTEM_INFO info;
    ::GetSystemInfo(&info);
    EXPECT_EQ(static_cast<int32_t>(info.dwPageSize), m.PageSize);
    EXPECT_EQ(static_cast<int32_t>(info.dwAllocationGranularity), m.AllocGranularity);
    EXPECT_EQ(static_cast<int32_t>(reinterpret_cast<uintptr_t>(info.lpMaximumApplicationAddress)),
              m.MaxAppAddress);
    EXPECT_EQ(static_cast<int32_t>(reinterpret_cast<uintptr_t>(info.lpMinimumApplicationAddress)),
              m.MinAppAddress);
    EXPECT_NE(0, m.PageSize);
}

}  // namespace

TEST_F(Memory, AFreshObjectReadsZeroEverywhere) {
    TMemory m;
    EXPECT_EQ(0, m.PhysicalTotal);
    EXPECT_EQ(0, m.PhysicalFree);
    EXPECT_EQ(0, m.VirtualTotal);
    EXPECT_EQ(0, m.VirtualFree);
    EXPECT_EQ(0, m.PageFileTotal);
    EXPECT_EQ(0, m.PageFileFree);
    EXPECT_EQ(0, m.MemoryLoad);
    EXPECT_EQ(0, m.AllocGranularity);
    EXPECT_EQ(0, m.MaxAppAddress);
    EXPECT_EQ(0, m.MinAppAddress);
    EXPECT_EQ(0, m.PageSize);
}

TEST_F(Memory, RefreshReadsTheSystemFiguresInBytes) {
    TMemory m;
    m.Refresh();
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    ASSERT_TRUE(::GlobalMemoryStatusEx(&status));
    EXPECT_EQ(static_cast<int64_t>(status.ullTotalPhys), m.PhysicalTotal);
    EXPECT_EQ(static_cast<int64_t>(status.ullTotalVirtual), m.VirtualTotal);
    EXPECT_EQ(static_cast<int64_t>(status.ullTotalPageFile), m.PageFileTotal);
    EXPECT_GT(m.PhysicalTotal, 64ll << 20);  // bytes, not megabytes
    EXPECT_GT(m.PhysicalFree, 0);
    EXPECT_LE(m.PhysicalFree, m.PhysicalTotal);
    EXPECT_GT(m.VirtualFree, 0);
    EXPECT_LE(m.VirtualFree, m.VirtualTotal);
    EXPECT_LE(m.PageFileFree, m.PageFileTotal);
    EXPECT_GE(m.MemoryLoad, 0);
    EXPECT_LE(m.MemoryLoad, 100);
    ExpectLayoutFromGetSystemInfo(m);
}

TEST_F(Memory, ConstructionLooksUpGlobalMemoryStatusExInKernel32) {
    {
        Lookup fake(MemoryLookup, &FakeLookup);
        TMemory a;
        TMemory b;
    }
    EXPECT_EQ((std::vector<std::string>{"kernel32!GlobalMemoryStatusEx",
                                        "kernel32!GlobalMemoryStatusEx"}),
              gLookedUp);
    TMemory real;
    const FARPROC expected = ::GetProcAddress(::GetModuleHandleA("kernel32"), "GlobalMemoryStatusEx");
    EXPECT_EQ(reinterpret_cast<void*>(expected), reinterpret_cast<void*>(GlobalMemoryStatusExAddress()));
}

TEST_F(Memory, FiguresAreCopiedBitForBitFromAZeroFilledRecord) {
    Lookup fake(MemoryLookup, &FakeLookup);
    std::memset(&gSeen, 0xCC, sizeof gSeen);
    TMemory m;
    m.Refresh();
    ASSERT_EQ(1, gFakeCalls);
    EXPECT_EQ(64u, gSeen.dwLength);
    const auto* bytes = reinterpret_cast<const unsigned char*>(&gSeen);
    for (size_t i = 4; i < sizeof gSeen; ++i) ASSERT_EQ(0, bytes[i]) << "byte " << i;
    EXPECT_EQ(-1, m.PhysicalTotal);
    EXPECT_EQ(1028653056, m.PhysicalFree);
    EXPECT_EQ(0x80000000ll, m.VirtualTotal);
    EXPECT_EQ(0x7FFE0000ll, m.VirtualFree);
    EXPECT_EQ(5ll << 32, m.PageFileTotal);
    EXPECT_EQ(3, m.PageFileFree);
    EXPECT_EQ(42, m.MemoryLoad);
    ExpectLayoutFromGetSystemInfo(m);
}

TEST_F(Memory, AFailureReportIsIgnored) {
    Lookup failing(MemoryLookup, &FailingLookup);
    TMemory m;
    m.Refresh();
    EXPECT_EQ(1, gFakeCalls);
    EXPECT_EQ(7, m.PhysicalFree);
    EXPECT_EQ(0, m.PhysicalTotal);
}

TEST_F(Memory, WithoutGlobalMemoryStatusExTheMemoryFiguresReadZero) {
    Lookup missing(MemoryLookup, &MissingLookup);
    TMemory m;
    m.PhysicalTotal = 99;  // a stale figure is overwritten, not kept
    m.Refresh();
    EXPECT_EQ(nullptr, GlobalMemoryStatusExAddress());
    EXPECT_EQ(0, m.PhysicalTotal);
    EXPECT_EQ(0, m.PhysicalFree);
    EXPECT_EQ(0, m.VirtualTotal);
    EXPECT_EQ(0, m.VirtualFree);
    EXPECT_EQ(0, m.PageFileTotal);
    EXPECT_EQ(0, m.PageFileFree);
    EXPECT_EQ(0, m.MemoryLoad);
    ExpectLayoutFromGetSystemInfo(m);  // GetSystemInfo is imported, always there
}

TEST_F(Memory, AllObjectsShareTheAddressTheLastConstructionFound) {
    Lookup fake(MemoryLookup, &FakeLookup);
    TMemory first;
    Lookup other(MemoryLookup, &OtherLookup);
    TMemory second;
    first.Refresh();  // uses the address the second construction stored
    EXPECT_EQ(0, gFakeCalls);
    EXPECT_EQ(12345, first.PhysicalTotal);
    Lookup missing(MemoryLookup, &MissingLookup);
    TMemory third;
    second.Refresh();
    EXPECT_EQ(0, second.PhysicalTotal);
}
