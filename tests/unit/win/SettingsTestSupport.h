// Scratch folders, file bytes, saved registry values and captured error
// reports for the settings, registry and language tests. Everything a test
// changes outside its scratch folder is put back when the helper goes.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "settings/SettingsStore.h"
#include "widgets/Errors.h"
#include "platform/Seam.h"
#include "platform/Paths.h"
#include "platform/Handle.h"
#include "platform/Seam.h"

namespace testsupport {

// Greek, Cyrillic and CJK: outside any single narrow code page.
inline const std::wstring kForeignName = L"\x03A9\x03BC\x03AD\x03B3\x03B1-\x041A\x0438\x0440-\x6F22\x5B57";

inline void RemoveTree(const std::wstring& path) {
    WIN32_FIND_DATAW found;
    platform::UniqueFindHandle search(::FindFirstFileW((path + L"\\*").c_str(), &found));
    if (search) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring child = path + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(child);
            else ::DeleteFileW(child.c_str());
        } while (::FindNextFileW(search.get(), &found));
    }
    search.reset();
    ::RemoveDirectoryW(path.c_str());
}

// Names in a folder, "." and ".." left out.
inline std::vector<std::wstring> ListFolder(const std::wstring& path) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    platform::UniqueFindHandle search(::FindFirstFileW((path + L"\\*").c_str(), &found));
    if (!search) return names;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (::FindNextFileW(search.get(), &found));
    return names;
}

// A new, empty folder in the temporary folder, removed with its contents.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::wstring& label = L"scratch") {
        static int counter = 0;
        wchar_t temp[MAX_PATH + 1];
        const DWORD n = ::GetTempPathW(MAX_PATH + 1, temp);
        std::wstring base(temp, n);
        if (!base.empty() && base.back() == L'\\') base.pop_back();
        path_ = base + L"\\bv-" + label + L"-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                std::to_wstring(++counter);
        RemoveTree(path_);
        EXPECT_TRUE(::CreateDirectoryW(path_.c_str(), nullptr));
    }
    ~ScratchFolder() { RemoveTree(path_); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::wstring& Path() const { return path_; }
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

inline bool ReadBytes(const std::wstring& path, std::string& bytes) {
    platform::UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_READ,
                                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                 OPEN_EXISTING, 0, nullptr));
    if (!file) return false;
    bytes.clear();
    char chunk[4096];
    DWORD got = 0;
    while (::ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
    return true;
}

inline std::string FileBytes(const std::wstring& path) {
    std::string bytes;
    EXPECT_TRUE(ReadBytes(path, bytes)) << "cannot read the file";
    return bytes;
}

inline void WriteBytes(const std::wstring& path, const std::string& bytes) {
    platform::UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr,
                                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file.valid());
    DWORD written = 0;
    ASSERT_TRUE(::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
}

// text as UTF-16 little-endian with a byte-order mark.
inline std::string Utf16Bytes(const std::wstring& text) {
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>((c >> 8) & 0xFF));
    }
    return bytes;
}

struct RegistryValue {
    bool exists = false;
    DWORD type = 0;
    std::vector<BYTE> data;
};

inline RegistryValue QueryValue(const std::wstring& key, const std::wstring& name) {
    RegistryValue value;
    HKEY raw = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &raw) != ERROR_SUCCESS) return value;
    platform::UniqueKey opened(raw);
    DWORD size = 0;
    if (::RegQueryValueExW(raw, name.c_str(), nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS) {
        return value;
    }
    value.data.resize(size);
    value.exists = ::RegQueryValueExW(raw, name.c_str(), nullptr, &value.type,
                                      size ? value.data.data() : nullptr, &size) == ERROR_SUCCESS;
    value.data.resize(size);
    return value;
}

inline void SetValue(const std::wstring& key, const std::wstring& name, DWORD type, const void* data,
                     DWORD size) {
    HKEY raw = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0,
                                               KEY_ALL_ACCESS, nullptr, &raw, nullptr));
    platform::UniqueKey opened(raw);
    ASSERT_EQ(ERROR_SUCCESS, ::RegSetValueExW(raw, name.c_str(), 0, type,
                                              static_cast<const BYTE*>(data), size));
}

inline void SetString(const std::wstring& key, const std::wstring& name, const std::wstring& text,
                      DWORD type = REG_SZ) {
    SetValue(key, name, type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

inline void DeleteValue(const std::wstring& key, const std::wstring& name) {
    HKEY raw = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_ALL_ACCESS, &raw) != ERROR_SUCCESS) return;
    platform::UniqueKey opened(raw);
    ::RegDeleteValueW(raw, name.c_str());
}

inline std::wstring StringOf(const RegistryValue& value) {
    const wchar_t* text = reinterpret_cast<const wchar_t*>(value.data.data());
    return std::wstring(text, text + value.data.size() / sizeof(wchar_t));
}

// Saves one value under HKEY_CURRENT_USER and puts it back, or deletes it
// when it did not exist, at the end of the test.
class SavedRegistryValue {
public:
    SavedRegistryValue(std::wstring key, std::wstring name)
        : key_(std::move(key)), name_(std::move(name)), saved_(QueryValue(key_, name_)) {}
    ~SavedRegistryValue() {
        if (saved_.exists) {
            SetValue(key_, name_, saved_.type, saved_.data.data(), static_cast<DWORD>(saved_.data.size()));
        } else {
            DeleteValue(key_, name_);
        }
    }
    SavedRegistryValue(const SavedRegistryValue&) = delete;
    SavedRegistryValue& operator=(const SavedRegistryValue&) = delete;

    void SetString(const std::wstring& text, DWORD type = REG_SZ) { testsupport::SetString(key_, name_, text, type); }
    void SetDword(DWORD number) { SetValue(key_, name_, REG_DWORD, &number, sizeof number); }
    void Delete() { DeleteValue(key_, name_); }
    RegistryValue Current() const { return QueryValue(key_, name_); }

private:
    std::wstring key_;
    std::wstring name_;
    RegistryValue saved_;
};

// Collects standard error reports instead of showing message boxes.
class CapturedReports {
public:
    CapturedReports() { Messages().clear(); }

    static std::vector<std::wstring>& Messages() {
        static std::vector<std::wstring> messages;
        return messages;
    }

private:
    static void Capture(const std::wstring& message) { Messages().push_back(message); }
    platform::ScopedSeam<widgets::ErrorReporter> capture_{widgets::ShowReport, &Capture};
};

inline bool Contains(const std::wstring& text, const std::wstring& part) {
    return text.find(part) != std::wstring::npos;
}

// Makes the shell report `folder` as the user's application-data folder
// (empty: the shell cannot tell) for the life of the helper.
class ShellAppData {
public:
    explicit ShellAppData(std::wstring folder) { Folder() = std::move(folder); }

private:
    static std::wstring& Folder() {
        static std::wstring folder;
        return folder;
    }
    static std::wstring Give() { return Folder(); }
    platform::ScopedSeam<platform::ShellAppDataFn> seam_{platform::ShellAppDataCall, &Give};
};

// Runs a test from inside a folder of drive C:, so that the rootless
// settings path of an empty app-data folder lands on C:, and leaves the
// root's "\Palvo\Brimvale" as it was found.
class RootFolderGuard {
public:
    explicit RootFolderGuard(const std::wstring& workingFolder) {
        wchar_t previous[MAX_PATH];
        ::GetCurrentDirectoryW(MAX_PATH, previous);
        previous_ = previous;
        EXPECT_TRUE(::SetCurrentDirectoryW(workingFolder.c_str()));
        drive_ = workingFolder.substr(0, 2);
        hadMaker_ = platform::DirectoryExists(Maker());
        hadProgram_ = platform::DirectoryExists(Program());
        hadFile_ = ReadBytes(File(), savedFile_);
        ::DeleteFileW(File().c_str());
    }
    ~RootFolderGuard() {
        ::DeleteFileW(File().c_str());
        if (hadFile_) WriteBytes(File(), savedFile_);
        if (!hadProgram_) ::RemoveDirectoryW(Program().c_str());
        if (!hadMaker_) ::RemoveDirectoryW(Maker().c_str());
        ::SetCurrentDirectoryW(previous_.c_str());
    }
    RootFolderGuard(const RootFolderGuard&) = delete;
    RootFolderGuard& operator=(const RootFolderGuard&) = delete;

    // Where the settings file goes with an empty app-data folder.
    std::wstring File() const { return Program() + L"\\Brimvale.ini"; }
    // Whether the sibling product's choice exists there (then the language
    // is whatever it names).
    bool SharedChoiceExists() const { return platform::FileExists(Maker() + L"\\Quenderal\\Main.ini"); }

private:
    std::wstring Maker() const { return drive_ + L"\\Palvo"; }
    std::wstring Program() const { return Maker() + L"\\Brimvale"; }

    std::wstring previous_;
    std::wstring drive_;
    bool hadMaker_ = false;
    bool hadProgram_ = false;
    bool hadFile_ = false;
    std::string savedFile_;
};

}  // namespace testsupport
