#include "settings/SettingsStore.h"

#include <windows.h>

#include "settings/SettingsTable.h"
#include "platform/Errors.h"
#include "platform/IniFileRules.h"
#include "platform/Paths.h"
#include "platform/Registry.h"
#include "platform/Trace.h"

namespace settings {

std::wstring SettingsPath;
std::unique_ptr<platform::TTntIniFile> SettingsIni;

namespace {


void WaitMilliseconds(unsigned long milliseconds) { ::Sleep(milliseconds); }

}  // namespace

ReadWaitFn SettingsReadWait = &WaitMilliseconds;

std::wstring SettingsFileUnreadable(const std::wstring& consequence) {
    // The profile reader gives its defaults for a file it cannot open, as
    // for a missing one: a file that is there is opened here first.
    if (!platform::FileExists(SettingsPath)) return std::wstring();
    for (unsigned long waited = 0;; waited += platform::ReadRetryStepMs) {
        const unsigned long error = platform::OpenForReadingError(SettingsPath);
        switch (platform::NextReadStep(error, waited)) {
            case platform::ReadStep::Read:
            case platform::ReadStep::Missing:
                return std::wstring();
            case platform::ReadStep::Wait:
                SettingsReadWait(platform::ReadRetryStepMs);
                break;
            case platform::ReadStep::Unreadable:
                return platform::WithSystemReason(L"Unable to read " + SettingsPath + L": " + consequence,
                                                 error);
        }
    }
}

void EnsureSettingsFolder() {
    // The folders without their trailing separators.
    std::wstring program = platform::ExtractFilePath(SettingsPath);
    if (program.size() < 2) return;
    program.pop_back();
    if (platform::DirectoryExists(program)) return;
    std::wstring maker = platform::ExtractFilePath(program);
    if (!maker.empty()) maker.pop_back();
    // One level per call. Failures are not reported: the maker's folder may
    // exist already, and an uncreatable folder shows up as a refused write.
    if (!maker.empty()) (void)platform::CreateDir(maker);
    (void)platform::CreateDir(program);
}

void OpenSettingsFile() {
    // A wrong-typed AppData value must not leave the program without its
    // settings object: it is reported, and the shell's folder is used.
    bool fromShell = false;
    const std::wstring folder = platform::GetAppDataFolderOrReport(&fromShell);
    SettingsPath = folder + SettingsBelowAppData;
    platform::Trace(L"settings file " + SettingsPath);
    EnsureSettingsFolder();
    SettingsIni = std::make_unique<platform::TTntIniFile>(SettingsPath);
    // Settings a run without the registry's folder stored below the root
    // are taken over once: afterwards the new place has its own file.
    if (fromShell && !platform::FileExists(SettingsPath) && platform::FileExists(SettingsBelowAppData)) {
        (void)::CopyFileW(SettingsBelowAppData, SettingsPath.c_str(), TRUE);
    }
    if (!platform::FileExists(SettingsPath)) {
        // One write creates the file, its section line and every key.
        std::vector<std::pair<std::wstring, std::wstring>> keys;
        for (const Setting& setting : Settings) keys.emplace_back(setting.key, setting.firstRun ? L"1" : L"0");
        SettingsIni->WriteSection(SettingsSection, keys);
    }
}

SettingsValue ReadSettings(const SettingsValue& fallback) {
    SettingsValue value = fallback;
    if (!SettingsIni) return value;
    for (const Setting& setting : Settings)
        value.*setting.field = SettingsIni->ReadBool(SettingsSection, setting.key, fallback.*setting.field);
    return value;
}

SettingsValue StartupDefaults() {
    SettingsValue value;
    for (const Setting& setting : Settings) value.*setting.field = setting.startupDefault;
    return value;
}

void WaitUntilWritable() {
    if (!platform::FileExists(SettingsPath)) return;
    for (unsigned long waited = 0;; waited += platform::ReadRetryStepMs) {
        const unsigned long error = platform::OpenForWritingError(SettingsPath);
        switch (platform::NextReadStep(error, waited)) {
            case platform::ReadStep::Read:
            case platform::ReadStep::Missing:
                return;
            case platform::ReadStep::Wait:
                SettingsReadWait(platform::ReadRetryStepMs);
                break;
            case platform::ReadStep::Unreadable:
                throw platform::EIniFileException(
                    platform::WithSystemReason(L"Unable to write to " + SettingsPath, error));
        }
    }
}

void WriteSettings(const SettingsValue& value, const SettingsValue& before, bool all) {
    if (!SettingsIni) return;
    platform::IniLines keys;
    for (const Setting& setting : Settings) {
        if (all || value.*setting.field != before.*setting.field)
            keys.emplace_back(setting.key, value.*setting.field ? L"1" : L"0");
    }
    if (keys.empty()) return;
    WaitUntilWritable();
    // The section in one write, its other keys kept: a refused write leaves
    // the file as it was, never half of the settings changed.
    const platform::IniLines section = SettingsIni->ReadSection(SettingsSection);
    const platform::IniLines merged = platform::WithKeysSet(section, keys);
    if (merged != section) SettingsIni->WriteSection(SettingsSection, merged);
}

void RegisterAutostart() {
    platform::TTntRegistry registry;
    // A missing Run key is not created (it is the system's, not ours): the
    // report says that it is missing.
    if (!registry.OpenKey(RunKey)) {
        const bool missing = registry.OpenKeyError() == ERROR_FILE_NOT_FOUND;
        throw platform::ERegistryException(platform::WithSystemReason(
            L"Failed to set data for '" + std::wstring(AutostartValue) + L"': the key HKEY_CURRENT_USER\\" +
                RunKey + (missing ? L" is missing" : L" cannot be opened"),
            registry.OpenKeyError()));
    }
    const std::wstring wanted = L"\"" + platform::ModulePath() + L"\" /m";
    // An identical value is left alone; any difference, even in letter
    // case, is rewritten. The value is ours and the user asked for
    // autostart: one of another type is replaced by the string.
    if (!registry.ValueIsString(AutostartValue) || registry.ReadString(AutostartValue) != wanted) {
        registry.WriteString(AutostartValue, wanted);
    }
    registry.CloseKey();
}

void UnregisterAutostart() {
    platform::TTntRegistry registry;
    if (!registry.OpenKey(RunKey)) return;
    if (registry.ValueExists(AutostartValue)) (void)registry.DeleteValue(AutostartValue);
    registry.CloseKey();
}

void ResetSettingsForTest() {
    SettingsIni.reset();
    SettingsPath.clear();
}

}  // namespace settings
