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

// Opens the file for reading as the profile reader does (sharing reads and
// writes, so that nobody can remove it or lock it meanwhile) and notes what
// it found: a file that is missing, a folder, or held by someone who shares
// no reading is not readable; a readable one has a size and a last-write
// time (asked for by name: through the handle would cost one more round trip
// to the system). Texts kept for another state of the file are dropped.
// Returns the file, open, when it is readable.
widgets::UniqueFileHandle TLanguage::CheckFile(const std::wstring& path) const {
    FileState now;
    now.path = path;
    widgets::UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    WIN32_FILE_ATTRIBUTE_DATA data{};
    now.readable = file && ::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    if (now.readable) {
        now.size = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        now.lastWrite = (static_cast<unsigned long long>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                        data.ftLastWriteTime.dwLowDateTime;
    } else {
        file.reset();
    }
    const bool same = now.readable && checked_.readable && now.path == checked_.path &&
                      now.size == checked_.size && now.lastWrite == checked_.lastWrite;
    if (!same) texts_.clear();
    checked_ = std::move(now);
    return file;
}

std::wstring TLanguage::Translate(const std::wstring& formKey, const std::wstring& textKey,
                                  const std::wstring& defaultText) const {
    // A name that would reach outside the language folder, or a device,
    // names no file at all.
    if (!IsSafeLanguageName(FLanguageName)) return defaultText;
    const std::wstring path = LanguageFolder() + FLanguageName + L".lng";
    const std::wstring section = LanguageSection(formKey);
    widgets::UniqueFileHandle held;
    if (!checkedInBatch_ || checked_.path != path) {
        held = CheckFile(path);
        checkedInBatch_ = batches_ > 0;
    }
    if (checked_.readable) {
        const auto key = std::make_pair(section, textKey);
        auto at = texts_.find(key);
        if (at == texts_.end()) {
            // A text not read yet is read while the file is held open, so
            // that it belongs to the state just checked: nobody can lock the
            // file in between.
            if (!held) held = CheckFile(path);
            if (held) at = texts_.emplace(key, widgets::TTntIniFile(path).ReadValue(section, textKey)).first;
        }
        // Kept for the file as it stands: the profile reader would give the same.
        if (at != texts_.end()) return at->second.value_or(defaultText);
    }
    // Missing (then made), a folder, or held unreadable: the profile reader
    // decides, as when no text is kept.
    if (!EnsureLanguageFile(path)) return defaultText;
    const widgets::TTntIniFile file(path);
    return file.ReadString(section, textKey, defaultText);
}

TLanguage::Batch::Batch(const TLanguage& language) noexcept : language_(language) { ++language_.batches_; }

TLanguage::Batch::~Batch() {
    if (--language_.batches_ == 0) language_.checkedInBatch_ = false;
}

}  // namespace localisation
