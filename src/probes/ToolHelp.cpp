#include "probes/ToolHelp.h"

#include <cstddef>
#include <cstring>

#include "platform/Exports.h"

namespace probes {

namespace {

// The whole family is bound in one pass, in this order; only the snapshot
// and the two narrow process functions are called.
constexpr const char* kEntryNames[] = {
    "CreateToolhelp32Snapshot",
    "Heap32ListFirst",
    "Heap32ListNext",
    "Heap32First",
    "Heap32Next",
    "Toolhelp32ReadProcessMemory",
    "Process32First",
    "Process32Next",
    "Process32FirstW",
    "Process32NextW",
    "Thread32First",
    "Thread32Next",
    "Module32First",
    "Module32Next",
    "Module32FirstW",
    "Module32NextW",
};
constexpr size_t kEntryCount = sizeof kEntryNames / sizeof kEntryNames[0];
static_assert(kEntryCount == 16, "sixteen Tool Help entry points");
constexpr size_t kSnapshotSlot = 0;
constexpr size_t kProcessFirstSlot = 6;
constexpr size_t kProcessNextSlot = 7;

using SnapshotFn = HANDLE(WINAPI*)(DWORD flags, DWORD processId);
using ProcessWalkFn = BOOL(WINAPI*)(HANDLE snapshot, ProcessEntry32* entry);

HMODULE DefaultModuleLookup(const char* name) { return ::GetModuleHandleA(name); }
FARPROC DefaultProcLookup(HMODULE module, const char* name) {
    return ::GetProcAddress(module, name);
}

// GetModuleHandleA takes no reference, so nothing is ever released.
HMODULE gKernel32 = nullptr;
FARPROC gSlots[kEntryCount] = {};

template <class Fn>
Fn SlotAs(size_t index) {
    return platform::ExportAs<Fn>(gSlots[index]);
}

}  // namespace

ModuleLookupFn ToolHelpModuleLookup = &DefaultModuleLookup;
ProcLookupFn ToolHelpProcLookup = &DefaultProcLookup;

bool LoadToolHelpEntries() {
    // While the module is not found every call tries again; once it is, the
    // names are looked up this one time and missing ones stay null.
    if (!gKernel32) {
        gKernel32 = ToolHelpModuleLookup("kernel32.dll");
        if (gKernel32) {
            for (size_t i = 0; i < kEntryCount; ++i) {
                gSlots[i] = ToolHelpProcLookup(gKernel32, kEntryNames[i]);
            }
        }
    }
    return gKernel32 != nullptr && gSlots[kSnapshotSlot] != nullptr;
}

HANDLE CreateToolhelp32SnapshotSafe(DWORD flags, DWORD processId) {
    if (!LoadToolHelpEntries()) return nullptr;
    return SlotAs<SnapshotFn>(kSnapshotSlot)(flags, processId);
}

BOOL Process32FirstSafe(HANDLE snapshot, ProcessEntry32* entry) {
    if (!LoadToolHelpEntries() || !gSlots[kProcessFirstSlot]) return FALSE;
    return SlotAs<ProcessWalkFn>(kProcessFirstSlot)(snapshot, entry);
}

BOOL Process32NextSafe(HANDLE snapshot, ProcessEntry32* entry) {
    if (!LoadToolHelpEntries() || !gSlots[kProcessNextSlot]) return FALSE;
    return SlotAs<ProcessWalkFn>(kProcessNextSlot)(snapshot, entry);
}

void ResetToolHelpForTest() {
    gKernel32 = nullptr;
    for (FARPROC& slot : gSlots) slot = nullptr;
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
