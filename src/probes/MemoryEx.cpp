#include "probes/MemoryEx.h"

#include <cstring>

#include "platform/DynCalls.h"

namespace probes {

namespace {

// The records as 32-bit Windows lays them out; the system checks dwLength.
static_assert(sizeof(MEMORYSTATUSEX) == 64, "MEMORYSTATUSEX is 64 bytes");
#ifndef _WIN64
static_assert(sizeof(SYSTEM_INFO) == 36, "SYSTEM_INFO is 36 bytes on 32-bit Windows");
#endif

int32_t AddressAsInt32(const void* address) {
    return static_cast<int32_t>(reinterpret_cast<uintptr_t>(address));
}

}  // namespace

void TMemory::Refresh() {
    MEMORYSTATUSEX status;
    std::memset(&status, 0, sizeof status);
    status.dwLength = sizeof status;
    // The result is not examined: on failure the figures are whatever the
    // call left in the zero-filled record.
    if (const auto globalMemoryStatusEx = platform::DynCalls().GlobalMemoryStatusEx)
        (void)globalMemoryStatusEx(&status);
    PhysicalTotal = static_cast<int64_t>(status.ullTotalPhys);
    PhysicalFree = static_cast<int64_t>(status.ullAvailPhys);
    VirtualTotal = static_cast<int64_t>(status.ullTotalVirtual);
    VirtualFree = static_cast<int64_t>(status.ullAvailVirtual);
    PageFileTotal = static_cast<int64_t>(status.ullTotalPageFile);
    PageFileFree = static_cast<int64_t>(status.ullAvailPageFile);
    MemoryLoad = static_cast<int32_t>(status.dwMemoryLoad);

    SYSTEM_INFO info;
    std::memset(&info, 0, sizeof info);
    ::GetSystemInfo(&info);
    AllocGranularity = static_cast<int32_t>(info.dwAllocationGranularity);
    MaxAppAddress = AddressAsInt32(info.lpMaximumApplicationAddress);
    MinAppAddress = AddressAsInt32(info.lpMinimumApplicationAddress);
    PageSize = static_cast<int32_t>(info.dwPageSize);
}

}  // namespace probes
