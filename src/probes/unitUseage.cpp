#include "probes/unitUseage.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "probes/CpuUsageRules.h"
#include "widgets/Exports.h"

namespace probes {

namespace {

// Information classes and the exact record sizes the system expects for them;
// only one field of each record is read. The basic-information record holds
// pointers, so its size and the processor count's offset differ per build
// (44 bytes and offset 40 in a 32-bit process, 64 and 56 in a 64-bit one).
struct BasicInformationLayout {  // SYSTEM_BASIC_INFORMATION
    BYTE Reserved1[24];
    PVOID Reserved2[4];
    CCHAR NumberOfProcessors;
};
constexpr ULONG kBasicInformation = 0;
constexpr ULONG kBasicSize = sizeof(BasicInformationLayout);
constexpr size_t kProcessorsOffset = offsetof(BasicInformationLayout, NumberOfProcessors);  // 8-bit
static_assert(kBasicSize == (sizeof(void*) == 8 ? 64 : 44), "SYSTEM_BASIC_INFORMATION size");
constexpr ULONG kTimeOfDayInformation = 3;    // SYSTEM_TIMEOFDAY_INFORMATION
constexpr ULONG kTimeOfDaySize = 32;
constexpr size_t kCurrentTimeOffset = 8;      // CurrentTime, 64-bit
constexpr ULONG kPerformanceInformation = 2;  // SYSTEM_PERFORMANCE_INFORMATION
constexpr ULONG kPerformanceSize = 312;
constexpr size_t kIdleTimeOffset = 0;         // IdleProcessTime, 64-bit

NtQueryFn LookupNtQuery() {
    return widgets::ExportAs<NtQueryFn>(widgets::LookUpExport(L"ntdll.dll", "NtQuerySystemInformation"));
}

// GetActiveProcessorCount(ALL_PROCESSOR_GROUPS), or 0 when the system
// lacks it (before Windows 7).
DWORD SystemAllProcessors() {
    using CountFn = DWORD(WINAPI*)(WORD group);
    const auto count =
        widgets::ExportAs<CountFn>(widgets::LookUpExport(L"kernel32.dll", "GetActiveProcessorCount"));
    constexpr WORD kAllProcessorGroups = 0xFFFF;
    return count ? count(kAllProcessorGroups) : 0;
}

bool gAllProcessorsAsked = false;
uint32_t gAllProcessorCount = 0;  // 0: not asked, or unknown
int64_t gPreviousIdleTime = 0;    // 0: no sample yet
int64_t gPreviousSystemTime = 0;

int64_t ReadInt64(const unsigned char* record, size_t offset) {
    int64_t value;
    std::memcpy(&value, record + offset, sizeof value);
    return value;
}

// One query into a buffer of exactly the record's size; no return length.
bool Query(ULONG infoClass, unsigned char* buffer, ULONG size) {
    std::memset(buffer, 0, size);
    return NtQuery(infoClass, buffer, size, nullptr) == 0;
}

}  // namespace

NtQueryFn NtQuery = nullptr;
NtQueryLookupFn NtQueryLookup = &LookupNtQuery;
AllProcessorsFn AllProcessors = &SystemAllProcessors;

int GetCpuUsage() {
    if (!NtQuery) NtQuery = NtQueryLookup();
    if (!NtQuery) return 0;  // not exported: nothing to measure

    alignas(8) unsigned char basic[kBasicSize];
    alignas(8) unsigned char timeOfDay[kTimeOfDaySize];
    alignas(8) unsigned char performance[kPerformanceSize];
    // Each query only when the one before succeeded; a failure keeps the
    // baseline so that the next success measures the whole interval.
    if (!Query(kBasicInformation, basic, kBasicSize)) return 0;
    if (!Query(kTimeOfDayInformation, timeOfDay, kTimeOfDaySize)) return 0;
    if (!Query(kPerformanceInformation, performance, kPerformanceSize)) return 0;

    uint32_t processors = basic[kProcessorsOffset];
    const int64_t systemTime = ReadInt64(timeOfDay, kCurrentTimeOffset);
    const int64_t idleTime = ReadInt64(performance, kIdleTimeOffset);
    // More idle time than the count allows: the count covers only part of
    // the machine. The count of all processors is asked once, at the first
    // such sample, and used from then on whenever it is the larger.
    if (!gAllProcessorsAsked && ProcessorCountTooSmall(idleTime, gPreviousIdleTime, systemTime,
                                                       gPreviousSystemTime, processors)) {
        gAllProcessorsAsked = true;
        gAllProcessorCount = AllProcessors();
    }
    if (gAllProcessorCount > processors) processors = gAllProcessorCount;

    const int result = CpuUsagePercent(idleTime, gPreviousIdleTime, systemTime,
                                       gPreviousSystemTime, processors);
    gPreviousIdleTime = idleTime;
    gPreviousSystemTime = systemTime;
    return result;
}

void ResetCpuUsageForTest() {
    gPreviousIdleTime = 0;
    gPreviousSystemTime = 0;
    gAllProcessorsAsked = false;
    gAllProcessorCount = 0;
}

}  // namespace probes
