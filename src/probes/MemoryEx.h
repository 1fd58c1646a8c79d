// A snapshot of the machine's memory figures: construct, Refresh once, read
// the fields, let it go. GlobalMemoryStatusEx comes from the table of
// functions looked up at run time, so that the program still starts where it
// is missing; the figures it would give then read 0.
#pragma once
#include <windows.h>

#include <cstdint>

namespace probes {

class TMemory {
public:
    // Reads no figures: every field is 0 until Refresh.
    TMemory() = default;

    // Fills every field from GlobalMemoryStatusEx (when the system has it;
    // tests replace platform::DynCalls().GlobalMemoryStatusEx) and
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

}  // namespace probes
