// The settings store: the per-user settings file with the four on/off
// settings (in the per-user application-data folder, widgets/AppData.h), and
// the autostart entry that starts the program minimised when the user signs in.
#pragma once
#include <memory>
#include <string>

#include "platform/AppData.h"
#include "platform/IniFile.h"
#include "settings/SettingsTable.h"

namespace settings {


// The app-data folder's registry value, as the tests and the callers here
// have always named it (it lives with the folder's look-up in widgets).
using platform::AppDataValue;
using platform::ShellFoldersKey;

// Where the autostart entry is kept, below HKEY_CURRENT_USER.
inline constexpr wchar_t RunKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr wchar_t AutostartValue[] = L"Brimvale";

// Where the settings file lies below the app-data folder.
inline constexpr wchar_t SettingsBelowAppData[] = L"\\Palvo\\Brimvale\\Brimvale.ini";

// The settings file: the app-data folder + SettingsBelowAppData.
// Set by OpenSettingsFile and kept for the life of the process.
extern std::wstring SettingsPath;
extern std::unique_ptr<platform::TTntIniFile> SettingsIni;

// Sets SettingsPath, creates the maker's and the program's folders when the
// latter is missing, creates SettingsIni, and on first run writes the
// first-run values. A first run in the shell's folder (the registry gave
// none) takes over the settings file stored where such a run used to put it,
// below the current drive's root, when there is one. A refused write throws
// platform::EIniFileException naming the file and the system's reason.
void OpenSettingsFile();

// Creates the maker's and the program's folders of SettingsPath when the
// latter is missing (as OpenSettingsFile does), so that a folder removed
// while the program runs is there again for the next write.
void EnsureSettingsFolder();

// Empty when the settings file can be read, or is missing (a first run).
// When it exists but cannot be opened for reading (a backup or virus
// scanner holds it without sharing), it is tried again for up to two
// seconds; if it still cannot be read, the text for the report: the file,
// what becomes of the settings (`consequence`) and the system's reason.
std::wstring SettingsFileUnreadable(const std::wstring& consequence);

// How the wait between two tries at an unreadable settings file is made;
// Sleep unless a test counts the waits instead.
using ReadWaitFn = void (*)(unsigned long milliseconds);
extern ReadWaitFn SettingsReadWait;

// The settings the file holds; a key it lacks takes the value `fallback`
// has for it. Without a settings file object, `fallback` itself.
SettingsValue ReadSettings(const SettingsValue& fallback);
// The defaults of the table for a key missing at start-up.
SettingsValue StartupDefaults();
// Writes the keys of `value`: every one, or (all false) only those whose
// setting differs from `before`, in one write of the section that keeps its
// other keys. A file another program holds is waited for as a read waits
// (up to two seconds). Throws platform::EIniFileException naming the file
// and the system's reason when the write is refused; the file is then as
// it was.
void WriteSettings(const SettingsValue& value, const SettingsValue& before, bool all);

// Makes the Run value "Brimvale" hold the quoted executable path and " /m",
// rewriting it only when it differs (a value of another type is replaced).
// Throws platform::ERegistryException naming the value when the Run key is
// missing (saying so; the key is not created) or the value cannot be written.
void RegisterAutostart();

// Deletes the Run value "Brimvale" when it exists.
void UnregisterAutostart();

// Forgets SettingsIni and SettingsPath, as before OpenSettingsFile.
void ResetSettingsForTest();

}  // namespace settings
