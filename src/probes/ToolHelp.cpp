#include "probes/ToolHelp.h"

#include "platform/DynCalls.h"

namespace probes {

namespace {

bool ToolHelpAvailable() { return platform::DynCalls().CreateToolhelp32Snapshot != nullptr; }

}  // namespace

HANDLE CreateToolhelp32SnapshotSafe(DWORD flags, DWORD processId) {
    const auto snapshot = platform::DynCalls().CreateToolhelp32Snapshot;
    return snapshot ? snapshot(flags, processId) : nullptr;
}

BOOL Process32FirstSafe(HANDLE snapshot, ProcessEntry32* entry) {
    const auto first = platform::DynCalls().Process32FirstA;
    return ToolHelpAvailable() && first ? first(snapshot, entry) : FALSE;
}

BOOL Process32NextSafe(HANDLE snapshot, ProcessEntry32* entry) {
    const auto next = platform::DynCalls().Process32NextA;
    return ToolHelpAvailable() && next ? next(snapshot, entry) : FALSE;
}

}  // namespace probes
