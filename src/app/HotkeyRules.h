// The global hotkey setting (key "hotkey", "Ctrl+Alt+M"): reading it into
// the modifier bits and virtual-key code RegisterHotKey takes, and writing
// it back as text for messages. No OS calls here.
#pragma once
#include <string>

namespace app {

// RegisterHotKey's modifier bits (MOD_ALT, MOD_CONTROL, MOD_SHIFT, MOD_WIN).
constexpr unsigned kModAlt = 1;
constexpr unsigned kModControl = 2;
constexpr unsigned kModShift = 4;
constexpr unsigned kModWin = 8;

// Virtual-key codes of the keys a hotkey may use: the letters and digits
// are their upper-case characters ('A'..'Z', '0'..'9'); F1 to F24 run on.
constexpr unsigned kVkF1 = 0x70;
constexpr unsigned kVkF24 = 0x87;

struct Hotkey {
    unsigned modifiers = 0;  // kMod* bits
    unsigned key = 0;        // virtual-key code; 0: no hotkey
    bool operator==(const Hotkey&) const = default;
};

struct HotkeyReading {
    Hotkey hotkey;       // no hotkey (key 0) when the text is empty or cannot be read
    std::wstring error;  // why the text cannot be read; empty when it can
};

// Reads the setting. Parts are separated by '+', blanks (spaces, tabs)
// around each part are ignored, and letter case does not matter. The parts
// are modifiers, Ctrl, Alt, Shift and Win, each at most once and in any
// order, and exactly one key: a letter A-Z, a digit 0-9 or F1 to F24,
// written last or anywhere among them. An empty or blank text is no hotkey,
// not an error.
// A global hotkey takes its keys from every program, so one that would
// swallow ordinary typing or a key programs rely on is refused:
//   a letter or digit needs Ctrl, Alt or Win (Shift alone still types);
//   F1 to F12 need a modifier, any of the four (F1 alone is every
//   program's help, F5 the browsers' reload);
//   F13 to F24, which few keyboards have and no program relies on, may
//   stand alone.
// Error texts (English, for the support trace and messages) name the part
// at fault, cut to 32 characters: "unknown key 'Q1'", "'Ctrl' given twice",
// "two keys: 'A' and 'B'", "no key", "an empty part", "'M' needs Ctrl, Alt
// or Win", "'F5' needs a modifier".
HotkeyReading ParseHotkey(const std::wstring& text);

// MOD_NOREPEAT: a key held down gives one WM_HOTKEY, not one per repeat.
// Windows 7 (6.1) and later know it; XP and Vista refuse a hotkey with it.
constexpr unsigned kModNoRepeat = 0x4000;

// The modifiers RegisterHotKey takes on Windows major.minor: the hotkey's,
// with kModNoRepeat from Windows 7 on.
unsigned RegisterHotkeyModifiers(const Hotkey& hotkey, int major, int minor);

// The hotkey as canonical text: the modifiers in the order Ctrl, Alt,
// Shift, Win, then the key ("Ctrl+Alt+M", "Shift+F12"); empty for no
// hotkey, and "?" in place of a key code outside the hotkey keys.
std::wstring HotkeyText(const Hotkey& hotkey);

}  // namespace app
