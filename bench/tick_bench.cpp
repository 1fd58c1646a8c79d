// The monitor tick against the bare probe calls it makes, in the same run:
// GetSystemTimes and GlobalMemoryStatusEx (each looked up once, as the
// program's table does) and GetSystemInfo. Rounds alternate so that drift on a shared
// machine hits both sides alike. Prints medians (ms per call) and ratios:
// the whole tick, the tick with the tray call answered in-process (what the
// program itself spends, without the tray's own work), and the same two with
// a language file present; then where the time goes.
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>

#include "BenchUtil.h"
#include "app/MainForm.h"
#include "app/Program.h"
#include "localisation/Language.h"
#include "monitor/CpuGraph.h"
#include "monitor/CpuHistory.h"
#include "monitor/TrayPicture.h"
#include "probes/MemoryEx.h"
#include "probes/CpuUsage.h"
#include "widgets/Application.h"
#include "platform/Paths.h"
#include "platform/Seam.h"
#include "widgets/TrayIcon.h"

namespace {

using SystemTimesFn = BOOL(WINAPI*)(LPFILETIME, LPFILETIME, LPFILETIME);
using StatusFn = BOOL(WINAPI*)(LPMEMORYSTATUSEX);

void BareProbes() {
    static auto times = reinterpret_cast<SystemTimesFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "GetSystemTimes")));
    FILETIME idle, kernel, user;
    times(&idle, &kernel, &user);
    static auto status = reinterpret_cast<StatusFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32"), "GlobalMemoryStatusEx")));
    MEMORYSTATUSEX ms{};
    ms.dwLength = sizeof ms;
    status(&ms);
    SYSTEM_INFO si{};
    ::GetSystemInfo(&si);
}

// The tray call answered at once, as if the tray took the icon in no time.
BOOL WINAPI InstantTray(DWORD, PNOTIFYICONDATAW) { return TRUE; }

constexpr int kRounds = 15, kCalls = 100;

struct Series {
    const char* name;
    std::function<void()> body;
    std::vector<double> ms;
};

// Runs every series once per round, in turn, and returns their medians.
void Alternate(std::vector<Series>& series) {
    for (int r = 0; r < kRounds; ++r)
        for (Series& s : series) s.ms.push_back(bench::TimePerCall(kCalls, s.body));
}

void Part(const char* name, const std::function<void()>& body) {
    std::vector<double> v;
    for (int r = 0; r < kRounds; ++r) v.push_back(bench::TimePerCall(kCalls, body));
    std::printf("  part %-46s %.4f ms\n", name, bench::Median(v));
}

// A scratch program folder holding language\English.lng with the tick's keys.
std::wstring MakeLanguageFolder() {
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"brimvale-tick-bench\\";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    ::CreateDirectoryW((folder + L"language").c_str(), nullptr);
    const std::wstring file = folder + L"language\\English.lng";
    ::DeleteFileW(file.c_str());
    platform::SetModulePathForTest(folder + L"brimvale.exe");
    localisation::TLanguage language;
    language.Translate(L"M", L"RamFree", L"RAM free");  // creates the file, UTF-16
    ::WritePrivateProfileStringW(L"Brimvale_MainForm", L"Caption", L"Brimvale", file.c_str());
    ::WritePrivateProfileStringW(L"M_Brimvale", L"RamFree", L"RAM free", file.c_str());
    ::WritePrivateProfileStringW(L"M_Brimvale", L"CpuFree", L"CPU free", file.c_str());
    return folder;
}

}  // namespace

int main() {
    widgets::Application.Initialize();
    // One main window for every series, so that they differ only in what
    // they measure (two windows tick at different speeds for reasons of
    // their own, by a fifth and more): for the series with a language file, its
    // language object is swapped for one made next to a language file.
    app::Program program;
    app::TMainForm form(program);  // the exe's folder has no language folder
    const std::wstring folder = MakeLanguageFolder();
    localisation::TLanguage withFile;  // language\English.lng next to the "exe"
    const bool languageOk = withFile.LanguageName() == L"English";
    platform::SetModulePathForTest(L"");
    // A language object looks its texts up next to the executable it was made for.
    auto withLanguageFile = [&](const std::function<void()>& body) {
        platform::SetModulePathForTest(folder + L"brimvale.exe");
        std::swap(form.Language(), withFile);
        body();
        std::swap(form.Language(), withFile);
        platform::SetModulePathForTest(L"");
    };

    auto stubbed = [&form] {
        const platform::ScopedSeam instant(widgets::ShellNotifyIcon, &InstantTray);
        form.Timer_cpuTimer();
    };
    std::vector<Series> series = {
        {"bare probes", BareProbes, {}},
        {"monitor tick", [&] { form.Timer_cpuTimer(); }, {}},
        {"monitor tick, tray call answered in-process", stubbed, {}},
        {"monitor tick with a language file", [&] { withLanguageFile([&] { form.Timer_cpuTimer(); }); }, {}},
        {"  the same, tray call answered in-process", [&] { withLanguageFile(stubbed); }, {}},
        // The tick's three look-ups alone, in the same alternation: the file
        // check costs more here than in a loop of its own (the parts below).
        {"  of which the three look-ups (one file check)",
         [&] {
             withLanguageFile([&] {
                 const localisation::TLanguage::Batch oneLook(form.Language());
                 form.Language().Translate(L"MainForm", L"Caption", L"Brimvale");
                 form.Language().Translate(L"M", L"RamFree", L"RAM free");
                 form.Language().Translate(L"M", L"CpuFree", L"CPU free");
             });
         },
         {}},
    };
    Alternate(series);
    const double bare = bench::Median(series[0].ms);
    std::printf("tick_bench: %d alternating rounds of %d calls (medians, ms per call)\n", kRounds, kCalls);
    for (const Series& s : series) {
        const double m = bench::Median(s.ms);
        std::printf("  %-46s %.4f ms", s.name, m);
        if (&s != &series[0]) std::printf("   ratio to bare probes %.1f", bare > 0 ? m / bare : 0.0);
        std::printf("\n");
    }
    if (!languageOk) std::printf("  (the language file could not be set up: the last two lack it)\n");
    // What a language file adds to the tick, against the same tick without one.
    const double plainTick = bench::Median(series[1].ms), plainOwn = bench::Median(series[2].ms);
    std::printf("  with a language file / without: whole tick %.3f, tray call answered in-process %.3f\n",
                plainTick > 0 ? bench::Median(series[3].ms) / plainTick : 0.0,
                plainOwn > 0 ? bench::Median(series[4].ms) / plainOwn : 0.0);

    // Where the tick's time goes (medians of the same kind of rounds).
    Part("probes as the tick calls them", [] {
        probes::GetCpuUsage();
        probes::TMemory memory;
        memory.Refresh();
    });
    widgets::TBitmap& graph = form.Image_cpu->Picture();
    monitor::MonitorState& state = program.Monitor();
    for (int j = 0; j < monitor::kCpuHistorySize; ++j) monitor::ShiftCpuHistory(state.cpuHistory, (j * 37) % 101);
    Part("graph grid",
         [&] { monitor::DrawGraphGrid(graph.Canvas(), graph.Width(), graph.Height(), state.gridPhase); });
    Part("graph trace (varied history)",
         [&] { monitor::DrawGraphTrace(graph.Canvas(), graph.Height(), state.cpuHistory); });
    int flip = 0;
    Part("4 labels, 2 changed, 4 bars, 1 changed", [&] {
        ++flip;
        form.Label_cpu_usage->SetCaption(flip % 2 ? L"12%" : L"13%");
        form.Label_avail_phys->SetCaption(flip % 2 ? L"594 of 981MB" : L"595 of 981MB");
        form.Label_avail_pagefile->SetCaption(L"1594 of 2981MB");
        form.Label_avail_virtual->SetCaption(L"1900 of 2047MB");
        form.ProgressBar_cpu_usage->SetPosition(flip % 2 ? 12 : 13);
        form.ProgressBar_avail_phys->SetPosition(60);
        form.ProgressBar_avail_pagefile->SetPosition(53);
        form.ProgressBar_avail_virtual->SetPosition(92);
    });
    Part("three Translate lookups, no language folder", [&] {
        for (int i = 0; i < 3; ++i) form.Language().Translate(L"M", L"RamFree", L"RAM free");
    });
    platform::SetModulePathForTest(folder + L"brimvale.exe");
    Part("three Translate lookups, language file", [&] {
        for (int i = 0; i < 3; ++i) withFile.Translate(L"M", L"RamFree", L"RAM free");
    });
    Part("the tick's three lookups (one file check), language file", [&] {
        const localisation::TLanguage::Batch oneLook(withFile);
        withFile.Translate(L"MainForm", L"Caption", L"Brimvale");
        withFile.Translate(L"M", L"RamFree", L"RAM free");
        withFile.Translate(L"M", L"CpuFree", L"CPU free");
    });
    {
        const localisation::TLanguage::Batch held(withFile);
        Part("the same, the file checked already (kept texts)", [&] {
            withFile.Translate(L"MainForm", L"Caption", L"Brimvale");
            withFile.Translate(L"M", L"RamFree", L"RAM free");
            withFile.Translate(L"M", L"CpuFree", L"CPU free");
        });
    }
    // The file check's two halves: an open for reading and its close (which
    // tells a file another program holds unreadable), and the attribute query
    // (size and last-write time).
    const std::wstring languageFile = folder + L"language\\English.lng";
    Part("language file: open for reading and close", [&] {
        const HANDLE file = ::CreateFileW(languageFile.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
    });
    Part("language file: attribute query", [&] {
        WIN32_FILE_ATTRIBUTE_DATA data;
        (void)::GetFileAttributesExW(languageFile.c_str(), GetFileExInfoStandard, &data);
    });
    platform::SetModulePathForTest(L"");
    widgets::TBitmap& picture = form.Image_text_icon->Picture();
    Part("tray picture", [&] { monitor::DrawTrayImage(picture, 60, 594); });
    monitor::TrayIconMaker maker;
    Part("make icon (kept surfaces, as the tick)", [&] { maker.Make(picture); });
    Part("make icon (fresh surfaces each time)", [&] { monitor::MakeTrayIcon(picture); });
    {
        widgets::TBitmap color(32, 32);
        static const unsigned char zeros[128] = {};
        platform::UniqueBitmap mask(::CreateBitmap(32, 32, 1, 1, zeros));
        Part("  of which CreateIconIndirect + DestroyIcon", [&] {
            ICONINFO info{};
            info.fIcon = TRUE;
            info.hbmMask = mask.get();
            info.hbmColor = color.Deselect();
            platform::UniqueIcon icon(::CreateIconIndirect(&info));
            color.Reselect();
        });
    }
    Part("tray update with its new icon (NIM_MODIFY)", [&] { form.TextTrayIcon->Update(L"x", maker.Make(picture)); });
    return 0;
}
