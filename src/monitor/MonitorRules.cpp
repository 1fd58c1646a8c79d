#include "monitor/MonitorRules.h"

#include "platform/NumberRules.h"

namespace monitor {

std::int64_t BytesToMegabytes(std::int64_t bytes) { return bytes / 1024 / 1024; }

std::int32_t FreePercent(std::int64_t freeMb, std::int64_t totalMb) {
    if (totalMb <= 0) return 0;
    // Megabyte figures are below 2^44 (a 64-bit byte count is below 2^63),
    // so the product cannot overflow 64 bits.
    return platform::ClampToInt32(freeMb * 100 / totalMb);
}

std::wstring CpuCaption(std::int32_t sample) { return std::to_wstring(sample) + L"%"; }

std::wstring UsableDecimalSeparator(const std::wstring& userSeparator) {
    if (userSeparator.empty() || userSeparator.size() > 3) return L".";
    for (wchar_t c : userSeparator)
        if (c >= L'0' && c <= L'9') return L".";
    return userSeparator;
}

namespace {

constexpr std::int64_t kTerabyteInMb = 1048576;

// A megabyte figure in units of `unitMb` megabytes, truncated toward zero,
// with one decimal or none. The magnitude is taken unsigned, so that even
// INT64_MIN has one; a figure that truncates to nothing carries no sign.
std::wstring UnitFigure(std::int64_t mb, std::uint64_t unitMb, bool decimal, const std::wstring& separator) {
    const std::uint64_t magnitude = mb < 0 ? 0 - static_cast<std::uint64_t>(mb) : static_cast<std::uint64_t>(mb);
    const std::uint64_t whole = magnitude / unitMb;
    const std::uint64_t tenth = (magnitude % unitMb) * 10 / unitMb;  // the remainder is below 2^20: no overflow
    std::wstring text = mb < 0 && (whole != 0 || (decimal && tenth != 0)) ? L"-" : L"";
    text += std::to_wstring(whole);
    if (decimal) text += UsableDecimalSeparator(separator) + std::to_wstring(tenth);
    return text;
}

}  // namespace

std::wstring MemoryCaption(std::int64_t freeMb, std::int64_t totalMb, const std::wstring& decimalSeparator) {
    if (totalMb < kMemoryGigabytesFromMb)
        return std::to_wstring(freeMb) + L" of " + std::to_wstring(totalMb) + L"MB";
    // The total picks the unit and the decimal; the free figure follows it.
    std::uint64_t unit = 1024;
    const wchar_t* name = L"GB";
    bool decimal = totalMb / 1024 < 1000;
    if (totalMb / 1024 >= 10000) {
        unit = kTerabyteInMb;
        name = L"TB";
        decimal = totalMb / kTerabyteInMb < 1000;
    }
    return UnitFigure(freeMb, unit, decimal, decimalSeparator) + L" of " +
           UnitFigure(totalMb, unit, decimal, decimalSeparator) + name;
}

std::wstring AddressSpaceCaption(std::int64_t freeMb, std::int64_t totalMb, const std::wstring& decimalSeparator) {
    if (totalMb < kTerabyteInMb) return MemoryCaption(freeMb, totalMb, decimalSeparator);
    // Free rounds down (never more than there is); the total, which the
    // system gives a little under a power of two, to the nearest terabyte.
    const std::int64_t freeTb = freeMb >= 0 ? freeMb / kTerabyteInMb : -((-freeMb - 1) / kTerabyteInMb) - 1;
    const std::int64_t totalTb = totalMb / kTerabyteInMb + (totalMb % kTerabyteInMb >= kTerabyteInMb / 2 ? 1 : 0);
    return std::to_wstring(freeTb) + L" of " + std::to_wstring(totalTb) + L"TB";
}

std::wstring TrayHintText(const std::wstring& caption, std::int32_t physPercent,
                          const std::wstring& ramFreeText, std::int64_t physFreeMb,
                          std::int32_t newestSample, const std::wstring& cpuFreeText) {
    // 64-bit so that 100 minus any stored sample is exact.
    const std::int64_t cpuFree = 100 - static_cast<std::int64_t>(newestSample);
    std::wstring hint;
    hint.reserve(caption.size() + ramFreeText.size() + cpuFreeText.size() + 48);
    hint += caption;
    hint += L": ";
    hint += std::to_wstring(physPercent);
    hint += L"% ";
    hint += ramFreeText;
    hint += L" (";
    hint += std::to_wstring(physFreeMb);
    hint += L"MB)  ";
    hint += std::to_wstring(cpuFree);
    hint += L"% ";
    hint += cpuFreeText;
    return hint;
}

std::wstring FitTrayHint(const std::wstring& hint, std::size_t capacity) {
    if (capacity == 0) return std::wstring();
    std::size_t keep = capacity - 1;
    if (hint.size() <= keep) return hint;
    // Do not leave the high half of a pair whose low half is cut away.
    if (keep > 0) {
        const wchar_t last = hint[keep - 1];
        if (last >= 0xD800 && last <= 0xDBFF) --keep;
    }
    return hint.substr(0, keep);
}

}  // namespace monitor
