// TTntIniFile: a private-profile INI file reached through the wide profile
// calls. It holds only the file's path: every read and write goes to the file
// at once and nothing is cached. Section and key names match without regard
// to letter case (the platform's profile reader).
#pragma once
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace platform {

class TTntIniFile {
public:
    explicit TTntIniFile(std::wstring fileName);

    const std::wstring& FileName() const noexcept { return fileName_; }

    // The value of ident in section, at most 2047 characters; defaultValue,
    // untouched, when the file or the key is missing. A key present with an
    // empty value yields the empty text.
    std::wstring ReadString(const std::wstring& section, const std::wstring& ident,
                            const std::wstring& defaultValue) const;

    // The same, with nullopt where ReadString gives its default.
    std::optional<std::wstring> ReadValue(const std::wstring& section, const std::wstring& ident) const;

    // Writes ident=value into section, creating the file (in the code page)
    // or the section when needed. Throws EIniFileException naming the file
    // when the system refuses the write.
    void WriteString(const std::wstring& section, const std::wstring& ident,
                     const std::wstring& value) const;

    // The section's "key=value" lines as key and value, in file order
    // (empty for a missing file or section).
    std::vector<std::pair<std::wstring, std::wstring>> ReadSection(const std::wstring& section) const;
    // Writes the keys into section in one write, which replaces whatever
    // the section held; for a new file, the same file as writing them one by
    // one. Throws as WriteString.
    void WriteSection(const std::wstring& section,
                      const std::vector<std::pair<std::wstring, std::wstring>>& keys) const;

    // The value read as a 32-bit integer, non-zero meaning on; defaultValue
    // when the key is missing or its value is not an integer (ParseIniBool).
    bool ReadBool(const std::wstring& section, const std::wstring& ident, bool defaultValue) const;

    // Writes "1" or "0"; throws as WriteString.
    void WriteBool(const std::wstring& section, const std::wstring& ident, bool value) const;

private:
    std::wstring fileName_;
};

}  // namespace platform
