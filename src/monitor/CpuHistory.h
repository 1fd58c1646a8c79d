// The process-wide history of processor-usage samples: 151 signed percentages,
// index 0 the oldest, index 150 the newest. Values are stored as sampled,
// never clamped (a sample a little below 0 or above 100 stays as it is).
// Written only by the monitor tick; read by the usage graph and the idle
// auto-free pacing.
#pragma once
#include <array>
#include <cstdint>

namespace monitor {

constexpr int kCpuHistorySize = 151;
constexpr int kNewestSample = kCpuHistorySize - 1;

extern std::array<std::int32_t, kCpuHistorySize> CpuHistory;

// Sets every entry to 0 (the state before the first tick).
void ResetCpuHistory();

// Moves every entry one place towards index 0 (the oldest drops out) and
// stores `newest` at index 150.
void ShiftCpuHistory(std::int32_t newest);

}  // namespace monitor
