// Geometry of the processor-usage graph: the row of a sample, the scroll
// phase of the vertical grid, and where the grid lines stand. No OS calls.
#pragma once
#include <cstdint>

namespace monitor {

constexpr int kGraphPixelsPerSample = 3;   // sample j lies at x = 3 * j
constexpr int kGraphGridSpacing = 15;      // vertical grid every five samples
constexpr int kGraphGridPhases = 5;        // the grid phase runs 0..4
constexpr int kGraphHorizontalLines = 3;   // at a quarter, half and three quarters

// The row of sample value `percent` on a graph `height` pixels high:
// (100 - percent) * height div 100 - 1, truncating toward zero. With height 89:
// 0 and -1 give 88 (bottom row), 98 gives 0, 99 and 100 give -1 (above the
// image, painted nowhere). Exact in 64 bits and clamped to int32 for any
// percent.
std::int32_t GraphRow(std::int32_t percent, std::int32_t height);

// The next grid phase: 4 wraps to 0, others grow by 1. A phase outside 0..4
// (never produced here) restarts at 0.
std::int32_t NextGridPhase(std::int32_t phase);

// Row of horizontal grid line `line` (1..3): line * (height div 4).
std::int32_t HorizontalGridRow(std::int32_t line, std::int32_t height);

// Number of vertical grid lines on a graph `width` wide: width div 15 + 1
// (none for a negative width that leaves nothing to draw).
std::int32_t VerticalGridLineCount(std::int32_t width);

// Column of vertical grid line `line` (1..count) at a phase:
// 15 * line - 3 * phase, clamped to int32.
std::int32_t VerticalGridX(std::int32_t line, std::int32_t phase);

}  // namespace monitor
