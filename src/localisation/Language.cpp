#include "localisation/Language.h"

#include <windows.h>

#include <vector>

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

// path as the file calls take it beyond MAX_PATH characters: "\\?\" before
// a drive path, "\\?\UNC\" in place of a network path's leading "\\".
std::wstring ExtendedPath(const std::wstring& path) {
    if (path.size() < MAX_PATH) return path;
    if (path.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC\\" + path.substr(2);
    return L"\\\\?\\" + path;
}

std::wstring SystemShortPath(const std::wstring& path) {
    const std::wstring extended = ExtendedPath(path);
    // The short form may be longer than the path given: the size comes first.
    const DWORD size = ::GetShortPathNameW(extended.c_str(), nullptr, 0);
    if (size == 0) return std::wstring();
    std::vector<wchar_t> buffer(size + 1, L'\0');
    const DWORD length = ::GetShortPathNameW(extended.c_str(), buffer.data(), size + 1);
    if (length == 0 || length > size) return std::wstring();
    std::wstring shortPath(buffer.data(), length);
    // Back from the extended form to the one the profile calls take.
    if (shortPath.compare(0, 8, L"\\\\?\\UNC\\") == 0) return L"\\\\" + shortPath.substr(8);
    if (shortPath.compare(0, 4, L"\\\\?\\") == 0) return shortPath.substr(4);
    return shortPath;
}

}  // namespace

ShortPathFn ShortPathCall = &SystemShortPath;

TLanguage::TLanguage() {
    // Without a language folder there is nothing to translate with, and the
    // shared settings file is not even read.
    WIN32_FIND_DATAW found;
    widgets::UniqueFindHandle search(::FindFirstFileW(ExtendedPath(LanguageFolder() + L"*").c_str(), &found));
    if (!search) return;
    search.reset();

    std::wstring folder = widgets::GetAppDataFolderOrReport();
    if (folder.empty() || folder.back() != L'\\') folder += L'\\';
    // Read only: the profile reader never creates the file.
    const widgets::TTntIniFile shared(folder + L"Palvo\\Quenderal\\Main.ini");
    FLanguageName = shared.ReadString(L"Main", L"Language", L"English");
    const std::wstring path = LanguageFolder() + FLanguageName + L".lng";
    widgets::Trace(L"language file " + path);
    // A name that would reach outside the language folder, or a device,
    // names no file at all.
    if (!IsSafeLanguageName(FLanguageName)) return;
    if (path.size() < MAX_PATH) {
        FFilePath = path;
        return;
    }
    // The profile calls cannot open a path this long: the file (made first
    // when missing, through the extended form) is read through its short
    // form, which a volume without short names does not give.
    const std::wstring shortPath = EnsureLanguageFile(ExtendedPath(path)) ? ShortPathCall(path) : std::wstring();
    if (!shortPath.empty() && shortPath.size() < MAX_PATH) {
        FFilePath = shortPath;
        FThroughShortPath = true;
        widgets::Trace(L"language file read through its short path " + shortPath);
    } else {
        widgets::Trace(L"language file path has " + std::to_wstring(path.size()) +
                       L" characters, too many for the profile calls, and its volume gives it no short form:"
                       L" the texts stay English");
    }
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
    if (FFilePath.empty()) return defaultText;
    const std::wstring& path = FFilePath;
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
    // decides, as when no text is kept. A short form names an existing file
    // only: a file removed meanwhile is not made again under it.
    if (FThroughShortPath ? !widgets::FileExists(path) : !EnsureLanguageFile(path)) return defaultText;
    const widgets::TTntIniFile file(path);
    return file.ReadString(section, textKey, defaultText);
}

TLanguage::Batch::Batch(const TLanguage& language) noexcept : language_(language) { ++language_.batches_; }

TLanguage::Batch::~Batch() {
    if (--language_.batches_ == 0) language_.checkedInBatch_ = false;
}

}  // namespace localisation
