// What a long run of ticks must leave where it found it: the live handles
// of every kind the program owns (counted by platform::UniqueHandle), the
// process's handle count as the system reports it, and its private memory.
// Used by the endurance test (a short run) and the endurance benchmark (a
// simulated day).
#pragma once
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/Handle.h"

namespace endurance {

struct ResourceCounts {
    int icons = 0;
    int gdiObjects = 0;      // bitmaps, fonts, pens, brushes, memory DCs
    int kernelHandles = 0;   // events, processes, ... (UniqueKernelHandle)
    int otherHandles = 0;    // files, searches, registry keys, menus
    long processHandles = -1;  // GetProcessHandleCount (-1 when it fails; 0 from Wine's stub)
    long systemListedHandles = -1;  // this process's entries in the system's handle list (-1: unavailable)
    double privateKb = 0;      // committed private memory (a VirtualQuery walk)
    double heapBusyKb = 0;     // blocks in use in all of the process's heaps (a HeapWalk)
    double privateUsageKb = -1;  // PROCESS_MEMORY_COUNTERS_EX::PrivateUsage (-1 when unavailable)
    double pagefileUsageKb = -1;  // ::PagefileUsage (-1 when unavailable)

    static ResourceCounts Take() {
        ResourceCounts c;
        c.icons = platform::UniqueIcon::liveCount();
        c.gdiObjects = platform::LiveGdiObjects();
        c.kernelHandles = platform::UniqueKernelHandle::liveCount();
        c.otherHandles = platform::UniqueFileHandle::liveCount() + platform::UniqueFindHandle::liveCount() +
                         platform::UniqueKey::liveCount() + platform::UniqueMenu::liveCount();
        DWORD handles = 0;
        if (::GetProcessHandleCount(::GetCurrentProcess(), &handles)) c.processHandles = static_cast<long>(handles);
        c.systemListedHandles = SystemListedHandles();
        c.privateKb = CommittedPrivateKb();
        c.heapBusyKb = HeapBusyKb();
        const PROCESS_MEMORY_COUNTERS_EX pmc = MemoryCounters();
        if (pmc.cb) {
            c.privateUsageKb = pmc.PrivateUsage / 1024.0;
            c.pagefileUsageKb = pmc.PagefileUsage / 1024.0;
        }
        return c;
    }

    // Committed pages of private memory (heaps, stacks, allocations) in this
    // process, walking its address space.
    static double CommittedPrivateKb() {
        double kb = 0;
        MEMORY_BASIC_INFORMATION info;
        for (std::uintptr_t address = 0;
             ::VirtualQuery(reinterpret_cast<void*>(address), &info, sizeof info) == sizeof info;) {
            if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE) kb += info.RegionSize / 1024.0;
            const std::uintptr_t next = reinterpret_cast<std::uintptr_t>(info.BaseAddress) + info.RegionSize;
            if (next <= address) break;
            address = next;
        }
        return kb;
    }

    // Bytes in blocks in use, over every heap of the process: what leaked
    // allocations add to, block by block, before the heap commits more.
    static double HeapBusyKb() {
        std::vector<HANDLE> heaps(64);
        DWORD count = ::GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
        if (count > heaps.size()) {
            heaps.resize(count);
            count = ::GetProcessHeaps(count, heaps.data());
        }
        double bytes = 0;
        for (DWORD i = 0; i < count && i < heaps.size(); ++i) {
            if (!::HeapLock(heaps[i])) continue;
            PROCESS_HEAP_ENTRY entry{};
            while (::HeapWalk(heaps[i], &entry))
                if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) bytes += entry.cbData;
            ::HeapUnlock(heaps[i]);
        }
        return bytes / 1024.0;
    }

    // How many open handles the system lists for this process
    // (NtQuerySystemInformation, class 16: every handle of every process).
    // Wine answers this one, while GetProcessHandleCount is a stub there.
    static long SystemListedHandles() {
        using QueryFn = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
        static const QueryFn query = reinterpret_cast<QueryFn>(reinterpret_cast<void (*)()>(
            ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
        if (!query) return -1;
        struct Entry {  // SYSTEM_HANDLE_ENTRY
            ULONG ownerPid;
            BYTE objectType, flags;
            USHORT handle;
            PVOID object;
            ULONG access;
        };
        constexpr LONG kLengthMismatch = static_cast<LONG>(0xC0000004);
        std::vector<std::uint8_t> buffer(64 * 1024);
        for (;;) {
            ULONG needed = 0;
            const LONG status = query(16, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
            if (status == kLengthMismatch && buffer.size() < (64u << 20)) {
                buffer.resize(std::max<std::size_t>(buffer.size() * 2, needed + 4096));
                continue;
            }
            if (status != 0) return -1;
            break;
        }
        ULONG count = 0;
        std::memcpy(&count, buffer.data(), sizeof count);
        const std::size_t fits = (buffer.size() - sizeof(ULONG)) / sizeof(Entry);
        const DWORD self = ::GetCurrentProcessId();
        long mine = 0;
        for (ULONG i = 0; i < count && i < fits; ++i) {
            Entry e;
            std::memcpy(&e, buffer.data() + sizeof(ULONG) + i * sizeof(Entry), sizeof e);
            mine += e.ownerPid == self;
        }
        return mine;
    }

    // The system's memory counters (looked up at run time: kernel32 on newer
    // systems, psapi.dll on older ones); cb is 0 when they are unavailable.
    static PROCESS_MEMORY_COUNTERS_EX MemoryCounters() {
        using Fn = BOOL(WINAPI*)(HANDLE, PPROCESS_MEMORY_COUNTERS, DWORD);
        static const Fn get = [] {
            FARPROC p = ::GetProcAddress(::GetModuleHandleW(L"kernel32"), "K32GetProcessMemoryInfo");
            if (!p) p = ::GetProcAddress(::LoadLibraryW(L"psapi.dll"), "GetProcessMemoryInfo");
            return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(p));
        }();
        PROCESS_MEMORY_COUNTERS_EX pmc{};
        pmc.cb = sizeof pmc;
        if (!get || !get(::GetCurrentProcess(), reinterpret_cast<PPROCESS_MEMORY_COUNTERS>(&pmc), sizeof pmc))
            pmc.cb = 0;
        return pmc;
    }

    std::string Describe() const {
        char text[320];
        std::snprintf(text, sizeof text,
                      "icons %d, GDI objects %d, kernel handles %d, other handles %d, process handles %ld (listed %ld), "
                      "committed private %.0f KB, heap blocks %.1f KB, PrivateUsage %.0f KB, PagefileUsage %.0f KB",
                      icons, gdiObjects, kernelHandles, otherHandles, processHandles, systemListedHandles, privateKb, heapBusyKb, privateUsageKb,
                      pagefileUsageKb);
        return text;
    }
};

}  // namespace endurance
