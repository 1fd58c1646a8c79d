// The four on/off settings: one value that the program acts on, and one
// table of their keys and defaults, walked by the store, the start-up
// sequence and the dialog.
#pragma once
#include <array>

namespace settings {

// The settings file's one section and its four keys.
inline constexpr wchar_t SettingsSection[] = L"Brimvale";
inline constexpr wchar_t KeyStartWithWindows[] = L"startwithwindows";
inline constexpr wchar_t KeyFreeWhenLeisure[] = L"freewhenleisure";
inline constexpr wchar_t KeyPauseWhenBusy[] = L"pausewhenbusy";
inline constexpr wchar_t KeySmartFree[] = L"smartfree";

// The settings in use. All off until the settings file is read at start-up.
struct SettingsValue {
    bool startWithWindows = false;
    bool autoFree = false;
    bool pauseWhenBusy = false;
    bool smartFree = false;
    bool operator==(const SettingsValue&) const = default;
};

struct Setting {
    const wchar_t* key;   // in the settings file's one section
    bool firstRun;        // written when the file is created
    bool startupDefault;  // taken at start-up when the key is missing
    bool SettingsValue::*field;
};

extern const std::array<Setting, 4> Settings;

}  // namespace settings
