#include "app/FileOnlySettings.h"

#include "app/NotificationStateRules.h"
#include "platform/AppData.h"
#include "platform/IniFile.h"
#include "platform/Trace.h"
#include "settings/SettingsStore.h"

namespace app {

namespace {


std::wstring Raw(const platform::TTntIniFile& file, const wchar_t* key) {
    return file.ReadString(settings::SettingsSection, key, std::wstring());
}

}  // namespace

FileOnlySettings ReadFileOnlySettings(const platform::TTntIniFile* file) {
    FileOnlySettings read;
    if (!file) return read;
    read.commitWarning = monitor::ParseCommitWarningThreshold(Raw(*file, KeyCommitWarning));
    read.excluded = freeing::ExclusionList::Parse(Raw(*file, KeyExclude));
    read.pauseFullScreen = ParsePauseFullScreen(Raw(*file, KeyPauseFullScreen));
    read.hotkeyText = Raw(*file, KeyHotkey);
    read.hotkey = ParseHotkey(read.hotkeyText);
    return read;
}

freeing::ExclusionList ReadExclusionsOnly() {
    const std::wstring folder = platform::GetAppDataFolderOrReport();
    // Without a folder the path would start at the current drive's root.
    if (folder.empty()) return freeing::ExclusionList();
    const platform::TTntIniFile file(folder + settings::SettingsBelowAppData);
    freeing::ExclusionList excluded = ReadFileOnlySettings(&file).excluded;
    platform::Trace(std::to_wstring(excluded.Names().size()) + L" excluded processes read from " + file.FileName());
    return excluded;
}

}  // namespace app
