// Every function the program calls that some of the Windows versions it
// runs on lack: each declared once here with its type, and looked up by name
// at run time instead of imported, so that the program still starts where
// one is missing (the program imports only what Windows XP exports). A slot
// is null where the system lacks the function; the caller then does what
// that system needs instead.
//
// The whole table is looked up once, at the first call of DynCalls (the
// program's first use of any of these functions): no entry point (the
// program, a windowless clean, the tests, the benchmarks) has to remember an
// initialisation call, no static initialiser can use it before it is ready,
// and a slot is only ever "found" or "missing", never "not looked up yet". Libraries that are not loaded
// already (shcore.dll, psapi.dll) are loaded from the system folder only,
// and kept.
//
// Tests replace a slot through platform::ScopedSeam: a fake function, or
// nullptr for "this system lacks it".
#pragma once
#include <windows.h>

struct tagPROCESSENTRY32;         // <tlhelp32.h>: the narrow process record
struct _PROCESS_MEMORY_COUNTERS;  // <psapi.h>

namespace platform {

struct DynCallTable {
    // ---- kernel32.dll ----
    // Windows XP SP1.
    BOOL(WINAPI* GetSystemTimes)(FILETIME* idleTime, FILETIME* kernelTime, FILETIME* userTime);
    // Windows 2000.
    BOOL(WINAPI* GlobalMemoryStatusEx)(MEMORYSTATUSEX* status);
    // Tool Help (Windows 2000; NT 4 lacked it). The narrow process walk,
    // exported as "Process32First" and "Process32Next": named with an A here
    // because <tlhelp32.h> turns those two names into the wide functions'.
    HANDLE(WINAPI* CreateToolhelp32Snapshot)(DWORD flags, DWORD processId);
    BOOL(WINAPI* Process32FirstA)(HANDLE snapshot, tagPROCESSENTRY32* entry);
    BOOL(WINAPI* Process32NextA)(HANDLE snapshot, tagPROCESSENTRY32* entry);
    // kernel32's K32GetProcessMemoryInfo (Windows 7); before it, psapi.dll's
    // GetProcessMemoryInfo, the same function.
    BOOL(WINAPI* GetProcessMemoryInfo)(HANDLE process, _PROCESS_MEMORY_COUNTERS* counters, DWORD size);

    // ---- ntdll.dll ----
    // Every NT, but not a documented export: looked up, never imported.
    LONG(WINAPI* NtQuerySystemInformation)(ULONG infoClass, void* buffer, ULONG length, ULONG* returnLength);

    // ---- user32.dll ----
    // Windows 7.
    BOOL(WINAPI* ChangeWindowMessageFilterEx)(HWND window, UINT message, DWORD action, void* changeInfo);
    // Windows Vista.
    BOOL(WINAPI* ChangeWindowMessageFilter)(UINT message, DWORD flag);
    // Windows 10 1607. The context is a DPI_AWARENESS_CONTEXT, a handle.
    HANDLE(WINAPI* SetThreadDpiAwarenessContext)(HANDLE context);
    int(WINAPI* GetSystemMetricsForDpi)(int index, UINT dpi);

    // ---- shcore.dll (Windows 8.1) ----
    // The type is a MONITOR_DPI_TYPE.
    HRESULT(WINAPI* GetDpiForMonitor)(HMONITOR monitor, int type, UINT* dpiX, UINT* dpiY);

    // ---- shell32.dll ----
    // Windows Vista. The state is a QUERY_USER_NOTIFICATION_STATE.
    HRESULT(WINAPI* SHQueryUserNotificationState)(int* state);
};

// The table, looked up in full at the first call.
DynCallTable& DynCalls();

}  // namespace platform
