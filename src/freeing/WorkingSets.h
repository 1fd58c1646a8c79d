// The working-set trimming pass: every process on the machine is asked to
// give up as many of its pages as it can. It runs on every tick of the idle
// auto-free timer (while that setting is on) and ten times per Smart Clean.
#pragma once
#include <windows.h>

#include <cstdint>

#include "freeing/ExclusionRules.h"
#include "freeing/FreeingRules.h"

namespace freeing {

// One trimming pass, paced by `pacingSample`, the processor usage 25 samples
// back (the monitor history's entry 125). Skipped entirely while it is above
// 80 percent; otherwise the pacer's
// interval is retuned first (5, 7 or 10 s by that usage) and then every
// process of a Tool Help snapshot is opened with PROCESS_SET_QUOTA, trimmed
// with SetProcessWorkingSetSize(-1, -1) and closed. No result is examined:
// a process that cannot be opened is passed over. Returns whether the pass
// listed the processes (false when skipped or without a snapshot).
bool FreeWorkingSets(AutoFreePacer& pacer, std::int32_t pacingSample);

// The walk alone, with no pacing and no timer: every process of a Tool Help
// snapshot trimmed as above. Returns false when no snapshot could be taken.
bool TrimWorkingSets();

// The same two with the processes the user excluded (the setting "exclude",
// matched by the snapshot's executable name) passed over: they are not even
// opened. `passedOver` is set to how many processes of the snapshot were
// excluded (0 when the pass is skipped or finds no snapshot).
bool FreeWorkingSets(AutoFreePacer& pacer, std::int32_t pacingSample, const ExclusionList& excluded,
                     int& passedOver);
bool TrimWorkingSets(const ExclusionList& excluded, int& passedOver);

// ---- Test seams (replaced through platform::ScopedSeam) ----

// The three process calls of the walk, defaulting to OpenProcess,
// SetProcessWorkingSetSize and CloseHandle. The close function also closes
// the snapshot.
using OpenProcessFn = HANDLE(WINAPI*)(DWORD access, BOOL inherit, DWORD processId);
using SetWorkingSetSizeFn = BOOL(WINAPI*)(HANDLE process, SIZE_T minimum, SIZE_T maximum);
using CloseHandleFn = BOOL(WINAPI*)(HANDLE handle);
extern OpenProcessFn OpenProcessCall;
extern SetWorkingSetSizeFn SetWorkingSetSizeCall;
extern CloseHandleFn CloseHandleCall;

}  // namespace freeing
