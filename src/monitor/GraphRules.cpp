#include "monitor/GraphRules.h"

#include "platform/NumberRules.h"

namespace monitor {

using platform::ClampToInt32;

std::int32_t GraphRow(std::int32_t percent, std::int32_t height) {
    // |100 - percent| < 2^32 and |height| < 2^31: the product fits in 64 bits.
    const std::int64_t scaled = (100 - static_cast<std::int64_t>(percent)) * height;
    return ClampToInt32(scaled / 100 - 1);
}

std::int32_t NextGridPhase(std::int32_t phase) {
    if (phase < 0 || phase >= kGraphGridPhases - 1) return 0;
    return phase + 1;
}

std::int32_t HorizontalGridRow(std::int32_t line, std::int32_t height) {
    return ClampToInt32(static_cast<std::int64_t>(line) * (height / 4));
}

std::int32_t VerticalGridLineCount(std::int32_t width) {
    const std::int32_t count = width / kGraphGridSpacing + 1;
    return count > 0 ? count : 0;
}

std::int32_t VerticalGridX(std::int32_t line, std::int32_t phase) {
    return ClampToInt32(static_cast<std::int64_t>(kGraphGridSpacing) * line -
                        static_cast<std::int64_t>(kGraphPixelsPerSample) * phase);
}

}  // namespace monitor
