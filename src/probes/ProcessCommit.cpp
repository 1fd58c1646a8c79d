#include "probes/ProcessCommit.h"

#include <algorithm>
#include <cstring>

#include "probes/ToolHelp.h"
#include "platform/DynCalls.h"
#include "platform/Handle.h"

namespace probes {

namespace {

// Kernel32's from Windows 7 on, psapi's before: the run-time table's.
GetProcessMemoryInfoFn DefaultFindProcessMemoryInfo() {
    return reinterpret_cast<GetProcessMemoryInfoFn>(platform::DynCalls().GetProcessMemoryInfo);
}

// Handles are closed through the seam, so that a test can count them.
BOOL WINAPI CloseThroughSeam(HANDLE handle) { return CommitCloseHandleCall(handle); }
using UniqueProcess = platform::UniqueHandle<platform::HandleTraits<HANDLE, &CloseThroughSeam>>;
using UniqueSnapshot = platform::UniqueHandle<platform::HandleTraits<HANDLE, &CloseThroughSeam, true>>;

// The first access works from Vista on and is granted for more processes;
// the second is what Windows XP needs (and refuses the first).
constexpr DWORD kQueryAccess[] = {PROCESS_QUERY_LIMITED_INFORMATION, PROCESS_QUERY_INFORMATION | PROCESS_VM_READ};

bool QueryPrivateCommit(DWORD processId, GetProcessMemoryInfoFn query, std::int64_t& bytes) {
    for (const DWORD access : kQueryAccess) {
        UniqueProcess process(CommitOpenProcessCall(access, FALSE, processId));
        if (!process) continue;
        PROCESS_MEMORY_COUNTERS_EX counters;
        std::memset(&counters, 0, sizeof counters);
        counters.cb = sizeof counters;
        // A figure of 0 tells nothing (no process runs without private
        // memory; Wine answers 0 for every process): passed over as well.
        if (query(process.get(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters)) {
            bytes = static_cast<std::int64_t>(counters.PrivateUsage);
            return bytes != 0;
        }
    }
    return false;
}

}  // namespace

CommitOpenProcessFn CommitOpenProcessCall = &::OpenProcess;
CommitCloseHandleFn CommitCloseHandleCall = &::CloseHandle;
FindProcessMemoryInfoFn FindProcessMemoryInfo = &DefaultFindProcessMemoryInfo;

std::vector<ProcessCommit> LargestPrivateCommits(std::size_t count) {
    std::vector<ProcessCommit> found;
    const GetProcessMemoryInfoFn query = count > 0 ? FindProcessMemoryInfo() : nullptr;
    if (!query) return found;
    // The forwarder answers 0 without Tool Help, the system
    // INVALID_HANDLE_VALUE for a failed snapshot: both are "none".
    HANDLE taken = CreateToolhelp32SnapshotSafe(TH32CS_SNAPPROCESS, 0);
    UniqueSnapshot snapshot(taken == nullptr ? INVALID_HANDLE_VALUE : taken);
    if (!snapshot) return found;
    ProcessEntry32 entry;
    std::memset(&entry, 0, sizeof entry);
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstSafe(snapshot.get(), &entry); more;
         more = Process32NextSafe(snapshot.get(), &entry)) {
        std::int64_t bytes = 0;
        if (QueryPrivateCommit(entry.th32ProcessID, query, bytes)) found.push_back({ProcessExeName(entry), bytes});
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const ProcessCommit& a, const ProcessCommit& b) { return a.privateBytes > b.privateBytes; });
    if (found.size() > count) found.resize(count);
    return found;
}

}  // namespace probes
