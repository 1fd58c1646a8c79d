#include "freeing/ExclusionRules.h"

#include <algorithm>
#include <string_view>

#include "platform/IniFileRules.h"

namespace freeing {

namespace {

// The upper case of one letter by the rules FoldNameCase states.
wchar_t UpperLetter(wchar_t c) {
    if (c >= L'a' && c <= L'z') return static_cast<wchar_t>(c - 0x20);
    if (c < 0xE0 || c > 0x17E) return c;
    if (c <= 0xFE) return c == 0xF7 ? c : static_cast<wchar_t>(c - 0x20);
    if (c == 0xFF) return 0x178;
    // Latin Extended-A: pairs of upper then lower case, the lower one odd
    // from U+0100 and even from U+0139 to U+0148 and from U+0179 on; the
    // single letters U+0130, U+0131, U+0138, U+0149 and U+017F stay.
    if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149) return c;
    const bool lowerIsEven = (c >= 0x139 && c <= 0x148) || c >= 0x179;
    const bool even = c % 2 == 0;
    return even == lowerIsEven ? static_cast<wchar_t>(c - 1) : c;
}

bool ForbiddenInName(wchar_t c) { return c < 0x20 || std::wstring_view(L"<>\"|?*").find(c) != std::wstring_view::npos; }

// One item of the setting as a folded file name; empty when it names none.
std::wstring ReadItem(const std::wstring& raw) {
    std::wstring item = platform::TrimBlanks(raw);
    if (item.size() >= 2 && item.front() == L'"' && item.back() == L'"') item = item.substr(1, item.size() - 2);
    const std::wstring name = ExecutableFileName(item);
    if (name.empty() || name.size() > kMaxExcludedNameLength) return std::wstring();
    if (name.find_first_not_of(L'.') == std::wstring::npos) return std::wstring();
    if (std::any_of(name.begin(), name.end(), ForbiddenInName)) return std::wstring();
    return FoldNameCase(name);
}

}  // namespace

std::wstring ExecutableFileName(const std::wstring& path) {
    const std::size_t cut = path.find_last_of(L"\\/:");
    return cut == std::wstring::npos ? path : path.substr(cut + 1);
}

std::wstring FoldNameCase(const std::wstring& name) {
    std::wstring folded(name);
    for (wchar_t& c : folded) c = UpperLetter(c);
    return folded;
}

ExclusionList ExclusionList::Parse(const std::wstring& raw) {
    ExclusionList list;
    std::size_t start = 0;
    while (start <= raw.size() && list.names_.size() < kMaxExcludedNames) {
        std::size_t end = raw.find(L';', start);
        if (end == std::wstring::npos) end = raw.size();
        std::wstring name = ReadItem(raw.substr(start, end - start));
        if (!name.empty() && std::find(list.names_.begin(), list.names_.end(), name) == list.names_.end())
            list.names_.push_back(std::move(name));
        start = end + 1;
    }
    return list;
}

bool ExclusionList::Excludes(const std::wstring& processName) const {
    if (names_.empty()) return false;
    const std::wstring name = FoldNameCase(ExecutableFileName(processName));
    return std::find(names_.begin(), names_.end(), name) != names_.end();
}

}  // namespace freeing
