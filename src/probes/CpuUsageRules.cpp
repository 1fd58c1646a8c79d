#include "probes/CpuUsageRules.h"

#include <cmath>
#include <limits>

namespace probes {

namespace {

// later - earlier as a double. The difference is taken in 64-bit integers when it fits:
// the clock reads about 1.3e17 units since 1601, where doubles are 16 units
// apart, and converting each reading first would shift an interval by up to
// 16 units, enough to turn a fully idle interval into -1 percent. Only a
// difference that would overflow is taken in floating point.
double DifferenceAsDouble(int64_t later, int64_t earlier) {
    const bool overflows = (earlier > 0 && later < std::numeric_limits<int64_t>::min() + earlier) ||
                           (earlier < 0 && later > std::numeric_limits<int64_t>::max() + earlier);
    if (overflows) return static_cast<double>(later) - static_cast<double>(earlier);
    return static_cast<double>(later - earlier);
}

// 100 - share * 100 / processors, share = idle / elapsed, or the undivided
// idle count when elapsed is 0.
double UsageOf(double idle, double elapsed, double processors) {
    double share = idle;
    if (elapsed != 0.0) share = idle / elapsed;
    return 100.0 - share * 100.0 / processors;
}

}  // namespace

int32_t FloorToInt32(double value) {
    if (std::isnan(value)) return 0;
    const double floored = std::floor(value);
    // Both bounds are exact doubles; comparing before converting keeps the
    // conversion inside the range where it is defined.
    if (floored >= 2147483648.0) return std::numeric_limits<int32_t>::max();
    if (floored < -2147483648.0) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(floored);
}

int32_t CpuUsageFromProcessorTimes(const ProcessorTimes& now, const ProcessorTimes& previous) {
    if (previous.idle == 0) return 0;  // first sample: baseline only
    const double idle = DifferenceAsDouble(now.idle, previous.idle);
    // Each difference on its own: the sum of two garbled counters could
    // overflow 64 bits, the sum of two differences as doubles cannot.
    const double total =
        DifferenceAsDouble(now.kernel, previous.kernel) + DifferenceAsDouble(now.user, previous.user);
    return FloorToInt32(UsageOf(idle, total, 1.0));
}

int32_t CpuUsagePercent(int64_t idleTime, int64_t previousIdleTime, int64_t systemTime,
                        int64_t previousSystemTime, uint32_t processors) {
    if (previousIdleTime == 0) return 0;  // first sample: baseline only
    const double idle = DifferenceAsDouble(idleTime, previousIdleTime);
    const double elapsed = DifferenceAsDouble(systemTime, previousSystemTime);
    const double cpus = processors == 0 ? 1.0 : static_cast<double>(processors);
    return FloorToInt32(UsageOf(idle, elapsed, cpus));
}

}  // namespace probes
