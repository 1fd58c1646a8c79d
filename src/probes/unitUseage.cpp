#include "probes/unitUseage.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "probes/CpuUsageRules.h"

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
    HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    if (!ntdll) return nullptr;  // never pass a null module: it means "this exe"
    FARPROC proc = ::GetProcAddress(ntdll, "NtQuerySystemInformation");
    // Through void(*)() to tell the compiler the signature change is meant.
    return reinterpret_cast<NtQueryFn>(reinterpret_cast<void (*)()>(proc));
}

// GetActiveProcessorCount(ALL_PROCESSOR_GROUPS), or 0 when the system
// lacks it (before Windows 7).
DWORD SystemAllProcessors() {
    using CountFn = DWORD(WINAPI*)(WORD group);
    HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
    if (!kernel) return 0;
    const auto count = reinterpret_cast<CountFn>(
        reinterpret_cast<void (*)()>(::GetProcAddress(kernel, "GetActiveProcessorCount")));
    constexpr WORD kAllProcessorGroups = 0xFFFF;
    return count ? count(kAllProcessorGroups) : 0;
}

NtQueryFn gQuery = nullptr;
AllProcessorsFn gAllProcessors = &SystemAllProcessors;
bool gAllProcessorsAsked = false;
uint32_t gAllProcessorCount = 0;  // 0: not asked, or unknown
NtQueryLookupFn gLookup = &LookupNtQuery;
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
    return gQuery(infoClass, buffer, size, nullptr) == 0;
}

}  // namespace

int GetCpuUsage() {
    if (!gQuery) gQuery = gLookup();
    if (!gQuery) return 0;  // not exported: nothing to measure

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
        gAllProcessorCount = gAllProcessors();
    }
    if (gAllProcessorCount > processors) processors = gAllProcessorCount;

    const int result = CpuUsagePercent(idleTime, gPreviousIdleTime, systemTime,
                                       gPreviousSystemTime, processors);
    gPreviousIdleTime = idleTime;
    gPreviousSystemTime = systemTime;
    return result;
}

NtQueryFn SetNtQueryForTest(NtQueryFn query) {
    NtQueryFn previous = gQuery;
    gQuery = query;
    return previous;
}

NtQueryLookupFn SetNtQueryLookupForTest(NtQueryLookupFn lookup) {
    NtQueryLookupFn previous = gLookup;
    gLookup = lookup ? lookup : &LookupNtQuery;
    return previous;
}

AllProcessorsFn SetAllProcessorsForTest(AllProcessorsFn fn) {
    AllProcessorsFn previous = gAllProcessors;
    gAllProcessors = fn ? fn : &SystemAllProcessors;
    return previous;
}

void ResetCpuUsageForTest() {
    gPreviousIdleTime = 0;
    gPreviousSystemTime = 0;
    gAllProcessorsAsked = false;
    gAllProcessorCount = 0;
}

}  // namespace probes
