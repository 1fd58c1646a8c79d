#include "app/HotkeyRules.h"

#include <string_view>

#include "platform/IniFileRules.h"

namespace app {

namespace {

struct Modifier {
    const wchar_t* name;
    unsigned bit;
};
// In the order HotkeyText writes them.
constexpr Modifier kModifiers[] = {{L"Ctrl", kModControl}, {L"Alt", kModAlt}, {L"Shift", kModShift}, {L"Win", kModWin}};

constexpr std::size_t kQuotedPartLength = 32;

std::wstring Quoted(const std::wstring& part) {
    return L"'" + (part.size() > kQuotedPartLength ? part.substr(0, kQuotedPartLength) + L"..." : part) + L"'";
}

bool SameLetters(const std::wstring& part, const wchar_t* name) {
    std::size_t i = 0;
    for (; name[i] != 0; ++i) {
        if (i >= part.size()) return false;
        wchar_t c = part[i];
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - 0x20);
        wchar_t n = name[i];
        if (n >= L'a' && n <= L'z') n = static_cast<wchar_t>(n - 0x20);
        if (c != n) return false;
    }
    return i == part.size();
}

unsigned ModifierBit(const std::wstring& part) {
    for (const Modifier& m : kModifiers)
        if (SameLetters(part, m.name)) return m.bit;
    return 0;
}

// The virtual-key code of a key part, 0 when it names none.
unsigned KeyCode(const std::wstring& part) {
    if (part.size() == 1) {
        const wchar_t c = part[0];
        if (c >= L'0' && c <= L'9') return c;
        if (c >= L'A' && c <= L'Z') return c;
        if (c >= L'a' && c <= L'z') return c - 0x20u;
        return 0;
    }
    // "F1".."F24": no leading zero, no sign.
    if (part.size() > 3 || (part[0] != L'F' && part[0] != L'f') || part[1] < L'1' || part[1] > L'9') return 0;
    unsigned n = part[1] - L'0';
    if (part.size() == 3) {
        if (part[2] < L'0' || part[2] > L'9') return 0;
        n = n * 10 + (part[2] - L'0');
    }
    return n >= 1 && n <= kVkF24 - kVkF1 + 1 ? kVkF1 + n - 1 : 0;
}

HotkeyReading Refused(std::wstring why) { return HotkeyReading{Hotkey{}, std::move(why)}; }

}  // namespace

HotkeyReading ParseHotkey(const std::wstring& text) {
    if (platform::TrimBlanks(text).empty()) return HotkeyReading{};
    Hotkey hotkey;
    std::wstring keyPart;
    for (std::size_t start = 0; start <= text.size();) {
        std::size_t end = text.find(L'+', start);
        if (end == std::wstring::npos) end = text.size();
        const std::wstring part = platform::TrimBlanks(std::wstring_view(text).substr(start, end - start));
        start = end + 1;
        if (part.empty()) return Refused(L"an empty part");
        if (const unsigned bit = ModifierBit(part)) {
            if (hotkey.modifiers & bit) return Refused(Quoted(part) + L" given twice");
            hotkey.modifiers |= bit;
            continue;
        }
        const unsigned key = KeyCode(part);
        if (key == 0) return Refused(L"unknown key " + Quoted(part));
        if (hotkey.key != 0) return Refused(L"two keys: " + Quoted(keyPart) + L" and " + Quoted(part));
        hotkey.key = key;
        keyPart = part;
    }
    if (hotkey.key == 0) return Refused(L"no key");
    const bool functionKey = hotkey.key >= kVkF1;
    if (!functionKey && (hotkey.modifiers & (kModControl | kModAlt | kModWin)) == 0)
        return Refused(Quoted(keyPart) + L" needs Ctrl, Alt or Win");
    if (functionKey && hotkey.key < kVkF1 + 12 && hotkey.modifiers == 0)
        return Refused(Quoted(keyPart) + L" needs a modifier");
    return HotkeyReading{hotkey, std::wstring()};
}

unsigned RegisterHotkeyModifiers(const Hotkey& hotkey, int major, int minor) {
    const bool windows7OrLater = major > 6 || (major == 6 && minor >= 1);
    return hotkey.modifiers | (windows7OrLater ? kModNoRepeat : 0u);
}

std::wstring HotkeyText(const Hotkey& hotkey) {
    if (hotkey.key == 0) return std::wstring();
    std::wstring text;
    for (const Modifier& m : kModifiers)
        if (hotkey.modifiers & m.bit) text += std::wstring(m.name) + L"+";
    const unsigned key = hotkey.key;
    if ((key >= L'0' && key <= L'9') || (key >= L'A' && key <= L'Z')) text += static_cast<wchar_t>(key);
    else if (key >= kVkF1 && key <= kVkF24) text += L"F" + std::to_wstring(key - kVkF1 + 1);
    else text += L"?";
    return text;
}

}  // namespace app
