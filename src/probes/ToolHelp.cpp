#include "probes/ToolHelp.h"

#include <cstddef>
#include <cstring>

#include "platform/DynCalls.h"

namespace probes {

namespace {

bool ToolHelpAvailable() { return platform::DynCalls().CreateToolhelp32Snapshot != nullptr; }

}  // namespace

HANDLE CreateToolhelp32SnapshotSafe(DWORD flags, DWORD processId) {
    const auto snapshot = platform::DynCalls().CreateToolhelp32Snapshot;
    return snapshot ? snapshot(flags, processId) : nullptr;
}

BOOL Process32FirstSafe(HANDLE snapshot, ProcessEntry32* entry) {
    const auto first = platform::DynCalls().Process32FirstA;
    return ToolHelpAvailable() && first ? first(snapshot, entry) : FALSE;
}

BOOL Process32NextSafe(HANDLE snapshot, ProcessEntry32* entry) {
    const auto next = platform::DynCalls().Process32NextA;
    return ToolHelpAvailable() && next ? next(snapshot, entry) : FALSE;
}

std::wstring ProcessExeName(const ProcessEntry32& entry) {
    const char* name = entry.szExeFile;
    const void* end = std::memchr(name, '\0', sizeof entry.szExeFile);
    const int length = static_cast<int>(end ? static_cast<const char*>(end) - name : sizeof entry.szExeFile);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    const int converted = length > 0 ? ::MultiByteToWideChar(CP_ACP, 0, name, length, wide.data(), length) : 0;
    wide.resize(converted > 0 ? static_cast<std::size_t>(converted) : 0);
    const std::size_t cut = wide.find_last_of(L"\\/");
    return cut == std::wstring::npos ? wide : wide.substr(cut + 1);
}

}  // namespace probes
