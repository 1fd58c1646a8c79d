// The low-memory warning: when the commit charge (what the system has
// promised to processes) nears the commit limit, the tray warns once with a
// balloon and the tooltip leads with a line of its own. The rule, the
// setting that sets its threshold and the warning's texts; no OS calls here.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace monitor {

// ---- The setting (key "commitwarning") ----

constexpr int kCommitWarningDefault = 90;  // percent of the commit limit
constexpr int kCommitWarningLowest = 50;
constexpr int kCommitWarningHighest = 99;
constexpr int kCommitWarningOff = 0;

// The threshold from the setting's raw text: blanks around it ignored, then
// decimal digits with an optional '+'. 0 (in any spelling, "00" too) turns
// the warning off; 50 to 99 is the threshold; anything else (missing, empty,
// not a number, a sign '-', out of range) gives the default, 90.
int ParseCommitWarningThreshold(const std::wstring& raw);

// ---- The rule ----

// The charge falls this many points below the threshold before a second
// warning can come.
constexpr int kCommitWarningRearmPoints = 5;
// No warning for this long after the program's own Deep Clean ends: the
// clean fills memory on purpose, and the charge takes a moment to fall back.
constexpr std::uint32_t kCommitWarningQuietMs = 10000;

// The commit charge as a percentage of the limit, rounded down: the charge
// is total - free of the page file (the commit limit and what is still
// available), kept within 0..total (free above the total, or beyond 2^63 and
// so negative here, counts as a charge of 0). -1 for a failed reading: a
// total of 0 or less. Exact for every limit below 2^56 bytes; above, both
// figures lose their lowest 8 bits first.
std::int32_t CommitChargePercent(std::int64_t pageFileTotal, std::int64_t pageFileFree);

// Watches the commit charge tick by tick and says when to warn. It warns
// once when the charge reaches the threshold, and is armed again only once
// the charge has fallen below the threshold less 5 points. While a Deep
// Clean runs, and for 10 s after it ends, it does not warn; a charge still
// high after that warns then. A failed reading changes nothing and never
// warns. Times are milliseconds of a clock that may wrap at 2^32
// (GetTickCount): only differences are used.
class CommitWatch {
public:
    explicit CommitWatch(int thresholdPercent = kCommitWarningDefault) noexcept : threshold_(thresholdPercent) {}

    // A changed setting: the new threshold applies from the next tick; the
    // armed state stays as it is (a warning given is not given again just
    // because the setting changed).
    void SetThreshold(int thresholdPercent) noexcept { threshold_ = thresholdPercent; }
    int Threshold() const noexcept { return threshold_; }

    // One tick's reading of the page file (bytes). Returns whether to warn now.
    bool Tick(std::int64_t pageFileTotal, std::int64_t pageFileFree, std::uint32_t nowMs,
              bool deepCleanRunning) noexcept;

    // The program's own Deep Clean ended at nowMs: the quiet time starts.
    void DeepCleanEnded(std::uint32_t nowMs) noexcept;

    // From the last tick: whether the charge is at or above the threshold (the
    // warning on; a failed reading reads false), and the charge percent (-1
    // after a failed reading or before the first tick).
    bool High() const noexcept { return high_; }
    std::int32_t ChargePercent() const noexcept { return percent_; }

private:
    int threshold_;
    bool armed_ = true;
    bool high_ = false;
    std::int32_t percent_ = -1;
    bool quiet_ = false;  // a Deep Clean ended less than the quiet time ago
    std::uint32_t quietFrom_ = 0;
};

// ---- The texts ----
//
// Templates come from the language file and take numbered placeholders, as
// FormatMessage does: "%1" to "%9" stand for the arguments in order, so a
// translation may put them in any order. A '%' not followed by the number of
// an argument is kept as it is ("%1 %" gives "93 %").

// Default English texts, for the language keys the caller looks up.
inline constexpr wchar_t kCommitWarningTitle[] = L"Brimvale: memory is running low";
// %1: the charge percent.
inline constexpr wchar_t kCommitWarningHint[] = L"Low on memory: %1 % committed";
// %1: charge and limit ("22.6 of 23.5GB"), %2: the charge percent.
inline constexpr wchar_t kCommitWarningText[] = L"%1 committed (%2 %).";
// %1: the largest processes ("chrome.exe 3.2 GB, code.exe 850 MB").
inline constexpr wchar_t kCommitWarningLargest[] = L"Largest: %1";

// Room in the balloon's text and title (NOTIFYICONDATAW::szInfo and
// szInfoTitle), in UTF-16 units including the terminating null.
constexpr std::size_t kBalloonTextCapacity = 256;
constexpr std::size_t kBalloonTitleCapacity = 64;
// The balloon names at most this many processes.
constexpr std::size_t kBalloonProcesses = 3;

// pattern with "%1".."%9" replaced by args[0..8] (see above).
std::wstring FillTemplate(const std::wstring& pattern, const std::vector<std::wstring>& args);

// The tooltip's first line while the charge is high: the hint template with
// the percent ("Low on memory: 93 % committed").
std::wstring CommitWarningHintLine(const std::wstring& pattern, std::int32_t percent);

// A process's private commit: whole megabytes below 1 GB ("850 MB"), from
// there gigabytes with one decimal ("3.2 GB"), both truncated; the decimal
// separator as in MemoryCaption.
std::wstring ProcessCommitFigure(std::int64_t bytes, const std::wstring& decimalSeparator = L".");

// One process as the balloon names it: its executable and its commit.
struct ProcessCharge {
    std::wstring name;
    std::int64_t bytes = 0;
};

// The balloon's templates (defaults above; the caller translates them).
struct CommitBalloonTexts {
    std::wstring text = kCommitWarningText;
    std::wstring largest = kCommitWarningLargest;
};

// The balloon's text: the text template's line with charge and limit as the
// page-file row shows them (MemoryCaption) and the percent; then, on a line
// of its own, the largest template with the first three processes ("name
// figure", joined by ", "), as many of them as fit whole; that line is left
// out when none is given or none fits. The result always fits the balloon
// (kBalloonTextCapacity): a translation too long for it is cut (FitTrayHint).
std::wstring CommitWarningBalloon(const CommitBalloonTexts& texts, std::int64_t chargeBytes,
                                  std::int64_t limitBytes, std::int32_t percent,
                                  const std::vector<ProcessCharge>& largest,
                                  const std::wstring& decimalSeparator = L".");

}  // namespace monitor
