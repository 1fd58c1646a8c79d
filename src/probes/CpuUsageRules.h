// The arithmetic of one processor-usage sample, kept apart from the system
// calls that read the counters so that it can be tested on any host.
#pragma once
#include <cstdint>

namespace probes {

// Percentage of processor time that was busy between two samples of the
// system's cumulative idle time (summed over all processors) and its clock,
// both in 100-ns units, rounded towards minus infinity.
//
// - previousIdleTime == 0 means "no sample yet": the result is 0.
// - usage = 100 - share * 100 / processors, share = idle / elapsed in double
//   precision. When elapsed is 0 (two samples within one clock tick) the
//   division is skipped and share is the undivided idle count, so an idle
//   count of 0 gives 100.
// - processors == 0 is taken as 1: a broken count must not divide by zero.
// - The result is not clamped to 0..100: idle time that grew a little faster
//   than elapsed time x processors gives -1 or lower.
// - The conversion to 32 bits is defined for every value (see FloorToInt32).
int32_t CpuUsagePercent(int64_t idleTime, int64_t previousIdleTime, int64_t systemTime,
                        int64_t previousSystemTime, uint32_t processors);

// Whether the idle time between two samples exceeds processors x elapsed
// time, which only a processor count smaller than the machine's can cause
// (a 32-bit process on 64-bit Windows is told of at most 32 processors,
// while the idle time covers all of them). False without a baseline
// (previousIdleTime == 0) or when the clock did not move; processors == 0
// is taken as 1.
bool ProcessorCountTooSmall(int64_t idleTime, int64_t previousIdleTime, int64_t systemTime,
                            int64_t previousSystemTime, uint32_t processors);

// Largest integer not greater than value, as a 32-bit integer: NaN gives 0,
// values beyond the 32-bit range (infinities included) clamp to its ends.
int32_t FloorToInt32(double value);

}  // namespace probes
