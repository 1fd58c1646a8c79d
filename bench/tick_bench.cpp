// The monitor tick against the bare probe calls it makes, in the same run:
// three NtQuerySystemInformation queries, the GlobalMemoryStatusEx lookup and
// call, and GetSystemInfo. Rounds alternate so that drift on a shared
// machine hits both sides alike. Prints medians (ms per call) and the ratio.
#include <windows.h>

#include <cstdio>
#include <functional>

#include "BenchUtil.h"
#include "app/MainForm.h"
#include "localisation/Language.h"
#include "monitor/CpuGraph.h"
#include "monitor/TrayPicture.h"
#include "widgets/Application.h"

namespace {

using NtQueryFn = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
using StatusFn = BOOL(WINAPI*)(LPMEMORYSTATUSEX);

void BareProbes() {
    static auto query = reinterpret_cast<NtQueryFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    unsigned char basic[44], timeOfDay[32], performance[312];
    query(0, basic, sizeof basic, nullptr);
    query(3, timeOfDay, sizeof timeOfDay, nullptr);
    query(2, performance, sizeof performance, nullptr);
    auto status = reinterpret_cast<StatusFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32"), "GlobalMemoryStatusEx")));
    MEMORYSTATUSEX ms{};
    ms.dwLength = sizeof ms;
    status(&ms);
    SYSTEM_INFO si{};
    ::GetSystemInfo(&si);
}

}  // namespace

int main() {
    widgets::Application.Initialize();
    app::TMainForm form;
    const int rounds = 15, calls = 100;
    std::vector<double> tick, bare;
    for (int r = 0; r < rounds; ++r) {
        bare.push_back(bench::TimePerCall(calls, BareProbes));
        tick.push_back(bench::TimePerCall(calls, [&] { form.Timer_cpuTimer(); }));
    }
    const double mt = bench::Median(tick), mb = bench::Median(bare);
    std::printf("tick_bench: %d alternating rounds of %d calls\n", rounds, calls);
    std::printf("  bare probes   median %.4f ms per call\n", mb);
    std::printf("  monitor tick  median %.4f ms per call\n", mt);
    std::printf("  ratio tick / bare probes: %.1f\n", mb > 0 ? mt / mb : 0.0);

    // Where the tick's time goes (medians of the same kind of rounds).
    auto part = [&](const char* name, const std::function<void()>& body) {
        std::vector<double> v;
        for (int r = 0; r < rounds; ++r) v.push_back(bench::TimePerCall(calls, body));
        std::printf("  part %-28s %.4f ms\n", name, bench::Median(v));
    };
    widgets::TBitmap& graph = form.Image_cpu->Picture();
    part("graph grid + trace", [&] {
        monitor::DrawGraphGrid(graph.Canvas(), graph.Width(), graph.Height());
        monitor::DrawGraphTrace(graph.Canvas(), graph.Height());
    });
    part("three Translate lookups", [&] {
        for (int i = 0; i < 3; ++i) form.Language().Translate(L"M", L"RamFree", L"RAM free");
    });
    part("label captions (6 set)", [&] {
        form.Label_cpu_usage->SetCaption(L"1%");
        form.Label_cpu_usage->SetCaption(L"2%");
    });
    widgets::TBitmap& picture = form.Image_text_icon->Picture();
    part("tray picture", [&] { monitor::DrawTrayImage(picture, 60, 594); });
    part("make icon", [&] { monitor::MakeTrayIcon(picture); });
    part("tray update", [&] { form.TextTrayIcon->Update(L"x", monitor::MakeTrayIcon(picture)); });
    return 0;
}
