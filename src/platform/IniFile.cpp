#include "platform/IniFile.h"

#include <windows.h>

#include "platform/IniFileRules.h"
#include "platform/Errors.h"

namespace platform {
namespace {

// The profile reader copies its default through the same buffer, cutting it
// to 2047 characters and stripping its trailing blanks. A key's absence is
// therefore detected with a marker no text contains (two Unicode
// noncharacters), and the caller's default is returned as it was given.
constexpr wchar_t kAbsentMarker[] = L"\xFDD0\xFDEF";
constexpr DWORD kBufferChars = 2048;

}  // namespace

TTntIniFile::TTntIniFile(std::wstring fileName) : fileName_(std::move(fileName)) {}

std::wstring TTntIniFile::ReadString(const std::wstring& section, const std::wstring& ident,
                                     const std::wstring& defaultValue) const {
    return ReadValue(section, ident).value_or(defaultValue);
}

std::optional<std::wstring> TTntIniFile::ReadValue(const std::wstring& section,
                                                   const std::wstring& ident) const {
    wchar_t buffer[kBufferChars];
    const DWORD length = ::GetPrivateProfileStringW(section.c_str(), ident.c_str(), kAbsentMarker,
                                                    buffer, kBufferChars, fileName_.c_str());
    std::wstring value(buffer, length);
    if (value == kAbsentMarker) return std::nullopt;
    return value;
}

void TTntIniFile::WriteString(const std::wstring& section, const std::wstring& ident,
                              const std::wstring& value) const {
    if (!::WritePrivateProfileStringW(section.c_str(), ident.c_str(), value.c_str(),
                                      fileName_.c_str())) {
        const DWORD error = ::GetLastError();  // before anything else can change it
        throw EIniFileException(WithSystemReason(L"Unable to write to " + fileName_, error));
    }
}

std::vector<std::pair<std::wstring, std::wstring>> TTntIniFile::ReadSection(const std::wstring& section) const {
    // The call gives the lines null-separated and says nothing when they do
    // not fit but that it filled the buffer: grow until they fit.
    std::vector<wchar_t> buffer(4096);
    DWORD length = 0;
    for (;;) {
        length = ::GetPrivateProfileSectionW(section.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()),
                                             fileName_.c_str());
        if (length + 2 < buffer.size() || buffer.size() >= 65536) break;
        buffer.resize(buffer.size() * 2);
    }
    std::vector<std::pair<std::wstring, std::wstring>> lines;
    for (const wchar_t* line = buffer.data(); line < buffer.data() + length && *line; line += wcslen(line) + 1) {
        const std::wstring text(line);
        const std::size_t equals = text.find(L'=');
        if (equals == std::wstring::npos) continue;
        lines.emplace_back(text.substr(0, equals), text.substr(equals + 1));
    }
    return lines;
}

void TTntIniFile::WriteSection(const std::wstring& section,
                               const std::vector<std::pair<std::wstring, std::wstring>>& keys) const {
    std::wstring lines;  // "key=value", each ended by a null, and one more null at the end
    for (const auto& [key, value] : keys) {
        lines += key + L"=" + value;
        lines.push_back(L'\0');
    }
    lines.push_back(L'\0');
    if (!::WritePrivateProfileSectionW(section.c_str(), lines.c_str(), fileName_.c_str())) {
        const DWORD error = ::GetLastError();  // before anything else can change it
        throw EIniFileException(WithSystemReason(L"Unable to write to " + fileName_, error));
    }
}

bool TTntIniFile::ReadBool(const std::wstring& section, const std::wstring& ident,
                           bool defaultValue) const {
    const std::wstring text = ReadString(section, ident, std::wstring());
    return platform::ParseIniBool(text, defaultValue);
}

void TTntIniFile::WriteBool(const std::wstring& section, const std::wstring& ident,
                            bool value) const {
    WriteString(section, ident, value ? L"1" : L"0");
}

}  // namespace platform
