// The history of processor-usage samples: 151 signed percentages, index 0
// the oldest, index 150 the newest. Written only by the monitor tick; read
// by the usage graph and the idle auto-free pacing.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

namespace monitor {

constexpr int kCpuHistorySize = 151;
constexpr int kNewestSample = kCpuHistorySize - 1;

using CpuHistory = std::array<std::int32_t, kCpuHistorySize>;

// The sample the idle auto-free paces by: 25 ticks before the newest, so a
// burst of load shows only after it has lasted a while.
constexpr std::size_t kPacingSample = 125;

// Moves every entry one place towards index 0 (the oldest drops out) and
// stores `newest` at index 150.
void ShiftCpuHistory(CpuHistory& history, std::int32_t newest);

}  // namespace monitor
