// TLanguage: the language the program's texts come from, and lookups of
// those texts with built-in defaults.
//
// The language is the one chosen in the shared settings file of the maker's
// sibling product (app-data folder + "Palvo\Quenderal\Main.ini", section
// "Main", key "Language", default "English"), read once at construction and
// only when a "language" folder sits next to the executable. Texts come from
// that folder's <language>.lng, a profile-format file read anew at every
// lookup, so edits show at the next one.
#pragma once
#include <string>

namespace localisation {

class TLanguage {
public:
    TLanguage();

    // The text stored under textKey in the section of formKey ("M" selects
    // "M_Brimvale", any other k "Brimvale_" + k), at most 2047 characters;
    // defaultText when the key is absent or the language file cannot be read.
    // A missing language file is first created empty (UTF-16 with a byte-order
    // mark and one line break).
    std::wstring Translate(const std::wstring& formKey, const std::wstring& textKey,
                           const std::wstring& defaultText) const;

    // Base name of the language file; empty when there is no language folder.
    const std::wstring& LanguageName() const noexcept { return FLanguageName; }

private:
    std::wstring FLanguageName;
    // The path the lookups read: the language file's own, or its short form
    // when its own is too long for the profile calls (MAX_PATH characters or
    // more); empty when there is none, and every lookup gives its default.
    std::wstring FFilePath;
    bool FThroughShortPath = false;
};

// The short form of a path ("C:\PROGRA~1\..."), as the system gives it for
// an existing file; empty when it gives none. The default asks
// GetShortPathNameW.
using ShortPathFn = std::wstring (*)(const std::wstring& path);
extern ShortPathFn ShortPathCall;

}  // namespace localisation
