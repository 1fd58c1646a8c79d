// The per-user application-data folder: the registry's "Shell Folders"
// "AppData" value, or the shell's own answer when that gives none.
#pragma once
#include <string>

namespace platform {

// Where the application-data folder is kept, below HKEY_CURRENT_USER.
inline constexpr wchar_t ShellFoldersKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
inline constexpr wchar_t AppDataValue[] = L"AppData";

// The per-user application-data folder; empty when the key cannot be opened
// or the value is missing, empty or not an absolute path. A REG_EXPAND_SZ value has its
// environment references ("%USERPROFILE%") expanded. Throws
// platform::ERegistryException when the value is not a string.
std::wstring GetAppDataFolder();

// GetAppDataFolder for callers that must go on whatever the registry holds:
// a value of the wrong type is shown once in the standard error report.
// When the value gives no folder (missing, empty, relative or of the wrong
// type), the folder is the user's application-data folder as the shell
// reports it (ShellAppDataFolder), and *fromShell (when given) is set to
// whether the shell named one; only when that fails too is it empty, and
// paths built on it then start at the current drive's root.
std::wstring GetAppDataFolderOrReport(bool* fromShell = nullptr);

// The user's application-data folder as the shell reports it
// (SHGetFolderPathW, CSIDL_APPDATA); empty when the shell cannot tell.
std::wstring ShellAppDataFolder();
// The look-up ShellAppDataFolder makes, defaulting to the shell's.
using ShellAppDataFn = std::wstring (*)();
extern ShellAppDataFn ShellAppDataCall;

}  // namespace platform
