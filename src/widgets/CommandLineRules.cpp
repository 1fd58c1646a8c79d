#include "widgets/CommandLineRules.h"

namespace widgets {
namespace {

bool IsSeparator(wchar_t c) { return c <= L' '; }

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

}  // namespace widgets
