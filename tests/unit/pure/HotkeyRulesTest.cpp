#include <gtest/gtest.h>

#include <string>

#include "app/HotkeyRules.h"
#include "app/NotificationStateRules.h"

using namespace app;

TEST(ParseHotkey, ReadsModifiersAndOneKeyInCanonicalForm) {
    const struct {
        const wchar_t* text;
        unsigned modifiers, key;
        const wchar_t* canonical;
    } table[] = {
        {L"Ctrl+Alt+M", kModControl | kModAlt, 'M', L"Ctrl+Alt+M"},
        {L" alt + CTRL\t+ m ", kModControl | kModAlt, 'M', L"Ctrl+Alt+M"},
        {L"WIN+shift+5", kModWin | kModShift, '5', L"Shift+Win+5"},
        {L"M+Ctrl", kModControl, 'M', L"Ctrl+M"},
        {L"Ctrl+Alt+Shift+Win+0", 15, '0', L"Ctrl+Alt+Shift+Win+0"},
        {L"Shift+F12", kModShift, 0x7B, L"Shift+F12"}, {L"Ctrl+f1", kModControl, 0x70, L"Ctrl+F1"},
        {L"F13", 0, 0x7C, L"F13"}, {L"f24", 0, 0x87, L"F24"}, {L"", 0, 0, L""}, {L" \t ", 0, 0, L""},
    };
    for (const auto& row : table) {
        const HotkeyReading reading = ParseHotkey(row.text);
        EXPECT_EQ(L"", reading.error) << row.text;
        EXPECT_EQ((Hotkey{row.modifiers, row.key}), reading.hotkey) << row.text;
        EXPECT_EQ(row.canonical, HotkeyText(reading.hotkey)) << row.text;
    }
}

TEST(ParseHotkey, SaysWhyATextCannotBeRead) {
    const struct {
        std::wstring text, error;
    } table[] = {
        {L"M", L"'M' needs Ctrl, Alt or Win"},  {L"Shift+m", L"'m' needs Ctrl, Alt or Win"},
        {L"F5", L"'F5' needs a modifier"},       {L"Ctrl+Q1", L"unknown key 'Q1'"},
        {L"Ctrl+F25", L"unknown key 'F25'"},     {L"Ctrl+F0", L"unknown key 'F0'"},
        {L"Ctrl+F01", L"unknown key 'F01'"},     {L"Ctrl+Ä", L"unknown key 'Ä'"},
        {L"Ctrl+ctrl+M", L"'ctrl' given twice"}, {L"Ctrl+A+B", L"two keys: 'A' and 'B'"},
        {L"Ctrl+Alt", L"no key"},                {L"Ctrl++M", L"an empty part"}, {L"Ctrl+", L"an empty part"},
        {L"Ctrl+" + std::wstring(40, L'x'), L"unknown key '" + std::wstring(32, L'x') + L"...'"},
    };
    for (const auto& row : table) {
        const HotkeyReading reading = ParseHotkey(row.text);
        EXPECT_EQ(row.error, reading.error) << row.text;
        EXPECT_EQ(Hotkey{}, reading.hotkey) << row.text;
    }
    EXPECT_EQ(L"Ctrl+?", HotkeyText(Hotkey{kModControl, 0x20}));
    // No repeats asked for where the system knows the flag: Windows 7 and later.
    const Hotkey ctrlAltM{kModControl | kModAlt, 'M'};
    EXPECT_EQ(3u, RegisterHotkeyModifiers(ctrlAltM, 5, 1));
    EXPECT_EQ(3u, RegisterHotkeyModifiers(ctrlAltM, 6, 0));
    EXPECT_EQ(0x4003u, RegisterHotkeyModifiers(ctrlAltM, 6, 1));
    EXPECT_EQ(0x4003u, RegisterHotkeyModifiers(ctrlAltM, 10, 0));
}

TEST(NotificationState, FullScreenAndPresentationHoldBackTheIdleFreeWhileTheSettingIsOn) {
    for (int state = -1; state <= 8; ++state) {
        const bool fullScreen = state == kQunsBusy || state == kQunsRunningD3dFullScreen || state == kQunsPresentationMode;
        EXPECT_EQ(fullScreen, IdleFreeHeldBack(true, state)) << state;
        EXPECT_FALSE(IdleFreeHeldBack(false, state)) << state;
    }
    const struct {
        const wchar_t* raw;
        bool on;
    } table[] = {{L"", true}, {L"1", true}, {L"0", false}, {L"00", false}, {L"yes", true}, {L"0x0", false}};
    for (const auto& row : table) EXPECT_EQ(row.on, ParsePauseFullScreen(row.raw)) << row.raw;
}
