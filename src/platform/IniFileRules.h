// How the INI wrapper reads an on/off value back from its text, and what
// to do with a file that exists but cannot be opened for reading.
#pragma once
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

// Reads an INI value as a 32-bit integer and returns whether it is non-zero.
// Accepted forms, with nothing before or after them (no blanks: the profile
// reader already trims them from the value):
//   decimal      an optional '+' or '-' and decimal digits, in the signed
//                32-bit range (-2147483648 .. 2147483647);
//   hexadecimal  "$", "0x" or "0X" followed by hexadecimal digits of either
//                case, at most 0xFFFFFFFF in value (leading zeros are fine);
//                a sign is not accepted before the prefix.
// Anything else (empty, words such as "yes" or "true", trailing characters,
// out of range) is not an integer and yields defaultValue.
bool ParseIniBool(const std::wstring& text, bool defaultValue);

// The text without the blanks and tabs around it (a value typed into the
// settings file by hand).
std::wstring TrimBlanks(std::wstring_view text);

// The lines of a section with each of `keys` set: a key already there
// (compared without regard to ASCII letter case) keeps its place and
// spelling and takes the new value; a missing one is added at the end.
// Every other line stays as it was.
using IniLines = std::vector<std::pair<std::wstring, std::wstring>>;
IniLines WithKeysSet(const IniLines& lines, const IniLines& keys);

// The next step with a file that existed a moment ago, given the system's
// error code for opening it for reading (0: it opened) and how long has been
// waited for it so far. A file gone meanwhile (file or path not found) is
// missing, as it is at a first run. Any other refusal (a sharing or lock
// violation while a backup or virus scanner holds the file, access denied)
// is waited out in steps of ReadRetryStepMs for up to ReadRetryLimitMs;
// after that the file is unreadable.
enum class ReadStep { Read, Missing, Wait, Unreadable };
inline constexpr unsigned long ReadRetryStepMs = 100;
inline constexpr unsigned long ReadRetryLimitMs = 2000;
ReadStep NextReadStep(unsigned long openError, unsigned long waitedMs);

}  // namespace platform
