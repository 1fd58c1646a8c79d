#include "localisation/Language.h"

#include <windows.h>

#include "localisation/LanguageRules.h"
#include "widgets/AppData.h"
#include "widgets/Handle.h"
#include "widgets/IniFile.h"
#include "widgets/Paths.h"
#include "widgets/Trace.h"

namespace localisation {
namespace {

std::wstring LanguageFolder() { return widgets::ExtractFilePath(widgets::ModulePath()) + L"language\\"; }

// Makes sure the language file exists, creating it as an empty UTF-16
// little-endian text (byte-order mark and one CR LF) so that the wide
// profile calls keep it Unicode when it is edited through them. False when
// there is no file and none could be created.
bool EnsureLanguageFile(const std::wstring& path) {
    if (widgets::FileExists(path)) return true;
    widgets::UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    // Made by someone else meanwhile: it is there to be read. Any other
    // refusal (most often: no language folder) means there is no file, and
    // asking the file system again would only cost another look-up.
    if (!file) {
        const DWORD error = ::GetLastError();
        return (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) && widgets::FileExists(path);
    }
    static const BYTE kEmptyUnicodeText[] = {0xFF, 0xFE, 0x0D, 0x00, 0x0A, 0x00};
    DWORD written = 0;
    (void)::WriteFile(file.get(), kEmptyUnicodeText, sizeof kEmptyUnicodeText, &written, nullptr);
    return true;
}

}  // namespace

TLanguage::TLanguage() {
    // Without a language folder there is nothing to translate with, and the
    // shared settings file is not even read.
    WIN32_FIND_DATAW found;
    widgets::UniqueFindHandle search(::FindFirstFileW((LanguageFolder() + L"*").c_str(), &found));
    if (!search) return;
    search.reset();

    std::wstring folder = widgets::GetAppDataFolderOrReport();
    if (folder.empty() || folder.back() != L'\\') folder += L'\\';
    // Read only: the profile reader never creates the file.
    const widgets::TTntIniFile shared(folder + L"Palvo\\Quenderal\\Main.ini");
    FLanguageName = shared.ReadString(L"Main", L"Language", L"English");
    widgets::Trace(L"language file " + LanguageFolder() + FLanguageName + L".lng");
}

std::wstring TLanguage::Translate(const std::wstring& formKey, const std::wstring& textKey,
                                  const std::wstring& defaultText) const {
    // A name that would reach outside the language folder, or a device,
    // names no file at all.
    if (!IsSafeLanguageName(FLanguageName)) return defaultText;
    const std::wstring path = LanguageFolder() + FLanguageName + L".lng";
    if (!EnsureLanguageFile(path)) return defaultText;
    const widgets::TTntIniFile file(path);
    return file.ReadString(LanguageSection(formKey), textKey, defaultText);
}

}  // namespace localisation
