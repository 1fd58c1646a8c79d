// The Tool Help process walk, through the table of functions looked up at
// run time (platform::DynCalls) instead of imported, so that the program runs
// where they are missing: a process walk then simply finds no process.
#pragma once
// <tlhelp32.h> needs the types of <windows.h> first.
#include <windows.h>
#include <tlhelp32.h>

#include <string>

namespace probes {

// The 8-bit-character process record that "Process32First"/"Process32Next"
// fill. Named through its struct tag because with UNICODE defined the name
// PROCESSENTRY32 stands for the wide record. Set dwSize to sizeof before the
// first call.
using ProcessEntry32 = ::tagPROCESSENTRY32;
// Its th32DefaultHeapID is a ULONG_PTR: 296 bytes in a 32-bit process, 304
// in a 64-bit one.
static_assert(sizeof(ProcessEntry32) == (sizeof(void*) == 8 ? 304 : 296),
              "the narrow PROCESSENTRY32 of this build");

// Forwarders with the arguments and results of the functions they call. When
// Tool Help is not available (no "CreateToolhelp32Snapshot"), or its own
// entry point is missing, each returns its failure value without calling anything. Note the
// snapshot forwarder's failure value is 0, while CreateToolhelp32Snapshot
// itself reports failure as INVALID_HANDLE_VALUE: check for both.
HANDLE CreateToolhelp32SnapshotSafe(DWORD flags, DWORD processId);
BOOL Process32FirstSafe(HANDLE snapshot, ProcessEntry32* entry);
BOOL Process32NextSafe(HANDLE snapshot, ProcessEntry32* entry);

// The record's executable name as wide text (the narrow name is in the
// ANSI code page), without the folder that old systems put before it.
std::wstring ProcessExeName(const ProcessEntry32& entry);

// Tests replace the three slots of platform::DynCalls() through
// platform::ScopedSeam.

}  // namespace probes
