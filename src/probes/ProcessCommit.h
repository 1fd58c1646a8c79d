// Which processes hold the most private commit (the memory the system has
// promised them alone): the names the low-memory warning shows. Each
// process of a Tool Help snapshot is asked through GetProcessMemoryInfo,
// which is looked up at run time: kernel32's "K32GetProcessMemoryInfo" on
// Windows 7 and later, before that psapi.dll's "GetProcessMemoryInfo".
#pragma once
#include <windows.h>
#include <psapi.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace probes {

struct ProcessCommit {
    std::wstring exeName;  // file name only, from Tool Help's narrow record (ANSI code page)
    std::int64_t privateBytes = 0;
};

// The `count` processes with the largest private commit
// (PROCESS_MEMORY_COUNTERS_EX::PrivateUsage), largest first; processes with
// equal figures keep the snapshot's order. A process is opened with
// PROCESS_QUERY_LIMITED_INFORMATION (Vista and later) and, when that open or
// its query fails, with PROCESS_QUERY_INFORMATION | PROCESS_VM_READ (all
// that Windows XP knows). One that cannot be opened or queried either way,
// or whose figure reads 0, is passed over. Every handle is closed before the function returns. Empty
// when count is 0, without GetProcessMemoryInfo or without a snapshot.
// (Windows XP before Service Pack 2 refuses the record's larger size: there
// every process is passed over.)
std::vector<ProcessCommit> LargestPrivateCommits(std::size_t count);

// ---- Test seams (replaced through platform::ScopedSeam) ----

// Opening and closing processes and the snapshot, defaulting to OpenProcess
// and CloseHandle.
using CommitOpenProcessFn = HANDLE(WINAPI*)(DWORD access, BOOL inherit, DWORD processId);
using CommitCloseHandleFn = BOOL(WINAPI*)(HANDLE handle);
extern CommitOpenProcessFn CommitOpenProcessCall;
extern CommitCloseHandleFn CommitCloseHandleCall;

// Finds GetProcessMemoryInfo as described above (null when neither is
// there). The default looks once and keeps psapi.dll, loaded from the system
// folder, for the rest of the program's life.
using GetProcessMemoryInfoFn = BOOL(WINAPI*)(HANDLE process, PROCESS_MEMORY_COUNTERS* counters, DWORD size);
using FindProcessMemoryInfoFn = GetProcessMemoryInfoFn (*)();
extern FindProcessMemoryInfoFn FindProcessMemoryInfo;

}  // namespace probes
