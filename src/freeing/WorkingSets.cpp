#include "freeing/WorkingSets.h"

#include <array>
#include <cstdint>

#include "freeing/FreeingRules.h"
#include "probes/ToolHelp.h"
#include "platform/Handle.h"

namespace freeing {

OpenProcessFn OpenProcessCall = &::OpenProcess;
SetWorkingSetSizeFn SetWorkingSetSizeCall = &::SetProcessWorkingSetSize;
CloseHandleFn CloseHandleCall = &::CloseHandle;

namespace {

// Both minimum and maximum at the all-ones size: remove as many pages as
// the system allows.
const SIZE_T kTrimAll = static_cast<SIZE_T>(-1);

// Process handles and the snapshot are closed through the seam so that a
// test can count them; the snapshot uses INVALID_HANDLE_VALUE for "none".
struct ProcessHandleTraits {
    using type = HANDLE;
    static HANDLE invalid() noexcept { return nullptr; }
    static void close(HANDLE h) noexcept { (void)CloseHandleCall(h); }
};
struct SnapshotHandleTraits {
    using type = HANDLE;
    static HANDLE invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) noexcept { (void)CloseHandleCall(h); }
};
using UniqueProcess = platform::UniqueHandle<ProcessHandleTraits>;
using UniqueSnapshot = platform::UniqueHandle<SnapshotHandleTraits>;

// The Tool Help forwarder answers 0 when Tool Help is missing, the system
// INVALID_HANDLE_VALUE when the snapshot fails: both mean "no snapshot".
UniqueSnapshot TakeProcessSnapshot() {
    HANDLE snapshot = probes::CreateToolhelp32SnapshotSafe(TH32CS_SNAPPROCESS, 0);
    return UniqueSnapshot(snapshot == nullptr ? INVALID_HANDLE_VALUE : snapshot);
}

void TrimProcess(DWORD processId) {
    UniqueProcess process(OpenProcessCall(PROCESS_SET_QUOTA, TRUE, processId));
    // A process that exited or refuses the access is passed over.
    if (!process) return;
    (void)SetWorkingSetSizeCall(process.get(), kTrimAll, kTrimAll);
}

}  // namespace

bool FreeWorkingSets(AutoFreePacer& pacer, std::int32_t pacingSample) {
    int passedOver = 0;
    return FreeWorkingSets(pacer, pacingSample, ExclusionList(), passedOver);
}

bool TrimWorkingSets() {
    int passedOver = 0;
    return TrimWorkingSets(ExclusionList(), passedOver);
}

bool FreeWorkingSets(AutoFreePacer& pacer, std::int32_t pacingSample, const ExclusionList& excluded,
                     int& passedOver) {
    passedOver = 0;
    // The new pace governs the wait until the next tick, whatever the walk finds.
    if (!pacer.Pace(pacingSample)) return false;
    return TrimWorkingSets(excluded, passedOver);
}

bool TrimWorkingSets(const ExclusionList& excluded, int& passedOver) {
    passedOver = 0;
    UniqueSnapshot snapshot = TakeProcessSnapshot();
    if (!snapshot) return false;
    const bool anyExcluded = !excluded.Names().empty();
    probes::ProcessEntry32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = probes::Process32FirstSafe(snapshot.get(), &entry); more;
         more = probes::Process32NextSafe(snapshot.get(), &entry)) {
        // The name is converted only when there is a list to match it with.
        if (anyExcluded && excluded.Excludes(probes::ProcessExeName(entry))) {
            ++passedOver;
            continue;
        }
        TrimProcess(entry.th32ProcessID);
    }
    return true;
}

}  // namespace freeing
