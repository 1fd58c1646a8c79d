#include "platform/IniFileRules.h"

#include <cstdint>

namespace platform {
namespace {

int DigitValue(wchar_t character, int base) {
    int v = -1;
    if (character >= L'0' && character <= L'9') v = character - L'0';
    else if (character >= L'a' && character <= L'f') v = character - L'a' + 10;
    else if (character >= L'A' && character <= L'F') v = character - L'A' + 10;
    return v < base ? v : -1;
}

// Parses digits[pos..] in the given base; false when there are none, when a
// character is not a digit, or when the magnitude passes limit.
bool ParseMagnitude(const std::wstring& text, size_t pos, int base, uint64_t limit,
                    uint64_t& out) {
    if (pos >= text.size()) return false;
    uint64_t value = 0;
    for (; pos < text.size(); ++pos) {
        const int d = DigitValue(text[pos], base);
        if (d < 0) return false;
        value = value * base + static_cast<uint64_t>(d);
        if (value > limit) return false;
    }
    out = value;
    return true;
}

bool StartsWith(const std::wstring& text, const wchar_t* prefix) {
    return text.compare(0, std::wstring(prefix).size(), prefix) == 0;
}

}  // namespace

bool ParseIniBool(const std::wstring& text, bool defaultValue) {
    uint64_t magnitude = 0;
    size_t hexStart = 0;
    if (StartsWith(text, L"$")) hexStart = 1;
    else if (StartsWith(text, L"0x") || StartsWith(text, L"0X")) hexStart = 2;

    if (hexStart != 0) {
        // Any 32-bit pattern is an integer; only zero reads as off.
        if (!ParseMagnitude(text, hexStart, 16, 0xFFFFFFFFull, magnitude)) return defaultValue;
        return magnitude != 0;
    }

    size_t pos = 0;
    bool negative = false;
    if (!text.empty() && (text[0] == L'+' || text[0] == L'-')) {
        negative = text[0] == L'-';
        pos = 1;
    }
    const uint64_t limit = negative ? 2147483648ull : 2147483647ull;
    if (!ParseMagnitude(text, pos, 10, limit, magnitude)) return defaultValue;
    return magnitude != 0;
}

namespace {
bool SameKey(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto fold = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; };
        if (fold(a[i]) != fold(b[i])) return false;
    }
    return true;
}
}  // namespace

std::wstring TrimBlanks(std::wstring_view text) {
    const std::size_t first = text.find_first_not_of(L" \t");
    if (first == std::wstring_view::npos) return std::wstring();
    return std::wstring(text.substr(first, text.find_last_not_of(L" \t") - first + 1));
}

IniLines WithKeysSet(const IniLines& lines, const IniLines& keys) {
    IniLines result = lines;
    for (const auto& [key, value] : keys) {
        bool found = false;
        for (auto& line : result) {
            if (SameKey(line.first, key)) {
                line.second = value;
                found = true;
            }
        }
        if (!found) result.emplace_back(key, value);
    }
    return result;
}

ReadStep NextReadStep(unsigned long openError, unsigned long waitedMs) {
    constexpr unsigned long kFileNotFound = 2, kPathNotFound = 3;  // ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND
    if (openError == 0) return ReadStep::Read;
    if (openError == kFileNotFound || openError == kPathNotFound) return ReadStep::Missing;
    return waitedMs < ReadRetryLimitMs ? ReadStep::Wait : ReadStep::Unreadable;
}

}  // namespace platform
