// Processor usage of the whole machine, measured between two calls from the
// system's cumulative processor times (GetSystemTimes, looked up in
// kernel32.dll at run time). Where the system lacks that function (before
// Windows XP SP1) the idle time and clock of NtQuerySystemInformation,
// looked up in ntdll.dll at run time, are used instead.
#pragma once
#include <windows.h>

namespace probes {

// Percentage of processor time that was busy since the previous successful
// call, rounded down and not clamped. 0 on the first call, which only sets
// the baseline, and 0 when a reading fails; a failed call keeps the
// baseline, so the next successful call measures the whole interval. 0 on
// every call when neither GetSystemTimes nor NtQuerySystemInformation is
// exported. GUI thread only: the baseline has no lock.
int GetCpuUsage();

// ---- Test seams (replaced through platform::ScopedSeam) ----

using SystemTimesFn = BOOL(WINAPI*)(LPFILETIME idleTime, LPFILETIME kernelTime, LPFILETIME userTime);
// Finds GetSystemTimes; the default looks it up in the loaded "kernel32.dll".
// Returning null means "not exported".
using SystemTimesLookupFn = SystemTimesFn (*)();
// The resolved GetSystemTimes; nullptr means "not resolved yet": the next
// call looks it up again through SystemTimesLookup.
extern SystemTimesFn SystemTimes;
extern SystemTimesLookupFn SystemTimesLookup;

using NtQueryFn = LONG(WINAPI*)(ULONG infoClass, PVOID buffer, ULONG length,
                                PULONG returnLength);
// Finds the query entry; the default looks up "NtQuerySystemInformation" in
// the loaded "ntdll.dll". Returning null means "not exported".
using NtQueryLookupFn = NtQueryFn (*)();

// The resolved query entry, used only while GetSystemTimes is not found;
// nullptr means "not resolved yet": the next such call looks it up again
// through NtQueryLookup.
extern NtQueryFn NtQuery;
extern NtQueryLookupFn NtQueryLookup;
// Forgets both baselines.
void ResetCpuUsageForTest();

}  // namespace probes
