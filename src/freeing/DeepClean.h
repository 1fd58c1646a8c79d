// Deep Clean: takes the free physical memory plus an eighth of the used in
// 1 MB blocks, touching every page, then gives it all back at once so that
// the system pages other processes out; the gain is reported.
#pragma once
#include <cstddef>
#include <cstdint>

#include "freeing/CleanProgress.h"
#include "freeing/FreeingRules.h"
#include "freeing/SmartClean.h"

namespace freeing {

// Runs one whole Deep Clean before returning, pumping the message queue
// once per block.
//
// The target is cut to the block table's 16,385 slots. A target of 0 (no
// memory figures) fills and releases nothing, sets the progress maximum to 0
// and reports "No memory has been released.". The fill ends, silently, at
// the first failed allocation, and also before a block that would leave less
// than 64 MB of the process's own address space: the handlers that run in the
// fill's pumps need room too. Every block obtained is then released.
// Returns what the run did (whether it could measure and take a block).
//
// When the program begins to end (Exit, a close request, the session's end)
// in one of the run's pumps, the fill stops at that block: what it took is
// given back at once and the run returns with no second reading and no
// report, so the program ends as soon as it would without a clean. A tick
// started while the program ends does nothing.
CleanOutcome RunDeepClean(CleanProgress& progress);

// ---- Test seams (replaced through platform::ScopedSeam) ----

// The block allocator: committed, writable memory straight from the system's
// page allocator (VirtualAlloc), given back with VirtualFree(MEM_RELEASE) so
// that the second reading sees it. Null means the allocation failed.
using BlockAllocateFn = void* (*)(std::size_t bytes);
using BlockReleaseFn = void (*)(void* block);
extern BlockAllocateFn BlockAllocateCall;
extern BlockReleaseFn BlockReleaseCall;

// Bytes of this process's address space still usable for blocks, asked once
// per run (default: a walk over the address space with VirtualQuery, which,
// unlike the memory-status figures, is never cached).
using AddressSpaceLeftFn = std::int64_t (*)();
extern AddressSpaceLeftFn AddressSpaceLeftCall;
// The default measure, for tests and the benchmark.
std::int64_t AddressSpaceLeft();

// The 50 ms pause after every 50th block (default: Sleep).
extern SleepFn DeepCleanSleepCall;

}  // namespace freeing
