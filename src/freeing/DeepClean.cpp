#include "freeing/DeepClean.h"

#include <memory>
#include <new>

#include "freeing/FreeingRules.h"
#include "widgets/Application.h"
#include "platform/Trace.h"

namespace freeing {

namespace {

constexpr std::size_t kBlockBytes = static_cast<std::size_t>(kMegabyte);
constexpr std::size_t kPageBytes = 4096;
constexpr DWORD kPauseMs = 50;

void* SystemAllocate(std::size_t bytes) {
    return ::VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}
void SystemRelease(void* block) { (void)::VirtualFree(block, 0, MEM_RELEASE); }

}  // namespace

BlockAllocateFn BlockAllocateCall = &SystemAllocate;
BlockReleaseFn BlockReleaseCall = &SystemRelease;
AddressSpaceLeftFn AddressSpaceLeftCall = &AddressSpaceLeft;
SleepFn DeepCleanSleepCall = &::Sleep;

namespace {

// The blocks of one run. The table lives on the heap (a run nested in
// another's pump must not stack a second 64 KB table on the first) and is
// taken without throwing: when even that fails, the run has no slot and
// fills nothing. Whatever it still holds is released when it goes.
class BlockTable {
public:
    BlockTable() : slots_(new (std::nothrow) void* [kBlockTableSlots]()) {}
    ~BlockTable() { ReleaseAll(); }
    BlockTable(const BlockTable&) = delete;
    BlockTable& operator=(const BlockTable&) = delete;

    std::int32_t Capacity() const { return slots_ ? kBlockTableSlots : 0; }
    void*& operator[](std::int32_t i) { return slots_[i]; }

    // Every non-null slot, in slot order, without pausing or pumping.
    void ReleaseAll() {
        for (std::int32_t i = 0; i < Capacity(); ++i) {
            if (slots_[i]) {
                BlockReleaseCall(slots_[i]);
                slots_[i] = nullptr;
            }
        }
    }

private:
    std::unique_ptr<void*[]> slots_;
};

// One write into each 4096-byte page, so that every page of the block must
// be backed by physical memory.
void TouchPages(void* block) {
    volatile char* bytes = static_cast<volatile char*>(block);
    for (std::size_t offset = 0; offset < kBlockBytes; offset += kPageBytes) bytes[offset] = 'a';
}

// Takes up to n blocks into the table, moving the progress bar and pumping
// the queue after each. Ends at the first failed allocation, before a block
// that would eat into the address-space reserve (`left` bytes usable at the
// start; what this run takes is counted off it), and after the pump in which
// the program began to end (Exit, a close request, the session's end).
// Returns how many blocks it took.
std::int32_t Fill(BlockTable& table, std::int32_t n, std::int64_t left, CleanProgress& progress) {
    if (n > table.Capacity()) n = table.Capacity();
    std::int64_t taken = 0;
    for (std::int32_t i = 0; i < n; ++i) {
        if (!LeavesAddressSpaceReserve(left - taken, kMegabyte)) return i;
        void* block = BlockAllocateCall(kBlockBytes);
        if (!block) return i;
        table[i] = block;
        taken += kMegabyte;
        TouchPages(block);
        progress.Step(i);
        widgets::Application.ProcessMessages();
        if (widgets::Application.Terminated()) return i + 1;
        if (DeepCleanPausesAfter(i)) DeepCleanSleepCall(kPauseMs);
    }
    return n > 0 ? n : 0;
}

}  // namespace

CleanOutcome RunDeepClean(CleanProgress& progress) {
    if (widgets::Application.Terminated()) return {};  // a tick delivered while the program ends
    CleanScope run(progress);  // before the first pump: a run started there nests in this one
    widgets::Application.ProcessMessages();
    if (widgets::Application.Terminated()) return {};  // the scope abandons the progress as it goes
    const PhysicalReading first = ReadPhysicalMemory();
    const std::int32_t n = DeepCleanTarget(first.total, first.free);
    const std::int64_t before = first.free;

    // Measured once, before the bar gets its range: when the reserve will
    // stop the fill early, the bar's end is the last block the fill can
    // take. A nested run measures again and so sees the outer run's blocks.
    const std::int64_t left = n > 0 ? AddressSpaceLeftCall() : 0;
    progress.ShowProgress(DeepCleanProgressMax(DeepCleanReachableBlocks(n, left, kMegabyte)));
    BlockTable table;
    const std::int32_t taken = Fill(table, n, left, progress);
    table.ReleaseAll();
    // The program is ending: everything taken is given back; no reading, no
    // report, no further pump.
    if (widgets::Application.Terminated()) return {};

    const std::int64_t after = ReadPhysicalMemory().free;
    const std::int32_t released = ReleasedMegabytes(before, after);
    progress.Report(released);
    platform::Trace(CleanTraceText(L"Deep Clean", before, after));
    run.End();
    return CleanOutcome{first.total > 0, taken > 0, released, true};
}

std::int64_t AddressSpaceLeft() {
    SYSTEM_INFO info{};
    ::GetSystemInfo(&info);
    const auto lowest = reinterpret_cast<std::uintptr_t>(info.lpMinimumApplicationAddress);
    const auto highest = reinterpret_cast<std::uintptr_t>(info.lpMaximumApplicationAddress);
    std::int64_t usable = 0;
    std::uintptr_t address = lowest;
    MEMORY_BASIC_INFORMATION region{};
    while (address < highest && ::VirtualQuery(reinterpret_cast<const void*>(address), &region,
                                               sizeof region) == sizeof region) {
        const auto base = reinterpret_cast<std::uintptr_t>(region.BaseAddress);
        if (region.State == MEM_FREE) {
            usable += UsableBlockBytes(base, region.RegionSize, info.dwAllocationGranularity,
                                       kMegabyte);
        }
        const std::uintptr_t next = base + region.RegionSize;
        if (next <= address) break;  // no progress (or wrapped): stop
        address = next;
    }
    return usable;
}

}  // namespace freeing
