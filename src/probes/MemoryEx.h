// A snapshot of the machine's memory figures: construct, Refresh once, read
// the fields, let it go. GlobalMemoryStatusEx is looked up in kernel32 at run
// time so that the program still starts where it is missing; the figures it
// would give then read 0.
#pragma once
#include <windows.h>

#include <cstdint>

namespace probes {

class TMemory {
public:
    // Looks up "GlobalMemoryStatusEx" in "kernel32" and stores the address (or
    // null) in the variable shared by all objects. Reads no figures: every
    // field is 0 until Refresh.
    TMemory();

    // Fills every field from GlobalMemoryStatusEx (when found) and
    // GetSystemInfo. Reading a field afterwards never queries the system.
    void Refresh();

    // Bytes; unsigned system values are kept bit for bit.
    int64_t PhysicalTotal = 0;
    int64_t PhysicalFree = 0;
    int64_t VirtualTotal = 0;   // user-mode address space of this process
    int64_t VirtualFree = 0;
    int64_t PageFileTotal = 0;  // commit limit
    int64_t PageFileFree = 0;   // commit still available
    int32_t MemoryLoad = 0;     // percent
    int32_t AllocGranularity = 0;
    int32_t MaxAppAddress = 0;  // addresses kept as signed 32-bit values
    int32_t MinAppAddress = 0;
    int32_t PageSize = 0;
};

// ---- Test seams (replaced through platform::ScopedSeam) ----

using GlobalMemoryStatusExFn = BOOL(WINAPI*)(LPMEMORYSTATUSEX status);
// Finds an exported function by module and function name, defaulting to
// platform::LookUpExport. Returning null means "not exported".
using MemoryProcLookupFn = FARPROC (*)(const wchar_t* module, const char* name);
// The lookup the constructor uses.
extern MemoryProcLookupFn MemoryLookup;
// The shared address as the last construction left it.
GlobalMemoryStatusExFn GlobalMemoryStatusExAddress();

}  // namespace probes
