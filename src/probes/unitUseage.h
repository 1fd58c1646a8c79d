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

// ---- Test seams (replaced through widgets::ScopedSeam) ----

using NtQueryFn = LONG(WINAPI*)(ULONG infoClass, PVOID buffer, ULONG length,
                                PULONG returnLength);
// Finds the query entry; the default looks up "NtQuerySystemInformation" in
// the loaded "ntdll.dll". Returning null means "not exported".
using NtQueryLookupFn = NtQueryFn (*)();

// The resolved query entry; nullptr means "not resolved yet": the next call
// looks it up again through NtQueryLookup.
extern NtQueryFn NtQuery;
extern NtQueryLookupFn NtQueryLookup;
// The count of all active processors in every processor group, asked the
// first time an idle time shows the system's count to be too small (see
// ProcessorCountTooSmall); from then on the larger of the two counts is used.
// The default calls GetActiveProcessorCount(ALL_PROCESSOR_GROUPS), looked up
// in kernel32.dll at run time (absent before Windows 7); 0 means "unknown".
using AllProcessorsFn = DWORD (*)();
extern AllProcessorsFn AllProcessors;
// Forgets the baseline (previous idle time and system time back to 0) and
// the count of all processors.
void ResetCpuUsageForTest();

}  // namespace probes
