#include "settings/SettingsStore.h"

#include "widgets/Errors.h"
#include "widgets/Paths.h"
#include "widgets/Registry.h"

namespace settings {

std::wstring SettingsPath;
std::unique_ptr<widgets::TTntIniFile> SettingsIni;

std::wstring GetAppDataFolder() {
    widgets::TTntRegistry registry;
    if (!registry.OpenKey(ShellFoldersKey)) return std::wstring();
    std::wstring folder = registry.ReadString(AppDataValue);
    registry.CloseKey();
    return folder;
}

std::wstring GetAppDataFolderOrReport() {
    try {
        return GetAppDataFolder();
    } catch (const widgets::ERegistryException& e) {
        widgets::ReportError(e.Message());
        return std::wstring();
    }
}

void OpenSettingsFile() {
    // A wrong-typed AppData value must not leave the program without its
    // settings object: report it and fall back to the empty folder.
    const std::wstring folder = GetAppDataFolderOrReport();
    const std::wstring programFolder = folder + L"\\Palvo\\Brimvale";
    if (!widgets::DirectoryExists(programFolder)) {
        // One level per call. Failures are not reported: the maker's folder
        // may exist already, and an uncreatable folder shows up as a refused
        // write below.
        (void)widgets::CreateDir(folder + L"\\Palvo");
        (void)widgets::CreateDir(programFolder);
    }
    SettingsPath = programFolder + L"\\Brimvale.ini";
    SettingsIni = std::make_unique<widgets::TTntIniFile>(SettingsPath);
    if (!widgets::FileExists(SettingsPath)) {
        // The first write creates the file and its section line.
        SettingsIni->WriteBool(SettingsSection, KeyStartWithWindows, false);
        SettingsIni->WriteBool(SettingsSection, KeyFreeWhenLeisure, false);
        SettingsIni->WriteBool(SettingsSection, KeyPauseWhenBusy, true);
        SettingsIni->WriteBool(SettingsSection, KeySmartFree, false);
    }
}

void RegisterAutostart() {
    widgets::TTntRegistry registry;
    // A missing Run key is not created (it is the system's, not ours): the
    // report says that it is missing.
    if (!registry.OpenKey(RunKey)) {
        const bool missing = registry.OpenKeyError() == ERROR_FILE_NOT_FOUND;
        throw widgets::ERegistryException(L"Failed to set data for '" + std::wstring(AutostartValue) +
                                          L"': the key HKEY_CURRENT_USER\\" + RunKey +
                                          (missing ? L" is missing" : L" cannot be opened"));
    }
    const std::wstring wanted = L"\"" + widgets::ModulePath() + L"\" /m";
    // An identical value is left alone; any difference, even in letter
    // case, is rewritten. The value is ours and the user asked for
    // autostart: one of another type is replaced by the string.
    if (!registry.ValueIsString(AutostartValue) || registry.ReadString(AutostartValue) != wanted) {
        registry.WriteString(AutostartValue, wanted);
    }
    registry.CloseKey();
}

void UnregisterAutostart() {
    widgets::TTntRegistry registry;
    if (!registry.OpenKey(RunKey)) return;
    if (registry.ValueExists(AutostartValue)) (void)registry.DeleteValue(AutostartValue);
    registry.CloseKey();
}

void ResetSettingsForTest() {
    SettingsIni.reset();
    SettingsPath.clear();
}

}  // namespace settings
