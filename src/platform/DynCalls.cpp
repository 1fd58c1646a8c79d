#include "platform/DynCalls.h"

#include <string>

namespace platform {
namespace {

// The module if the process has it loaded already; otherwise loaded from the
// system folder (never from the program's folder or the path, where another
// file of that name could stand) and kept for the life of the process. Null
// where the system has no such library.
HMODULE SystemModule(const wchar_t* name) {
    if (HMODULE loaded = ::GetModuleHandleW(name)) return loaded;
    wchar_t folder[MAX_PATH];
    const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    const std::wstring path = std::wstring(folder, length) + L"\\" + name;
    return ::LoadLibraryW(path.c_str());
}

// Stores the export's address, or null, in a slot of the function type it
// has; through void(*)() to tell the compiler that the signature change is
// meant.
template <class Fn>
void Find(Fn& slot, HMODULE module, const char* name) {
    slot = module ? reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name))) : nullptr;
}

DynCallTable LookUpAll() {
    DynCallTable table{};
    const HMODULE kernel32 = SystemModule(L"kernel32.dll");
    Find(table.GetSystemTimes, kernel32, "GetSystemTimes");
    Find(table.GlobalMemoryStatusEx, kernel32, "GlobalMemoryStatusEx");
    Find(table.CreateToolhelp32Snapshot, kernel32, "CreateToolhelp32Snapshot");
    Find(table.Process32FirstA, kernel32, "Process32First");
    Find(table.Process32NextA, kernel32, "Process32Next");
    Find(table.GetProcessMemoryInfo, kernel32, "K32GetProcessMemoryInfo");
    if (!table.GetProcessMemoryInfo) Find(table.GetProcessMemoryInfo, SystemModule(L"psapi.dll"), "GetProcessMemoryInfo");

    Find(table.NtQuerySystemInformation, SystemModule(L"ntdll.dll"), "NtQuerySystemInformation");

    const HMODULE user32 = SystemModule(L"user32.dll");
    Find(table.ChangeWindowMessageFilterEx, user32, "ChangeWindowMessageFilterEx");
    Find(table.ChangeWindowMessageFilter, user32, "ChangeWindowMessageFilter");
    Find(table.SetThreadDpiAwarenessContext, user32, "SetThreadDpiAwarenessContext");
    Find(table.GetSystemMetricsForDpi, user32, "GetSystemMetricsForDpi");

    Find(table.GetDpiForMonitor, SystemModule(L"shcore.dll"), "GetDpiForMonitor");

    Find(table.SHQueryUserNotificationState, SystemModule(L"shell32.dll"), "SHQueryUserNotificationState");
    return table;
}

}  // namespace

DynCallTable& DynCalls() {
    static DynCallTable table = LookUpAll();
    return table;
}

}  // namespace platform
