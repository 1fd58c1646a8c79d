#include "probes/CpuUsage.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "probes/CpuUsageRules.h"
#include "platform/DynCalls.h"

namespace probes {

namespace {

using SystemTimesFn = decltype(platform::DynCallTable::GetSystemTimes);
using QueryFn = decltype(platform::DynCallTable::NtQuerySystemInformation);

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

ProcessorTimes gPreviousTimes;    // idle 0: no sample yet
int64_t gPreviousIdleTime = 0;    // 0: no sample yet
int64_t gPreviousSystemTime = 0;

int64_t ReadInt64(const unsigned char* record, size_t offset) {
    int64_t value;
    std::memcpy(&value, record + offset, sizeof value);
    return value;
}

// A FILETIME count as the signed 64-bit number the arithmetic takes.
int64_t Count(const FILETIME& time) {
    const uint64_t count = (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    int64_t value;
    std::memcpy(&value, &count, sizeof value);
    return value;
}

// One query into a buffer of exactly the record's size; no return length.
bool Query(QueryFn query, ULONG infoClass, unsigned char* buffer, ULONG size) {
    std::memset(buffer, 0, size);
    return query(infoClass, buffer, size, nullptr) == 0;
}

// Idle, kernel and user time cover the same processors, so their ratio
// needs neither a processor count (a 32-bit process on 64-bit Windows is
// told of at most 32) nor the clock (which the user may set back).
int UsageFromSystemTimes(SystemTimesFn systemTimes) {
    FILETIME idle{}, kernel{}, user{};
    if (!systemTimes(&idle, &kernel, &user)) return 0;  // baseline kept
    const ProcessorTimes now{Count(idle), Count(kernel), Count(user)};
    const int result = CpuUsageFromProcessorTimes(now, gPreviousTimes);
    gPreviousTimes = now;
    return result;
}

// Before Windows XP SP1: the idle time summed over all processors against
// the system clock times the processor count.
int UsageFromNtQuery() {
    const auto query = platform::DynCalls().NtQuerySystemInformation;
    if (!query) return 0;  // not exported: nothing to measure

    alignas(8) unsigned char basic[kBasicSize];
    alignas(8) unsigned char timeOfDay[kTimeOfDaySize];
    alignas(8) unsigned char performance[kPerformanceSize];
    // Each query only when the one before succeeded; a failure keeps the
    // baseline so that the next success measures the whole interval.
    if (!Query(query, kBasicInformation, basic, kBasicSize)) return 0;
    if (!Query(query, kTimeOfDayInformation, timeOfDay, kTimeOfDaySize)) return 0;
    if (!Query(query, kPerformanceInformation, performance, kPerformanceSize)) return 0;

    const uint32_t processors = basic[kProcessorsOffset];
    const int64_t systemTime = ReadInt64(timeOfDay, kCurrentTimeOffset);
    const int64_t idleTime = ReadInt64(performance, kIdleTimeOffset);
    const int result = CpuUsagePercent(idleTime, gPreviousIdleTime, systemTime,
                                       gPreviousSystemTime, processors);
    gPreviousIdleTime = idleTime;
    gPreviousSystemTime = systemTime;
    return result;
}

}  // namespace

int GetCpuUsage() {
    const auto systemTimes = platform::DynCalls().GetSystemTimes;
    return systemTimes ? UsageFromSystemTimes(systemTimes) : UsageFromNtQuery();
}

void ResetCpuUsageForTest() {
    gPreviousTimes = ProcessorTimes{};
    gPreviousIdleTime = 0;
    gPreviousSystemTime = 0;
}

}  // namespace probes
