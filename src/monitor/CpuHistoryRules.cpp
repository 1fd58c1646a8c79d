#include "monitor/CpuHistory.h"

#include <algorithm>

namespace monitor {

void ShiftCpuHistory(CpuHistory& history, std::int32_t newest) {
    std::copy(history.begin() + 1, history.end(), history.begin());
    history[kNewestSample] = newest;
}

}  // namespace monitor
