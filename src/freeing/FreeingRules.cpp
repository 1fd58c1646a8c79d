#include "freeing/FreeingRules.h"

#include <limits>

#include "platform/NumberRules.h"

namespace freeing {

namespace {
constexpr std::int64_t kInt64Max = std::numeric_limits<std::int64_t>::max();
}  // namespace

using platform::ClampToInt32;

bool AutoFreeSkips(std::int32_t u) { return u > kBusyPercent; }

int AutoFreeInterval(std::int32_t u, int current) {
    if (AutoFreeSkips(u)) return current;
    if (u > 50) return 10000;
    if (u > 30) return 7000;
    return 5000;
}

bool AutoFreePacer::Pace(std::int32_t u) noexcept {
    if (AutoFreeSkips(u)) return false;
    interval_ = AutoFreeInterval(u, interval_);
    return true;
}

std::int64_t FloorDiv(std::int64_t value, std::int64_t divisor) {
    // C++ division truncates towards zero; step down when a negative value
    // leaves a remainder. Neither step can overflow for divisor > 0.
    std::int64_t quotient = value / divisor;
    if (value % divisor != 0 && value < 0) --quotient;
    return quotient;
}

std::int32_t ReleasedMegabytes(std::int64_t before, std::int64_t after) {
    // Each quotient lies within +-2^43, so the difference fits in 64 bits.
    return ClampToInt32(FloorDiv(after, kMegabyte) - FloorDiv(before, kMegabyte));
}

std::wstring CleanTraceText(const std::wstring& clean, std::int64_t before, std::int64_t after) {
    return clean + L": " + std::to_wstring(FloorDiv(before, kMegabyte)) + L" MB free before, " +
           std::to_wstring(FloorDiv(after, kMegabyte)) + L" MB after, " +
           std::to_wstring(ReleasedMegabytes(before, after)) + L" MB released";
}

std::wstring PassedOverTraceText(const std::wstring& clean, int passedOver) {
    return clean + L" passed over " + std::to_wstring(passedOver) +
           (passedOver == 1 ? L" excluded process" : L" excluded processes");
}

int CleanExitCode(const CleanOutcome& outcome) { return outcome.measured && outcome.acted ? 0 : 1; }

std::int32_t DeepCleanTarget(std::int64_t total, std::int64_t free) {
    if (total < 0) total = 0;
    if (free < 0) free = 0;
    // Both are in [0, 2^63): the difference cannot overflow, and its eighth
    // is at least -2^60, so only a positive sum can leave the range.
    const std::int64_t usedEighth = FloorDiv(total - free, 8);
    if (usedEighth > 0 && free > kInt64Max - usedEighth) return kBlockTableSlots;
    const std::int64_t blocks = FloorDiv(usedEighth + free, kMegabyte);
    if (blocks < 0) return 0;
    if (blocks > kBlockTableSlots) return kBlockTableSlots;
    return static_cast<std::int32_t>(blocks);
}

int DeepCleanProgressMax(std::int32_t n) { return n > 0 ? n - 1 : 0; }

bool DeepCleanPausesAfter(std::int32_t i) { return i >= 0 && (i + 1) % 50 == 0; }

bool LeavesAddressSpaceReserve(std::int64_t left, std::int64_t blockBytes) {
    // left - blockBytes >= reserve, written so that no subtraction overflows.
    if (blockBytes < 0) blockBytes = 0;
    if (left < kAddressSpaceReserve) return false;
    return left - kAddressSpaceReserve >= blockBytes;
}

std::int32_t DeepCleanReachableBlocks(std::int32_t n, std::int64_t left, std::int64_t blockBytes) {
    if (n <= 0 || blockBytes <= 0 || left < kAddressSpaceReserve) return 0;
    const std::int64_t blocks = (left - kAddressSpaceReserve) / blockBytes;
    return blocks < n ? static_cast<std::int32_t>(blocks) : n;
}

std::int64_t UsableBlockBytes(std::uint64_t base, std::uint64_t size, std::uint64_t granularity,
                              std::int64_t blockBytes) {
    if (blockBytes <= 0) return 0;
    if (granularity == 0) granularity = 1;
    const std::uint64_t misalignment = base % granularity;
    const std::uint64_t skip = misalignment == 0 ? 0 : granularity - misalignment;
    if (skip >= size) return 0;
    const std::uint64_t block = static_cast<std::uint64_t>(blockBytes);
    const std::uint64_t blocks = (size - skip) / block;
    if (blocks > static_cast<std::uint64_t>(kInt64Max) / block) return kInt64Max;
    return static_cast<std::int64_t>(blocks * block);
}

int ReportTextLeft(int numberLeft, int numberWidth) { return numberLeft + numberWidth + kReportGap; }

bool ReportInTray(bool windowVisible, bool windowMinimised) { return !windowVisible || windowMinimised; }

std::wstring ReportLine(std::int32_t released, const std::wstring& text) {
    return released > 0 ? std::to_wstring(released) + L" " + text : text;
}

}  // namespace freeing
