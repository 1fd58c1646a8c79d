#include "platform/PathRules.h"

namespace platform {
namespace {

bool IsSeparator(wchar_t character) { return character == L'\\' || character == L'/'; }

}  // namespace

bool IsAbsolutePath(const std::wstring& path) {
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) return true;
    const wchar_t drive = path.empty() ? L'\0' : path[0];
    const bool letter = (drive >= L'A' && drive <= L'Z') || (drive >= L'a' && drive <= L'z');
    return path.size() >= 3 && letter && path[1] == L':' && IsSeparator(path[2]);
}

}  // namespace platform
