// Where Brimvale's start-up goes, step by step, against the steps of an
// empty window program in the same executable (so both have the same
// libraries loaded before their first step). The benchmark starts itself
// again, alternately as "brimvale" (the entry sequence: initialise the
// application, create the main window, create the settings dialog, show the
// main window) and as "empty" (register a class, create a window, show it);
// each child writes the time of each step, counted from its own process's
// creation, to a file the parent reads. A third kind, "floor", makes the
// same windows and controls as Brimvale with plain calls and shows the main
// one (bench/WindowsFloor.h), the least any start of Brimvale must do.
// Prints medians.
// Usage: startup_parts_bench [runs per kind, default 11]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchUtil.h"
#include "ProcessUtil.h"
#include "WindowsFloor.h"
#include "app/MainForm.h"
#include "app/Program.h"
#include "settings/OptionForm.h"
#include "widgets/Application.h"

namespace {

const wchar_t kScratch[] = L"C:\\brimvale-bench-parts";

// Milliseconds since this process was created.
double SinceCreation() {
    FILETIME created, exited, kernel, user, now;
    ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
    ::GetSystemTimeAsFileTime(&now);
    auto ms = [](const FILETIME& t) {
        return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) /
               10000.0;
    };
    return ms(now) - ms(created);
}

struct Steps {
    std::vector<std::pair<std::string, double>> at;
    void Mark(const char* name) { at.emplace_back(name, SinceCreation()); }
    void Write(const std::string& path) const {
        if (FILE* f = std::fopen(path.c_str(), "w")) {
            for (const auto& [name, ms] : at) std::fprintf(f, "%s\t%.3f\n", name.c_str(), ms);
            std::fclose(f);
        }
    }
};

LRESULT CALLBACK EmptyProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcW(wnd, msg, wParam, lParam);
}

int RunEmpty(const std::string& out) {
    Steps steps;
    steps.Mark("main entered");
    WNDCLASSW wc{};
    wc.lpfnWndProc = &EmptyProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = L"BrimvaleBenchPartsEmpty";
    ::RegisterClassW(&wc);
    HWND wnd = ::CreateWindowExW(0, wc.lpszClassName, L"Empty", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                 490, 380, nullptr, nullptr, wc.hInstance, nullptr);
    steps.Mark("window created");
    ::ShowWindow(wnd, SW_SHOW);
    steps.Mark("window shown");
    steps.Write(out);
    ::DestroyWindow(wnd);
    return 0;
}

int RunFloor(const std::string& out) {
    static Steps steps;
    bench::FloorMark = [](const char* n) { steps.Mark(n); };
    steps.Mark("main entered");
    HWND mainWindow = bench::CreateFloorWindows();
    steps.Mark("windows created");
    ::ShowWindow(mainWindow, SW_SHOW);
    steps.Mark("main window shown");
    steps.Write(out);
    ::DestroyWindow(mainWindow);
    return 0;
}

int RunBrimvale(const std::string& out) {
    using widgets::Application;
    Steps steps;
    steps.Mark("main entered");
    Application.SetCommandLineForTest(L"brimvale.exe");
    Application.Initialize();
    Application.SetTitle(L"Brimvale ");
    steps.Mark("application initialised");
    static app::Program program;
    app::TMainForm* mainForm = Application.CreateForm<app::TMainForm>(program);
    steps.Mark("main window created");
    Application.CreateForm<settings::TOptionForm>(program);
    steps.Mark("settings dialog created");
    mainForm->Show();  // as Run does first
    steps.Mark("main window shown");
    steps.Write(out);
    Application.DestroyForms();  // takes the tray icon away again
    return 0;
}

// Runs this benchmark again as a child of the given kind; returns the steps.
std::vector<std::pair<std::string, double>> RunChild(const std::wstring& kind, const std::string& out) {
    ::DeleteFileA(out.c_str());
    wchar_t self[MAX_PATH * 4];
    ::GetModuleFileNameW(nullptr, self, MAX_PATH * 4);
    {
        bench::Child child(self, kind + L" " + std::wstring(out.begin(), out.end()));
        if (child.Started()) ::WaitForSingleObject(child.Process(), 60000);
    }
    std::vector<std::pair<std::string, double>> steps;
    if (FILE* f = std::fopen(out.c_str(), "r")) {
        char name[128];
        double ms = 0;
        while (std::fscanf(f, "%127[^\t]\t%lf\n", name, &ms) == 2) steps.emplace_back(name, ms);
        std::fclose(f);
    }
    return steps;
}

void Report(const char* title, const std::vector<std::vector<std::pair<std::string, double>>>& runs) {
    std::printf("  %s (%zu runs), ms since the process was created, medians:\n", title, runs.size());
    if (runs.empty() || runs[0].empty()) return;
    for (std::size_t i = 0; i < runs[0].size(); ++i) {
        std::vector<double> at, step;
        for (const auto& r : runs) {
            if (i >= r.size()) continue;
            at.push_back(r[i].second);
            step.push_back(r[i].second - (i ? r[i - 1].second : 0.0));
        }
        std::printf("    %-28s at %7.1f   step %7.1f\n", runs[0][i].first.c_str(), bench::Median(at),
                    bench::Median(step));
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "empty") return RunEmpty(argv[2]);
    if (argc == 3 && std::string(argv[1]) == "brimvale") return RunBrimvale(argv[2]);
    if (argc == 3 && std::string(argv[1]) == "floor") return RunFloor(argv[2]);
    const int runs = argc > 1 ? std::atoi(argv[1]) : 11;

    bench::RemoveTree(kScratch);
    bench::CreateFolders(kScratch);
    bench::AppDataRedirect appData(std::wstring(kScratch) + L"\\appdata");
    const std::string out = "C:\\brimvale-bench-parts\\steps.txt";
    std::vector<std::vector<std::pair<std::string, double>>> empty, brimvale, floor;
    for (int r = 0; r < runs + 1; ++r) {  // the first round warms the caches and is not counted
        bench::RemoveTree(std::wstring(kScratch) + L"\\appdata");
        bench::CreateFolders(std::wstring(kScratch) + L"\\appdata");
        auto e = RunChild(L"empty", out);
        auto b = RunChild(L"brimvale", out);
        auto f = RunChild(L"floor", out);
        if (r == 0) continue;
        if (!e.empty()) empty.push_back(e);
        if (!b.empty()) brimvale.push_back(b);
        if (!f.empty()) floor.push_back(f);
    }
    std::printf("startup_parts_bench: this benchmark started again as each kind of program, alternately;\n"
                "both kinds have Brimvale's libraries loaded before main\n");
    Report("empty window", empty);
    Report("brimvale's entry sequence", brimvale);
    Report("brimvale's windows with plain calls (the floor)", floor);
    bench::RemoveTree(kScratch);
    return empty.empty() || brimvale.empty() || floor.empty() ? 1 : 0;
}
