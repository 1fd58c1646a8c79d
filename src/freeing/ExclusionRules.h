// Processes the trimming pass leaves alone: the setting "exclude" lists
// executable names separated by ';' ("exclude=game.exe;obs64.exe"). Reading
// the list and matching a process's name against it; no OS calls here.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace freeing {

// The list keeps at most this many names; the rest of a longer setting is
// not read.
constexpr std::size_t kMaxExcludedNames = 256;
// A name (after its folder is dropped) longer than this many characters
// (MAX_PATH - 1) names no file the system can start, and is passed over.
constexpr std::size_t kMaxExcludedNameLength = 259;

// The file name part of a path: what follows the last '\', '/' or ':'
// ("C:\Games\game.exe" gives "game.exe"; "game.exe" stays).
std::wstring ExecutableFileName(const std::wstring& path);

// A name made comparable without letter case, as the file system compares
// names: letters go to upper case, without any locale, for ASCII, Latin-1
// (a-z, à-þ but not ÷; ÿ gives Ÿ) and Latin Extended-A (U+0100-U+017F, the
// letter pairs of the European alphabets; ı, ĸ, ŉ and ſ have no simple
// upper case of their own and stay). Every other character stays as it is.
std::wstring FoldNameCase(const std::wstring& name);

class ExclusionList {
public:
    // The setting's raw text, read as far as it makes sense; it never fails.
    // Items are separated by ';'. Each item: blanks (spaces, tabs) around it
    // dropped, then one pair of double quotes around it, then its folder.
    // Passed over: empty items, names longer than kMaxExcludedNameLength,
    // names made only of dots, names holding a character no file name may
    // hold (a control character or one of < > " | ? *, so wildcards too),
    // and repeats. After kMaxExcludedNames names the rest is not read.
    static ExclusionList Parse(const std::wstring& raw);

    // Whether the process with this executable name (Tool Help's, which may
    // carry a folder on old systems) is excluded: its file name matches a
    // listed one without regard to letter case (FoldNameCase).
    bool Excludes(const std::wstring& processName) const;

    // The names read, folded, in the setting's order.
    const std::vector<std::wstring>& Names() const noexcept { return names_; }

private:
    std::vector<std::wstring> names_;
};

}  // namespace freeing
