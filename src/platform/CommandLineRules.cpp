#include "platform/CommandLineRules.h"

namespace platform {
namespace {

bool IsSeparator(wchar_t character) { return character <= L' '; }

wchar_t AsciiLower(wchar_t character) {
    return character >= L'A' && character <= L'Z' ? static_cast<wchar_t>(character - L'A' + L'a') : character;
}

// Whether `param` is "/" or "-" followed by `name` (lower case) in any ASCII
// letter case. Only ASCII letters fold: no locale can make another character
// match.
bool IsSwitch(const std::wstring& param, const wchar_t* name) {
    if (param.empty() || (param[0] != L'/' && param[0] != L'-')) return false;
    const std::wstring wanted(name);
    if (param.size() != wanted.size() + 1) return false;
    for (std::size_t i = 0; i < wanted.size(); ++i)
        if (AsciiLower(param[i + 1]) != wanted[i]) return false;
    return true;
}

// Reads one item starting at pos; returns false when only separators are left.
bool NextItem(const std::wstring& line, std::size_t& pos, std::wstring& item) {
    while (pos < line.size() && IsSeparator(line[pos])) ++pos;
    if (pos >= line.size()) return false;
    item.clear();
    bool quoted = false;
    for (; pos < line.size(); ++pos) {
        const wchar_t c = line[pos];
        if (c == L'"') {
            quoted = !quoted;
        } else if (!quoted && IsSeparator(c)) {
            break;
        } else {
            item += c;
        }
    }
    return true;
}

}  // namespace

std::vector<std::wstring> SplitParameters(const std::wstring& commandLine) {
    std::vector<std::wstring> params;
    std::size_t pos = 0;
    std::wstring item;
    if (!NextItem(commandLine, pos, item)) return params;  // the program itself
    while (NextItem(commandLine, pos, item)) params.push_back(item);
    return params;
}

CleanSwitch CleanSwitchOf(const std::vector<std::wstring>& params) {
    if (params.size() != 1) return CleanSwitch::None;
    if (IsSwitch(params[0], L"smartclean")) return CleanSwitch::Smart;
    if (IsSwitch(params[0], L"deepclean")) return CleanSwitch::Deep;
    if (IsSwitch(params[0], L"exit")) return CleanSwitch::Exit;
    return CleanSwitch::None;
}

}  // namespace platform
