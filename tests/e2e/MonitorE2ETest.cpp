#include <gtest/gtest.h>

#include <regex>

#include "Driver.h"
#include "app/ControlIds.h"

using namespace e2e;

namespace {

std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

}  // namespace

class LiveMonitor : public ::testing::Test {
protected:
    void SetUp() override { ResetUserState(); }
};

TEST_F(LiveMonitor, ShowsTheFiguresWithinThreeSecondsAndExitsFromTheTray) {
    Program program;
    ASSERT_TRUE(program.Running());
    HWND main = program.MainWindow();
    ASSERT_NE(nullptr, main);
    EXPECT_EQ(L"Brimvale", program.Text(main));
    EXPECT_TRUE(WaitFor([&] { return ::IsWindowVisible(main) != FALSE; }, std::chrono::seconds(3)));

    const std::wregex percent(L"-?\\d+%");
    const std::wregex figure(L"(\\d+) of (\\d+)MB");
    EXPECT_TRUE(WaitFor(
        [&] { return std::regex_match(program.ControlText(app::idLabel_cpu_usage), percent); },
        std::chrono::seconds(3)))
        << Narrow(program.ControlText(app::idLabel_cpu_usage));
    MEMORYSTATUSEX ms{};
    ms.dwLength = sizeof(ms);
    ::GlobalMemoryStatusEx(&ms);
    const long long totalMb = static_cast<long long>(ms.ullTotalPhys / (1024 * 1024));
    std::wsmatch m;
    const std::wstring phys = program.ControlText(app::idLabel_avail_phys);
    ASSERT_TRUE(std::regex_match(phys, m, figure)) << Narrow(phys);
    EXPECT_EQ(totalMb, std::stoll(m[2].str()));
    EXPECT_TRUE(std::regex_match(program.ControlText(app::idLabel_avail_pagefile), figure));
    // The driver is built for the program's architecture: a 64-bit program
    // counts its address space in terabytes.
    const std::wregex addressSpace(sizeof(void*) == 8 ? L"\\d+ of \\d+TB" : L"(\\d+) of (\\d+)MB");
    EXPECT_TRUE(std::regex_match(program.ControlText(app::idLabel_avail_virtual), addressSpace))
        << Narrow(program.ControlText(app::idLabel_avail_virtual));

    EXPECT_TRUE(program.ExitThroughTray());
    EXPECT_EQ(0u, program.ExitCode());
}

namespace {

// Screen pixels of a window, counted by colour.
struct Ink {
    int black = 0, green = 0, lime = 0, white = 0, red = 0, total = 0;
};

Ink ScreenInk(HWND wnd) {
    RECT r{};
    ::GetWindowRect(wnd, &r);
    Ink ink;
    HDC screen = ::GetDC(nullptr);
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            const COLORREF c = ::GetPixel(screen, x, y);
            ++ink.total;
            ink.black += c == RGB(0, 0, 0);
            ink.green += c == RGB(0, 128, 0);
            ink.lime += c == RGB(0, 255, 0);
            ink.white += c == RGB(255, 255, 255);
            ink.red += c == RGB(255, 0, 0);
        }
    ::ReleaseDC(nullptr, screen);
    return ink;
}

}  // namespace

TEST_F(LiveMonitor, GraphScrollsAndTheTrayIconShowsTheFreeMemoryPicture) {
    Program program;
    HWND main = program.MainWindow();
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(main) != FALSE; }));
    ::SetWindowPos(main, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    HWND graph = program.Control(app::idImage_cpu);
    ASSERT_NE(nullptr, graph);
    // Black background, a green grid and the lime usage line.
    Ink ink;
    ASSERT_TRUE(WaitFor([&] {
        ink = ScreenInk(graph);
        return ink.lime > 100 && ink.green > 1000 && ink.black > ink.total / 2;
    }, std::chrono::seconds(5)))
        << "black " << ink.black << " green " << ink.green << " lime " << ink.lime << " of " << ink.total;

    // The tray shows a white square with the number in black and a bar in
    // lime (or red when memory is low).
    HWND tray = program.TrayIcon();
    ASSERT_NE(nullptr, tray);
    Ink icon;
    EXPECT_TRUE(WaitFor([&] {
        icon = ScreenInk(tray);
        return icon.white > 0 && icon.black > 0 && icon.lime + icon.red > 0;
    }, std::chrono::seconds(5)))
        << "white " << icon.white << " black " << icon.black << " lime " << icon.lime << " red " << icon.red;
    EXPECT_TRUE(program.ExitThroughTray());
}
