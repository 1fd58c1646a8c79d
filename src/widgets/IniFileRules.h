// How the INI wrapper reads an on/off value back from its text.
#pragma once
#include <string>

namespace widgets {

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

}  // namespace widgets
