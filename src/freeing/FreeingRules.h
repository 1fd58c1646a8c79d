// The arithmetic and decisions of the memory-freeing commands, kept apart
// from the system calls so that they can be tested on any host: the idle
// auto-free pacing, the released-megabyte figure, the Deep Clean target and
// progress range, the address-space reserve and the report's layout.
#pragma once
#include <cstdint>
#include <string>

namespace freeing {

constexpr std::int64_t kMegabyte = 1048576;

// ---- Idle auto-free pacing ----

// Above this processor usage (percent) a trimming pass is skipped.
constexpr std::int32_t kBusyPercent = 80;

// Whether a trimming pass is skipped for the usage u: u > 80.
bool AutoFreeSkips(std::int32_t u);

// The interval (ms) the auto-free timer gets from a pass at usage u:
// 5000 up to 30, 7000 above 30, 10000 above 50 (strict comparisons), and
// `current` unchanged when the pass is skipped (u > 80). Negative usages
// (a broken sample) pace like 0.
int AutoFreeInterval(std::int32_t u, int current);

// The idle auto-free's pace: the interval (ms) its timer waits between
// passes, retuned by every pass that is not skipped. The timer is told this
// interval; it keeps none of the pacing itself.
class AutoFreePacer {
public:
    static constexpr int kFirstInterval = 5000;
    // A pass at usage u: false when it is skipped (the interval stays),
    // otherwise true with the interval retuned for u.
    bool Pace(std::int32_t u) noexcept;
    int Interval() const noexcept { return interval_; }

private:
    int interval_ = kFirstInterval;
};

// ---- Released megabytes ----

// Largest integer not greater than value / divisor (divisor > 0), defined
// for every int64 value.
std::int64_t FloorDiv(std::int64_t value, std::int64_t divisor);

// The gain between two free-memory readings in bytes: each is cut to whole
// megabytes first (rounding down), then before is taken from after. Defined
// for any inputs: a difference outside the 32-bit range (only possible with
// absurd readings) is clamped to its ends rather than wrapped, so the sign of
// the report stays right.
std::int32_t ReleasedMegabytes(std::int64_t before, std::int64_t after);

// The support trace's line for one clean: its name, the free memory before
// and after in whole megabytes (rounded down) and the gain the window reports
// ("Smart Clean: 1000 MB free before, 1007 MB after, 7 MB released").
std::wstring CleanTraceText(const std::wstring& clean, std::int64_t before, std::int64_t after);

// The support trace's line for the processes a clean left alone because the
// user excluded them ("Smart Clean passed over 2 excluded processes").
std::wstring PassedOverTraceText(const std::wstring& clean, int passedOver);

// What one clean did.
struct CleanOutcome {
    bool measured = false;  // the memory status could be read (a physical total above 0)
    bool acted = false;     // Smart Clean: a pass could list the processes;
                            // Deep Clean: at least one block was taken
    std::int32_t released = 0;  // the gain reported, in whole megabytes
    bool reported = false;      // the run reached its report (it was not stopped)
};

// The exit code of a clean run from the command line: 0 when the clean ran
// (measured and acted, whatever it gained, a loss included), 1 when it could
// not: no memory status to measure by, no process list (Smart Clean) or not
// one block of memory (Deep Clean).
int CleanExitCode(const CleanOutcome& outcome);

// ---- Deep Clean ----

// Slots of the block table: the most blocks one run takes.
constexpr std::int32_t kBlockTableSlots = 16385;

// Target block count from the first reading: the free physical memory plus
// one eighth of the used physical memory, in whole megabytes rounded down,
//     N = ((total - free) div 8 + free) div 1 MB     (64-bit arithmetic).
// It is cut to the block table (16,385) and is never negative. Negative
// figures (unsigned system values beyond 2^63 kept bit for bit) count as 0;
// free above total (readings that disagree) gives a negative used part,
// which lowers the target as the formula says. No input overflows.
std::int32_t DeepCleanTarget(std::int64_t total, std::int64_t free);

// The progress bar's maximum for a target of n blocks: n - 1, the index of
// the last block. For n <= 0 (memory figures unavailable) the bar gets 0
// rather than a maximum below its minimum.
int DeepCleanProgressMax(std::int32_t n);

// Whether a Deep Clean pauses after the block with index i: after every
// 50th block (i + 1 a multiple of 50).
bool DeepCleanPausesAfter(std::int32_t i);

// The process's own address space a fill must leave untouched: the rest of
// the program (message handlers run during the fill) needs room to live.
constexpr std::int64_t kAddressSpaceReserve = 64 * kMegabyte;

// Whether one more block of blockBytes may be taken when `left` bytes of
// the process's address space are still usable for blocks: at least the
// reserve must remain after taking it.
bool LeavesAddressSpaceReserve(std::int64_t left, std::int64_t blockBytes);

// How many of a target of n blocks of blockBytes (> 0) a fill can take
// before the address-space reserve stops it, with `left` bytes usable at its
// start: min(n, (left - reserve) div blockBytes), never negative. The
// progress bar's maximum comes from this count, so the bar reaches its end.
std::int32_t DeepCleanReachableBlocks(std::int32_t n, std::int64_t left, std::int64_t blockBytes);

// Bytes of a free address range [base, base + size) that whole blocks of
// blockBytes can use when each block starts on a multiple of granularity
// (the system's allocation granularity): the range's start is rounded up to
// the granularity, and what follows holds floor(rest / blockBytes) blocks.
// granularity 0 is taken as 1; blockBytes must be positive.
std::int64_t UsableBlockBytes(std::uint64_t base, std::uint64_t size, std::uint64_t granularity,
                              std::int64_t blockBytes);

// ---- Report layout ----

// Gap in pixels between the released number and the text after it.
constexpr int kReportGap = 7;

// Left edge of the "MB memory has been released." text: just after the
// number label, kReportGap pixels on.
int ReportTextLeft(int numberLeft, int numberWidth);

// ---- The report where the user is ----

// Whether a clean's report goes to the tray as a notification too: when the
// main window is out of sight, hidden in the tray or minimised.
bool ReportInTray(bool windowVisible, bool windowMinimised);

// The report as one line: for a gain above 0 the number, a blank and the
// text that follows it on the window ("1234 MB memory has been released."),
// otherwise the text alone ("No memory has been released.").
std::wstring ReportLine(std::int32_t released, const std::wstring& text);

}  // namespace freeing
