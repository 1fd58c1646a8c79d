#include "platform/Paths.h"

#include <windows.h>

#include <vector>

#include "platform/Handle.h"

namespace platform {
namespace {

std::wstring& ModulePathOverride() {
    static std::wstring path;
    return path;
}

}  // namespace

std::wstring ModulePath() {
    if (!ModulePathOverride().empty()) return ModulePathOverride();
    // A path that fills the buffer may have been cut: grow until it fits.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), size);
        if (length == 0) return std::wstring();
        if (length < size) return std::wstring(buffer.data(), length);
        if (buffer.size() >= 65536) return std::wstring(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

void SetModulePathForTest(const std::wstring& path) { ModulePathOverride() = path; }

std::wstring ExtractFilePath(const std::wstring& path) {
    const size_t last = path.find_last_of(L"\\/:");
    if (last == std::wstring::npos) return std::wstring();
    return path.substr(0, last + 1);
}

bool DirectoryExists(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool FileExists(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

UniqueFileHandle OpenForReading(const std::wstring& path) {
    return UniqueFileHandle(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

unsigned long OpenForReadingError(const std::wstring& path) {
    const UniqueFileHandle file = OpenForReading(path);
    return file ? 0 : ::GetLastError();
}

unsigned long OpenForWritingError(const std::wstring& path) {
    const UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                              FILE_ATTRIBUTE_NORMAL, nullptr));
    return file ? 0 : ::GetLastError();
}

bool CreateDir(const std::wstring& path) { return ::CreateDirectoryW(path.c_str(), nullptr) != 0; }

}  // namespace platform
