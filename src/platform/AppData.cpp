#include "platform/AppData.h"

#include <windows.h>
#include <shlobj.h>

#include <vector>

#include "platform/Errors.h"
#include "platform/PathRules.h"
#include "platform/Registry.h"

namespace platform {
namespace {

std::wstring AskShellForAppData() {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path))) {
        return std::wstring();
    }
    return path;
}

// text with its environment references expanded; as it is when that fails.
std::wstring ExpandEnvironment(const std::wstring& text) {
    const DWORD size = ::ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    if (size == 0) return text;
    std::vector<wchar_t> buffer(size + 1, L'\0');
    const DWORD written = ::ExpandEnvironmentStringsW(text.c_str(), buffer.data(), size + 1);
    if (written == 0 || written > size + 1) return text;
    return std::wstring(buffer.data());
}

}  // namespace

ShellAppDataFn ShellAppDataCall = &AskShellForAppData;

std::wstring GetAppDataFolder() {
    TTntRegistry registry;
    if (!registry.OpenKey(ShellFoldersKey)) return std::wstring();
    std::wstring folder = registry.ReadString(AppDataValue);
    unsigned long type = REG_NONE;
    if (!folder.empty() && registry.ValueType(AppDataValue, type) && type == REG_EXPAND_SZ) {
        folder = ExpandEnvironment(folder);
    }
    registry.CloseKey();
    // A folder that is not an absolute path ("relappdata") would put the
    // settings wherever the program was started from: it names no folder.
    if (!IsAbsolutePath(folder)) folder.clear();
    return folder;
}

std::wstring GetAppDataFolderOrReport(bool* fromShell) {
    if (fromShell) *fromShell = false;
    std::wstring folder;
    try {
        folder = GetAppDataFolder();
    } catch (const ERegistryException& e) {
        ReportProblem(e.Message());
    }
    if (folder.empty()) {
        folder = ShellAppDataFolder();
        if (fromShell) *fromShell = !folder.empty();
    }
    return folder;
}

std::wstring ShellAppDataFolder() { return ShellAppDataCall(); }

}  // namespace platform
