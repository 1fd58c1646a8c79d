// TLanguage: the language the program's texts come from, and lookups of
// those texts with built-in defaults.
//
// The language is the one chosen in the shared settings file of the maker's
// sibling product (app-data folder + "Palvo\Quenderal\Main.ini", section
// "Main", key "Language", default "English"), read once at construction and
// only when a "language" folder sits next to the executable. Texts come from
// that folder's <language>.lng, a profile-format file. Every lookup sees the
// file as it stands, so edits show at the next one: one attribute query
// (per lookup, or per batch) tells whether the file changed, and texts
// already read are kept while it keeps its size and last-write time. A text
// not read yet is read from the file as the profile reader would; one that
// cannot be read (the file missing, a folder, or held by someone who shares
// no reading) gives its default and is not kept.
#pragma once
#include <map>
#include <optional>
#include <string>
#include <utility>

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

    // Lookups made while a Batch lives share one check of the language file
    // (the tick's three, a window's translation), so they read one state of
    // it; every lookup outside a batch checks the file itself.
    class Batch {
    public:
        explicit Batch(const TLanguage& language) noexcept;
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        const TLanguage& language_;
    };

private:
    // What a check of the language file found: whether a file is there, and
    // then its size and last-write time.
    struct FileState {
        bool present = false;  // a file, not a folder
        unsigned long long size = 0;
        unsigned long long lastWrite = 0;  // in 100 ns units, as the file system gives it
    };

    void CheckFile() const;

    std::wstring FLanguageName;
    // The path the lookups read: the language file's own, or its short form
    // when its own is too long for the profile calls (MAX_PATH characters or
    // more); empty when there is none, and every lookup gives its default.
    std::wstring FFilePath;
    bool FThroughShortPath = false;
    // The texts read from the file in the state `checked_` found, by section
    // and key as they were asked for (nullopt: the key is absent).
    mutable FileState checked_;
    mutable std::map<std::pair<std::wstring, std::wstring>, std::optional<std::wstring>> texts_;
    mutable int batches_ = 0;
    mutable bool checkedInBatch_ = false;
};

// The short form of a path ("C:\PROGRA~1\..."), as the system gives it for
// an existing file; empty when it gives none. The default asks
// GetShortPathNameW.
using ShortPathFn = std::wstring (*)(const std::wstring& path);
extern ShortPathFn ShortPathCall;

}  // namespace localisation
