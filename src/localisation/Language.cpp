#include "localisation/Language.h"

#include <windows.h>

#include <vector>

#include "localisation/LanguageRules.h"
#include "platform/AppData.h"
#include "platform/Handle.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/Trace.h"

namespace localisation {
namespace {

std::wstring LanguageFolder() { return platform::ExtractFilePath(platform::ModulePath()) + L"language\\"; }

// Makes sure the language file exists, creating it as an empty UTF-16
// little-endian text (byte-order mark and one CR LF) so that the wide
// profile calls keep it Unicode when it is edited through them. False when
// there is no file and none could be created.
bool EnsureLanguageFile(const std::wstring& path) {
    if (platform::FileExists(path)) return true;
    platform::UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    // Made by someone else meanwhile: it is there to be read. Any other
    // refusal (most often: no language folder) means there is no file, and
    // asking the file system again would only cost another look-up.
    if (!file) {
        const DWORD error = ::GetLastError();
        return (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) && platform::FileExists(path);
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
    platform::UniqueFindHandle search(::FindFirstFileW(ExtendedPath(LanguageFolder() + L"*").c_str(), &found));
    if (!search) return;
    search.reset();

    std::wstring folder = platform::GetAppDataFolderOrReport();
    if (folder.empty() || folder.back() != L'\\') folder += L'\\';
    // Read only: the profile reader never creates the file.
    const platform::TTntIniFile shared(folder + L"Palvo\\Quenderal\\Main.ini");
    FLanguageName = shared.ReadString(L"Main", L"Language", L"English");
    const std::wstring path = LanguageFolder() + FLanguageName + L".lng";
    platform::Trace(L"language file " + path);
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
        platform::Trace(L"language file read through its short path " + shortPath);
    } else {
        platform::Trace(L"language file path has " + std::to_wstring(path.size()) +
                       L" characters, too many for the profile calls, and its volume gives it no short form:"
                       L" the texts stay English");
    }
}

// One attribute query by name: whether a file (not a folder) is there, and
// its size and last-write time. Texts kept for another state of the file
// are dropped.
void TLanguage::CheckFile() const {
    FileState now;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    now.present = ::GetFileAttributesExW(FFilePath.c_str(), GetFileExInfoStandard, &data) &&
                  (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    if (now.present) {
        now.size = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        now.lastWrite = (static_cast<unsigned long long>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                        data.ftLastWriteTime.dwLowDateTime;
    }
    const bool same =
        now.present && checked_.present && now.size == checked_.size && now.lastWrite == checked_.lastWrite;
    if (!same) texts_.clear();
    checked_ = now;
}

std::wstring TLanguage::Translate(const std::wstring& formKey, const std::wstring& textKey,
                                  const std::wstring& defaultText) const {
    if (FFilePath.empty()) return defaultText;
    const std::wstring& path = FFilePath;
    const std::wstring section = LanguageSection(formKey);
    if (!checkedInBatch_) {
        CheckFile();
        checkedInBatch_ = batches_ > 0;
    }
    if (checked_.present) {
        const auto key = std::make_pair(section, textKey);
        if (auto at = texts_.find(key); at != texts_.end()) return at->second.value_or(defaultText);
        // A text not read yet is read while the file is open for reading as
        // the profile reader opens it (sharing reads and writes), so that
        // nobody can change or lock it in between; the check is made again
        // through that opening, so the text is kept for the state it was
        // read from. A file that cannot be opened (held by someone who shares
        // no reading) gives the default, as the profile reader would, and
        // nothing is kept.
        const platform::UniqueFileHandle held = platform::OpenForReading(path);
        if (!held) return defaultText;
        CheckFile();
        if (checked_.present)
            return texts_.emplace(key, platform::TTntIniFile(path).ReadValue(section, textKey))
                .first->second.value_or(defaultText);
    }
    // Missing (then made) or a folder: the profile reader decides, as when
    // no text is kept. A short form names an existing file only: a file
    // removed meanwhile is not made again under it.
    if (FThroughShortPath ? !platform::FileExists(path) : !EnsureLanguageFile(path)) return defaultText;
    const platform::TTntIniFile file(path);
    return file.ReadString(section, textKey, defaultText);
}

TLanguage::Batch::Batch(const TLanguage& language) noexcept : language_(language) { ++language_.batches_; }

TLanguage::Batch::~Batch() {
    if (--language_.batches_ == 0) language_.checkedInBatch_ = false;
}

}  // namespace localisation
