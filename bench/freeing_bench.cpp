// Deep Clean's fill rate against a bare commit-and-touch loop of the same
// size, and Smart Clean's duration against its ten 100 ms pauses, measured in
// the same run. Each figure is the median of several runs. Then Deep Clean's
// reach: how many MB this build takes when the memory readings ask for 6 GB.
// Those blocks are views of one shared 1 MB section, so that the fill uses
// this process's address space as real blocks would, but only 1 MB of memory
// (the machines this runs on have no swap); the run is bounded either way.
//
//   source scripts/wine-env.sh; wine_session_start "$PWD/build/win/benchprefix"
//   timeout 300 scripts/wine-run build/win/freeing_bench.exe; wine_session_stop
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <vector>

#include "freeing/DeepClean.h"
#include "freeing/SmartClean.h"
#include "freeing/WindowCleanProgress.h"
#include "freeing/WorkingSets.h"
#include "localisation/Language.h"
#include "probes/MemoryEx.h"
#include "widgets/Application.h"
#include "platform/DynCalls.h"
#include "platform/Seam.h"

namespace {

constexpr int kRuns = 7;
constexpr std::int64_t kMegabyte = 1048576;
constexpr int kBlocks = 256;

// Readings that give Deep Clean a target of exactly kBlocks blocks.
BOOL WINAPI FixedStatus(LPMEMORYSTATUSEX status) {
    status->ullTotalPhys = kBlocks * kMegabyte;
    status->ullAvailPhys = kBlocks * kMegabyte;
    return TRUE;
}
void WINAPI NoPause(DWORD) {}

// Readings whose Deep Clean target is 6 GB (6,144 blocks).
constexpr std::int64_t kReachTargetMb = 6144;
BOOL WINAPI SixGigabyteStatus(LPMEMORYSTATUSEX status) {
    status->ullTotalPhys = kReachTargetMb * kMegabyte;
    status->ullAvailPhys = kReachTargetMb * kMegabyte;
    return TRUE;
}
// Blocks that take address space but share their memory.
HANDLE gSection = nullptr;
std::int64_t gViews = 0;
void* SharedViewAllocate(std::size_t bytes) {
    void* view = ::MapViewOfFile(gSection, FILE_MAP_WRITE, 0, 0, bytes);
    if (view) ++gViews;
    return view;
}
void SharedViewRelease(void* block) { ::UnmapViewOfFile(block); }

double Seconds(const std::function<void()>& work) {
    LARGE_INTEGER frequency, start, end;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    work();
    ::QueryPerformanceCounter(&end);
    return static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Times each piece of work kRuns times, taking turns so that neither gains
// from running later (warm pages, a settled system), after one warm-up round.
std::vector<double> Medians(const std::vector<std::function<void()>>& works) {
    for (const auto& work : works) work();
    std::vector<std::vector<double>> times(works.size());
    for (int run = 0; run < kRuns; ++run)
        for (std::size_t i = 0; i < works.size(); ++i) times[i].push_back(Seconds(works[i]));
    std::vector<double> medians;
    for (auto& t : times) medians.push_back(Median(t));
    return medians;
}

// The fill without the program around it: commit, touch one byte per page,
// then release everything.
void BareFill() {
    std::vector<void*> blocks;
    for (int i = 0; i < kBlocks; ++i) {
        void* block = ::VirtualAlloc(nullptr, kMegabyte, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        if (!block) break;
        volatile char* bytes = static_cast<volatile char*>(block);
        for (std::int64_t offset = 0; offset < kMegabyte; offset += 4096) bytes[offset] = 'a';
        blocks.push_back(block);
    }
    for (void* block : blocks) ::VirtualFree(block, 0, MEM_RELEASE);
}

// A hidden window with the controls a clean shows its progress and report on.
struct BenchWindow {
    static widgets::FormOptions Options() {
        widgets::FormOptions o;
        o.caption = L"freeing bench";
        o.clientWidth = 320;
        o.clientHeight = 300;
        return o;
    }
    static widgets::CreateArgs Hidden(const wchar_t* name, widgets::Bounds bounds) {
        return {.name = name, .bounds = bounds, .visible = false};
    }
    widgets::TTntForm form{L"BenchForm", "TBenchForm", Options()};
    widgets::TTntProgressBar& progress =
        *form.Add<widgets::TTntProgressBar>(Hidden(L"ProgressBar_clean_progress", {80, 280, 230, 16}));
    widgets::TTntLabel& progressLabel =
        *form.Add<widgets::TTntLabel>(Hidden(L"Label_clean_progress", {8, 282, 60, 13}));
    widgets::TTntButton& go = *form.Add<widgets::TTntButton>(
        widgets::CreateArgs{.name = L"Button_go", .bounds = {8, 220, 75, 25}, .caption = L"Go!"});
    widgets::TTntButton& settings = *form.Add<widgets::TTntButton>(
        widgets::CreateArgs{.name = L"Button_setting", .bounds = {90, 220, 75, 25}, .caption = L"Settings"});
    widgets::TTntLabel& numberBefore =
        *form.Add<widgets::TTntLabel>(Hidden(L"Label_free_number_before", {8, 250, 3, 13}));
    widgets::TTntLabel& number =
        *form.Add<widgets::TTntLabel>(Hidden(L"Label_free_number", {11, 250, 0, 13}));
    widgets::TTntLabel& released =
        *form.Add<widgets::TTntLabel>(Hidden(L"Label_Memory_Released", {40, 250, 250, 13}));
    localisation::TLanguage language;
    freeing::AutoFreePacer pacer;
    freeing::WindowCleanProgress shown{{form, progress, progressLabel, go, settings, numberBefore, number, released},
                                       language};
    void DeepClean() { (void)freeing::RunDeepClean(shown); }
    void SmartClean() {
        (void)freeing::RunSmartClean(shown, [this] { return freeing::FreeWorkingSets(pacer, 0); });
    }
};

}  // namespace

int main() {
    widgets::Application.Initialize();
    BenchWindow w;
    platform::ScopedSeam fixed(platform::DynCalls().GlobalMemoryStatusEx, &FixedStatus);
    const double mb = static_cast<double>(kBlocks);

    std::printf("freeing_bench: %d runs each, medians\n\n", kRuns);
    std::printf("Deep Clean, %d MB (1 MB blocks, one touch per 4096-byte page):\n", kBlocks);
    const auto deep = Medians({
        BareFill,
        [&] { w.DeepClean(); },
        [&] {
            platform::ScopedSeam<freeing::SleepFn> noPause(freeing::DeepCleanSleepCall, &NoPause);
            w.DeepClean();
        },
        [] {
            for (int i = 0; i < kBlocks / 50; ++i) ::Sleep(50);
        },
    });
    const double bare = deep[0], shipped = deep[1], unpaused = deep[2], pauses = deep[3];
    std::printf("  bare VirtualAlloc + touch + release loop : %8.1f ms  %8.0f MB/s\n", bare * 1e3, mb / bare);
    std::printf("  whole Deep Clean tick (5 x 50 ms pauses) : %8.1f ms  %8.0f MB/s  x%.2f of bare\n",
                shipped * 1e3, mb / shipped, shipped / bare);
    std::printf("  same without the pauses (pump per block) : %8.1f ms  %8.0f MB/s  x%.2f of bare\n",
                unpaused * 1e3, mb / unpaused, unpaused / bare);
    std::printf("  five Sleep(50) alone                     : %8.1f ms\n\n", pauses * 1e3);

    std::printf("Smart Clean (ten passes):\n");
    const auto smartTimes = Medians({
        [] {
            for (int i = 0; i < 10; ++i) ::Sleep(100);
        },
        [&] { w.SmartClean(); },
        [&] {
            platform::ScopedSeam<freeing::SleepFn> noPause(freeing::SmartCleanSleepCall, &NoPause);
            w.SmartClean();
        },
    });
    const double sleeps = smartTimes[0], smart = smartTimes[1], passes = smartTimes[2];
    std::printf("  ten Sleep(100) alone                     : %8.1f ms\n", sleeps * 1e3);
    std::printf("  whole Smart Clean                        : %8.1f ms  x%.3f of the sleeps\n", smart * 1e3,
                smart / sleeps);
    std::printf("  same without the sleeps (10 trims+pumps) : %8.1f ms  (%.2f ms per pass)\n", passes * 1e3,
                passes * 1e3 / 10);

    std::printf("\nDeep Clean reach, %d-bit build, readings asking for %lld MB:\n", sizeof(void*) == 8 ? 64 : 32,
                static_cast<long long>(kReachTargetMb));
    gSection = ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                    static_cast<DWORD>(kMegabyte), nullptr);
    if (!gSection) {
        std::printf("  no shared section (error %lu): not measured\n", ::GetLastError());
    } else {
        platform::ScopedSeam sixGigabytes(platform::DynCalls().GlobalMemoryStatusEx, &SixGigabyteStatus);
        platform::ScopedSeam<freeing::BlockAllocateFn> allocate(freeing::BlockAllocateCall, &SharedViewAllocate);
        platform::ScopedSeam<freeing::BlockReleaseFn> release(freeing::BlockReleaseCall, &SharedViewRelease);
        platform::ScopedSeam<freeing::SleepFn> noPause(freeing::DeepCleanSleepCall, &NoPause);
        const std::int64_t leftMb = freeing::AddressSpaceLeft() / kMegabyte;
        gViews = 0;
        const double seconds = Seconds([&] { w.DeepClean(); });
        ::CloseHandle(gSection);
        std::printf("  address space usable for blocks at the start: %lld MB\n", static_cast<long long>(leftMb));
        std::printf("  blocks taken                                 : %lld MB of the %lld MB target (%.0f %%), %.1f s\n",
                    static_cast<long long>(gViews), static_cast<long long>(kReachTargetMb),
                    100.0 * static_cast<double>(gViews) / static_cast<double>(kReachTargetMb), seconds);
    }
    return 0;
}
