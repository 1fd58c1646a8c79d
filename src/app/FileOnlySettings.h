// The settings that only the settings file holds, with no box in the
// settings dialog: the low-memory warning's threshold, the processes the
// trimming pass leaves alone, whether the idle auto-free waits while a
// full-screen program is in front, and the hotkey for Smart Clean. Each is
// read as raw text from the file's one section and handed to its rule.
#pragma once
#include <string>

#include "app/HotkeyRules.h"
#include "freeing/ExclusionRules.h"
#include "monitor/CommitWarningRules.h"

namespace platform {
class TTntIniFile;
}

namespace app {

inline constexpr wchar_t KeyCommitWarning[] = L"commitwarning";
inline constexpr wchar_t KeyExclude[] = L"exclude";
inline constexpr wchar_t KeyPauseFullScreen[] = L"pausefullscreen";
inline constexpr wchar_t KeyHotkey[] = L"hotkey";

struct FileOnlySettings {
    int commitWarning = monitor::kCommitWarningDefault;  // percent; 0: off
    freeing::ExclusionList excluded;
    bool pauseFullScreen = true;
    std::wstring hotkeyText;  // as the file has it, to tell a change
    HotkeyReading hotkey;
};

// The keys from `file`'s section "Brimvale"; without a file object, or for
// a key it lacks, the rules' defaults.
FileOnlySettings ReadFileOnlySettings(const platform::TTntIniFile* file);

// For a Smart Clean from the command line with no copy running, which reads
// no other setting: the excluded processes, from the settings file found as
// the program finds it (below the application-data folder). The file is only
// read: no folder or file is made, and without a folder nothing is read.
freeing::ExclusionList ReadExclusionsOnly();

}  // namespace app
