// The arithmetic of one processor-usage sample, kept apart from the system
// calls that read the counters so that it can be tested on any host.
#pragma once
#include <cstdint>

namespace probes {

// The system's cumulative processor times (GetSystemTimes), in 100-ns units,
// each summed over the same processors. Kernel time includes idle time.
struct ProcessorTimes {
    int64_t idle = 0;
    int64_t kernel = 0;
    int64_t user = 0;
};

// Percentage of processor time that was busy between two readings of the
// system's processor times, rounded towards minus infinity:
// usage = 100 - idle * 100 / (kernel + user), over the differences.
//
// - previous.idle == 0 means "no sample yet": the result is 0.
// - No processor count and no clock take part: idle, kernel and user time
//   cover the same processors, however many the process is told of (a
//   32-bit process on 64-bit Windows sees at most 32), so the figure is
//   their busy share, and a step of the system clock does not touch it.
// - When kernel + user did not move (two readings within one counter step)
//   the division is skipped and the share is the undivided idle count, so
//   an idle count of 0 gives 100.
// - The result is not clamped; real counters keep it within 0..100, and
//   counters that go backwards give what the formula gives. The conversion
//   to 32 bits is defined for every value (see FloorToInt32).
int32_t CpuUsageFromProcessorTimes(const ProcessorTimes& now, const ProcessorTimes& previous);

// The same figure from the counters systems without GetSystemTimes give:
// the idle time summed over all processors and the system clock, both in
// 100-ns units.
//
// - previousIdleTime == 0 means "no sample yet": the result is 0.
// - usage = 100 - share * 100 / processors, share = idle / elapsed in double
//   precision. When elapsed is 0 (two samples within one clock tick) the
//   division is skipped and share is the undivided idle count, so an idle
//   count of 0 gives 100.
// - processors == 0 is taken as 1: a broken count must not divide by zero.
// - The result is not clamped to 0..100: idle time that grew a little faster
//   than elapsed time x processors gives -1 or lower.
int32_t CpuUsagePercent(int64_t idleTime, int64_t previousIdleTime, int64_t systemTime,
                        int64_t previousSystemTime, uint32_t processors);

// Largest integer not greater than value, as a 32-bit integer: NaN gives 0,
// values beyond the 32-bit range (infinities included) clamp to its ends.
int32_t FloorToInt32(double value);

}  // namespace probes
