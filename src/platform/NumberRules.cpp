#include "platform/NumberRules.h"

#include <limits>

namespace platform {

std::int32_t ClampToInt32(std::int64_t v) {
    if (v > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    if (v < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

}  // namespace platform
