// Processor usage of the whole machine, measured between two calls from the
// system's cumulative processor times (GetSystemTimes, from the table of
// functions looked up at run time). Where the system lacks that function
// (before Windows XP SP1) the idle time and clock of
// NtQuerySystemInformation, from the same table, are used instead.
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

// ---- For tests ----
// GetSystemTimes and NtQuerySystemInformation are the slots of
// platform::DynCalls(), replaced through platform::ScopedSeam.

// Forgets both baselines.
void ResetCpuUsageForTest();

}  // namespace probes
