#include "monitor/CommitWarningRules.h"

#include "monitor/MonitorRules.h"
#include "platform/IniFileRules.h"

namespace monitor {

int ParseCommitWarningThreshold(const std::wstring& raw) {
    const std::wstring text = platform::TrimBlanks(raw);
    const std::size_t digits = !text.empty() && text[0] == L'+' ? 1 : 0;
    if (digits >= text.size()) return kCommitWarningDefault;
    int value = 0;
    for (std::size_t pos = digits; pos < text.size(); ++pos) {
        const wchar_t c = text[pos];
        if (c < L'0' || c > L'9') return kCommitWarningDefault;
        value = value * 10 + (c - L'0');
        if (value > kCommitWarningHighest) return kCommitWarningDefault;  // stops before any overflow
    }
    if (value == kCommitWarningOff) return kCommitWarningOff;
    return value >= kCommitWarningLowest ? value : kCommitWarningDefault;
}

std::int32_t CommitChargePercent(std::int64_t pageFileTotal, std::int64_t pageFileFree) {
    if (pageFileTotal <= 0) return -1;
    std::int64_t charge = 0;
    if (pageFileFree >= 0 && pageFileFree < pageFileTotal) charge = pageFileTotal - pageFileFree;
    std::int64_t limit = pageFileTotal;
    // charge <= limit, so charge * 100 fits while the limit is below 2^56.
    if (limit >= (std::int64_t{1} << 56)) {
        limit >>= 8;
        charge >>= 8;
    }
    return static_cast<std::int32_t>(charge * 100 / limit);
}

bool CommitWatch::Tick(std::int64_t pageFileTotal, std::int64_t pageFileFree, std::uint32_t nowMs,
                       bool deepCleanRunning) noexcept {
    if (quiet_ && nowMs - quietFrom_ >= kCommitWarningQuietMs) quiet_ = false;
    percent_ = CommitChargePercent(pageFileTotal, pageFileFree);
    if (percent_ < 0) {
        high_ = false;
        return false;
    }
    // Whole percents are enough: with an integer threshold, the rounded-down
    // percent reaches it exactly when the charge does.
    const bool on = threshold_ != kCommitWarningOff;
    high_ = on && percent_ >= threshold_;
    if (percent_ < threshold_ - kCommitWarningRearmPoints) armed_ = true;
    if (!high_ || !armed_ || deepCleanRunning || quiet_) return false;
    armed_ = false;
    return true;
}

void CommitWatch::DeepCleanEnded(std::uint32_t nowMs) noexcept {
    quiet_ = true;
    quietFrom_ = nowMs;
}

std::wstring FillTemplate(const std::wstring& pattern, const std::vector<std::wstring>& args) {
    std::wstring text;
    text.reserve(pattern.size() + 32);
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == L'%' && i + 1 < pattern.size() && pattern[i + 1] >= L'1' && pattern[i + 1] <= L'9') {
            const std::size_t n = static_cast<std::size_t>(pattern[i + 1] - L'1');
            if (n < args.size()) {
                text += args[n];
                ++i;
                continue;
            }
        }
        text += pattern[i];
    }
    return text;
}

std::wstring CommitWarningHintLine(const std::wstring& pattern, std::int32_t percent) {
    return FillTemplate(pattern, {std::to_wstring(percent)});
}

std::wstring ProcessCommitFigure(std::int64_t bytes, const std::wstring& decimalSeparator) {
    const std::int64_t mb = bytes > 0 ? BytesToMegabytes(bytes) : 0;
    if (mb < 1024) return std::to_wstring(mb) + L" MB";
    const std::wstring separator = decimalSeparator.empty() ? L"." : decimalSeparator;
    return std::to_wstring(mb / 1024) + separator + std::to_wstring(mb % 1024 * 10 / 1024) + L" GB";
}

std::wstring CommitWarningBalloon(const CommitBalloonTexts& texts, std::int64_t chargeBytes,
                                  std::int64_t limitBytes, std::int32_t percent,
                                  const std::vector<ProcessCharge>& largest,
                                  const std::wstring& decimalSeparator) {
    const std::wstring figures =
        MemoryCaption(BytesToMegabytes(chargeBytes), BytesToMegabytes(limitBytes), decimalSeparator);
    const std::wstring first = FillTemplate(texts.text, {figures, std::to_wstring(percent)});
    // The line with the most processes that still fits; "name figure" items
    // are never cut, so a name is shown whole or not at all.
    std::wstring balloon = first;
    std::wstring list;
    for (std::size_t i = 0; i < largest.size() && i < kBalloonProcesses; ++i) {
        const std::wstring item = largest[i].name + L" " + ProcessCommitFigure(largest[i].bytes, decimalSeparator);
        const std::wstring longer = list.empty() ? item : list + L", " + item;
        const std::wstring candidate = first + L"\n" + FillTemplate(texts.largest, {longer});
        if (candidate.size() >= kBalloonTextCapacity) break;
        list = longer;
        balloon = candidate;
    }
    return FitTrayHint(balloon, kBalloonTextCapacity);
}

}  // namespace monitor
