// Processor usage of the whole machine, measured between two calls from the
// system's cumulative idle time and clock (NtQuerySystemInformation, looked
// up in ntdll.dll at run time).
#pragma once
#include <windows.h>

namespace probes {

// Percentage of processor time that was busy since the previous successful
// call, rounded down and not clamped (a little below 0 on an idle machine is
// possible). 0 on the first call, which only sets the baseline, and 0 when a
// query fails; a failed call keeps the baseline, so the next successful call
// measures the whole interval. 0 on every call when ntdll.dll does not export
// NtQuerySystemInformation. GUI thread only: the baseline has no lock.
int GetCpuUsage();

// ---- Test seams ----

using NtQueryFn = LONG(WINAPI*)(ULONG infoClass, PVOID buffer, ULONG length,
                                PULONG returnLength);
// Finds the query entry; the default looks up "NtQuerySystemInformation" in
// the loaded "ntdll.dll". Returning null means "not exported".
using NtQueryLookupFn = NtQueryFn (*)();

// Replaces the resolved query entry and returns the previous one. nullptr
// means "not resolved yet": the next call looks it up again.
NtQueryFn SetNtQueryForTest(NtQueryFn query);
// Replaces the lookup used while the entry is unresolved; returns the old one.
NtQueryLookupFn SetNtQueryLookupForTest(NtQueryLookupFn lookup);
// Forgets the baseline (previous idle time and system time back to 0).
void ResetCpuUsageForTest();

}  // namespace probes
