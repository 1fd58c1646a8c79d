#include <gtest/gtest.h>
#include <windows.h>
#include <psapi.h>

#include "platform/DynCalls.h"

namespace {

template <class Fn>
void* Address(Fn fn) {
    return reinterpret_cast<void*>(fn);
}

void* Export(const wchar_t* module, const char* name) {
    const HMODULE handle = ::GetModuleHandleW(module);
    return handle ? reinterpret_cast<void*>(::GetProcAddress(handle, name)) : nullptr;
}

}  // namespace

// Each slot holds what its library exports under its name (null where it
// does not), the libraries the table loaded included.
TEST(DynCalls, EachSlotHoldsItsLibrarysExport) {
    const platform::DynCallTable& calls = platform::DynCalls();
    const struct {
        void* slot;
        const wchar_t* module;
        const char* name;
    } rows[] = {
        {Address(calls.GetSystemTimes), L"kernel32.dll", "GetSystemTimes"},
        {Address(calls.GlobalMemoryStatusEx), L"kernel32.dll", "GlobalMemoryStatusEx"},
        {Address(calls.CreateToolhelp32Snapshot), L"kernel32.dll", "CreateToolhelp32Snapshot"},
        {Address(calls.Process32FirstA), L"kernel32.dll", "Process32First"},
        {Address(calls.Process32NextA), L"kernel32.dll", "Process32Next"},
        {Address(calls.NtQuerySystemInformation), L"ntdll.dll", "NtQuerySystemInformation"},
        {Address(calls.ChangeWindowMessageFilterEx), L"user32.dll", "ChangeWindowMessageFilterEx"},
        {Address(calls.ChangeWindowMessageFilter), L"user32.dll", "ChangeWindowMessageFilter"},
        {Address(calls.SetThreadDpiAwarenessContext), L"user32.dll", "SetThreadDpiAwarenessContext"},
        {Address(calls.GetSystemMetricsForDpi), L"user32.dll", "GetSystemMetricsForDpi"},
        {Address(calls.GetDpiForMonitor), L"shcore.dll", "GetDpiForMonitor"},
        {Address(calls.SHQueryUserNotificationState), L"shell32.dll", "SHQueryUserNotificationState"},
    };
    for (const auto& row : rows) EXPECT_EQ(Export(row.module, row.name), row.slot) << row.name;
    // Every system this program runs on has these.
    EXPECT_NE(nullptr, calls.GlobalMemoryStatusEx);
    EXPECT_NE(nullptr, calls.NtQuerySystemInformation);
}

// kernel32's K32GetProcessMemoryInfo where it exists, psapi.dll's otherwise;
// either reads this process's figures.
TEST(DynCalls, ProcessMemoryInfoComesFromKernel32OrPsapi) {
    const auto getInfo = platform::DynCalls().GetProcessMemoryInfo;
    void* k32 = Export(L"kernel32.dll", "K32GetProcessMemoryInfo");
    EXPECT_EQ(k32 ? k32 : Export(L"psapi.dll", "GetProcessMemoryInfo"), Address(getInfo));
    ASSERT_NE(nullptr, getInfo);
    PROCESS_MEMORY_COUNTERS counters{};
    ASSERT_TRUE(getInfo(::GetCurrentProcess(), &counters, sizeof counters));
    EXPECT_GT(counters.WorkingSetSize, 0u);
}
