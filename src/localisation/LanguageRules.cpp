#include "localisation/LanguageRules.h"

namespace localisation {
namespace {

wchar_t AsciiUpper(wchar_t c) { return (c >= L'a' && c <= L'z') ? wchar_t(c - L'a' + L'A') : c; }

std::wstring AsciiUpper(std::wstring s) {
    for (wchar_t& c : s) c = AsciiUpper(c);
    return s;
}

bool IsDeviceDigit(wchar_t c) {
    // '1'..'9' and the superscripts one, two and three, which Windows also
    // maps to COM and LPT ports.
    return (c >= L'1' && c <= L'9') || c == L'\u00B9' || c == L'\u00B2' || c == L'\u00B3';
}

// The device part of a name: everything before the first dot, without the
// trailing blanks that the file system ignores.
std::wstring DeviceStem(const std::wstring& name) {
    std::wstring stem = name.substr(0, name.find(L'.'));
    while (!stem.empty() && stem.back() == L' ') stem.pop_back();
    return AsciiUpper(stem);
}

bool IsReservedDeviceName(const std::wstring& name) {
    const std::wstring stem = DeviceStem(name);
    for (const wchar_t* device : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"}) {
        if (stem == device) return true;
    }
    if (stem.size() == 4 && (stem.compare(0, 3, L"COM") == 0 || stem.compare(0, 3, L"LPT") == 0)) {
        return IsDeviceDigit(stem[3]);
    }
    return false;
}

}  // namespace

std::wstring LanguageSection(const std::wstring& formKey) {
    if (formKey == L"M") return L"M_Brimvale";
    return L"Brimvale_" + formKey;
}

bool IsSafeLanguageName(const std::wstring& name) {
    if (name.find_first_not_of(L'.') == std::wstring::npos) return false;  // "", ".", "..", ...
    for (wchar_t c : name) {
        if (c == L'\\' || c == L'/' || c == L':' || c < L' ') return false;
    }
    return !IsReservedDeviceName(name);
}

}  // namespace localisation
