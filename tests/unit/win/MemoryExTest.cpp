#include <gtest/gtest.h>

#include <cstring>

#include "probes/MemoryEx.h"
#include "platform/DynCalls.h"
#include "platform/Seam.h"

using namespace probes;

namespace {

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

class Memory : public ::testing::Test {
protected:
    void SetUp() override { gFakeCalls = 0; }
};

// The table's GlobalMemoryStatusEx, replaced for the helper's life.
using Status = platform::ScopedSeam<decltype(platform::DynCallTable::GlobalMemoryStatusEx)>;
auto& Slot() { return platform::DynCalls().GlobalMemoryStatusEx; }

void ExpectLayoutFromGetSystemInfo(const TMemory& memory) {
    SYSTEM_INFO info;
    ::GetSystemInfo(&info);
    EXPECT_EQ(static_cast<int32_t>(info.dwPageSize), memory.PageSize);
    EXPECT_EQ(static_cast<int32_t>(info.dwAllocationGranularity), memory.AllocGranularity);
    EXPECT_EQ(static_cast<int32_t>(reinterpret_cast<uintptr_t>(info.lpMaximumApplicationAddress)),
              memory.MaxAppAddress);
    EXPECT_EQ(static_cast<int32_t>(reinterpret_cast<uintptr_t>(info.lpMinimumApplicationAddress)),
              memory.MinAppAddress);
    EXPECT_NE(0, memory.PageSize);
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

// Refresh calls whatever the table holds at that moment, also in an object
// made before it changed.
TEST_F(Memory, RefreshCallsTheFunctionTheTableHolds) {
    TMemory m;
    {
        Status other(Slot(), &OtherFake);
        m.Refresh();
    }
    EXPECT_EQ(12345, m.PhysicalTotal);
    {
        Status missing(Slot(), nullptr);
        m.Refresh();
    }
    EXPECT_EQ(0, m.PhysicalTotal);
}

TEST_F(Memory, FiguresAreCopiedBitForBitFromAZeroFilledRecord) {
    Status fake(Slot(), &FakeStatus);
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
    Status failing(Slot(), &FailingStatus);
    TMemory m;
    m.Refresh();
    EXPECT_EQ(1, gFakeCalls);
    EXPECT_EQ(7, m.PhysicalFree);
    EXPECT_EQ(0, m.PhysicalTotal);
}

TEST_F(Memory, WithoutGlobalMemoryStatusExTheMemoryFiguresReadZero) {
    Status missing(Slot(), nullptr);
    TMemory m;
    m.PhysicalTotal = 99;  // a stale figure is overwritten, not kept
    m.Refresh();
    EXPECT_EQ(0, m.PhysicalTotal);
    EXPECT_EQ(0, m.PhysicalFree);
    EXPECT_EQ(0, m.VirtualTotal);
    EXPECT_EQ(0, m.VirtualFree);
    EXPECT_EQ(0, m.PageFileTotal);
    EXPECT_EQ(0, m.PageFileFree);
    EXPECT_EQ(0, m.MemoryLoad);
    ExpectLayoutFromGetSystemInfo(m);  // GetSystemInfo is imported, always there
}
