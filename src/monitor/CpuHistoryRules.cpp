#include "monitor/CpuHistory.h"

#include <algorithm>

namespace monitor {

std::array<std::int32_t, kCpuHistorySize> CpuHistory{};

void ResetCpuHistory() { CpuHistory.fill(0); }

void ShiftCpuHistory(std::int32_t newest) {
    std::copy(CpuHistory.begin() + 1, CpuHistory.end(), CpuHistory.begin());
    CpuHistory[kNewestSample] = newest;
}

}  // namespace monitor
