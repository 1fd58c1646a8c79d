// Number helpers the rules of several folders share. No OS calls here.
#pragma once
#include <cstdint>

namespace platform {

// value limited to the int32 range: below it gives INT32_MIN, above it INT32_MAX.
std::int32_t ClampToInt32(std::int64_t value);

}  // namespace platform
