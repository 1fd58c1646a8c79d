#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

#include "Driver.h"
#include "app/MainFormIds.h"
#include "settings/OptionFormIds.h"

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
    // Whole megabytes below 10,000 MB; from there gigabytes with one decimal.
    const std::wregex figure(L"\\d+(\\D\\d)? of (\\d+)(\\D(\\d))?([MG])B");
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
    if (m[5] == L"M") {
        EXPECT_EQ(totalMb, std::stoll(m[2].str()));
    } else {
        EXPECT_EQ(totalMb / 1024, std::stoll(m[2].str()));
        EXPECT_EQ(totalMb % 1024 * 10 / 1024, std::stoll(m[4].str()));
    }
    EXPECT_TRUE(std::regex_match(program.ControlText(app::idLabel_avail_pagefile), figure));
    // The driver is built for the program's architecture: a 64-bit program
    // counts its address space in terabytes.
    const std::wregex addressSpace(sizeof(void*) == 8 ? L"\\d+ of \\d+TB" : L"\\d+ of \\d+MB");
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

// The tray picture on the screen: its bounds are those of its white
// background; the bar starts at the first row holding the bar's colours.
// Counts the black above the bar, in all and in the picture's last column.
struct TrayColumns {
    int width = 0, textInk = 0, lastColumnInk = 0;
};

TrayColumns TrayPictureColumns(HWND wnd) {
    RECT r{};
    ::GetWindowRect(wnd, &r);
    HDC screen = ::GetDC(nullptr);
    int left = r.right, right = r.left - 1, top = r.bottom, barTop = r.bottom;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            const COLORREF c = ::GetPixel(screen, x, y);
            if (c == RGB(255, 255, 255)) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
            }
            if ((c == RGB(0, 255, 0) || c == RGB(255, 0, 0)) && y < barTop) barTop = y;
        }
    TrayColumns columns;
    if (right >= left) {
        columns.width = right - left + 1;
        // The frame's top line lies one row above the first bar pixel, and
        // the icon's thickening darkens the row above that one too.
        for (int y = top; y < barTop - 2; ++y)
            for (int x = left; x <= right; ++x) {
                if (::GetPixel(screen, x, y) != RGB(0, 0, 0)) continue;
                ++columns.textInk;
                if (x == right) ++columns.lastColumnInk;
            }
    }
    ::ReleaseDC(nullptr, screen);
    return columns;
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

    // With 10,000 MB free or more the picture shows whole gigabytes ("23G"):
    // its ink stays clear of the picture's last column above the bar.
    MEMORYSTATUSEX ms{};
    ms.dwLength = sizeof ms;
    ::GlobalMemoryStatusEx(&ms);
    if (ms.ullAvailPhys / 1048576 >= 10000) {
        const TrayColumns columns = TrayPictureColumns(tray);
        ASSERT_GT(columns.width, 0) << "no picture found in the tray";
        EXPECT_GT(columns.textInk, 20) << "the gigabytes are not drawn";
        EXPECT_EQ(0, columns.lastColumnInk) << "the text runs into the last column";
    }
    EXPECT_TRUE(program.ExitThroughTray());
}

// What the window shows fits where it is shown: every memory figure keeps
// four pixels clear of its bar (the labels size themselves to their text, in
// their own font), and the introduction, wrapped in its label's font, is no
// taller than the label.
TEST_F(LiveMonitor, FiguresAndTheIntroductionFitTheirPlaces) {
    Program program;
    HWND main = program.MainWindow();
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(main) != FALSE; }));
    auto rectOf = [&](int id) {
        RECT r{};
        ::GetWindowRect(program.Control(id), &r);
        return r;
    };
    const std::pair<int, int> figures[] = {{app::idLabel_avail_phys, app::idProgressBar_avail_phys},
                                           {app::idLabel_avail_pagefile, app::idProgressBar_avail_pagefile},
                                           {app::idLabel_avail_virtual, app::idProgressBar_avail_virtual}};
    for (const auto& [label, bar] : figures)
        EXPECT_GE(rectOf(label).left - rectOf(bar).right, 4) << Narrow(program.ControlText(label));

    // Another process's font handle is of no use here: the same font is made again.
    LOGFONTW font{};
    font.lfHeight = app::kIntroductionFontHeight;
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(font.lfFaceName, app::kIntroductionFontName, LF_FACESIZE);
    HFONT mine = ::CreateFontIndirectW(&font);
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, mine);
    wchar_t face[LF_FACESIZE] = {};
    ::GetTextFaceW(dc, LF_FACESIZE, face);
    const std::wstring text = program.ControlText(app::idLabel_Introduction);
    const RECT label = rectOf(app::idLabel_Introduction);
    RECT wrapped{0, 0, label.right - label.left, 0};
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &wrapped, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    ::DeleteObject(mine);
    EXPECT_LE(wrapped.bottom, label.bottom - label.top) << "drawn in " << Narrow(face);
    EXPECT_TRUE(program.ExitThroughTray());
}

namespace {

// The prefix's display scale as Wine reads it: LogPixels under
// HKCU\Control Panel\Desktop, 96 when there is none.
int PrefixLogPixels() {
    DWORD dpi = 0, size = sizeof dpi;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, KEY_READ, &key) != ERROR_SUCCESS) return 96;
    const bool read = ::RegQueryValueExW(key, L"LogPixels", nullptr, nullptr, reinterpret_cast<BYTE*>(&dpi), &size) ==
                      ERROR_SUCCESS;
    ::RegCloseKey(key);
    return read && dpi > 0 ? static_cast<int>(dpi) : 96;
}

}  // namespace

// The tray shows the picture drawn for the taskbar's small-icon size at the
// prefix's display scale (scripts/e2e-tray-scales.sh runs this group at 96,
// 120, 144 and 192): in the middle of the tray's cell, the figure's ink in
// its upper rows and the bar in its lower ones. Wine's shell gets an
// icon whose width is not a multiple of 16 garbled below its first rows
// (Shell_NotifyIcon counts the mask's bytes without their row padding), so
// only at 16 and 32 pixels is the whole picture there, pixel for pixel: the
// bar filled, framed on the left and closed below, lines that a picture
// resampled from another size loses.
TEST(TaskbarScale, TheTrayPictureIsDrawnForTheTaskbarsSize) {
    ResetUserState();
    const int size = ::MulDiv(16, PrefixLogPixels(), 96);
    Program program(L"/m");
    HWND tray = program.TrayIcon();
    ASSERT_NE(nullptr, tray);
    RECT cell{};
    ::GetClientRect(tray, &cell);
    ASSERT_EQ(size + 4, cell.right) << "the shell did not start at this scale";
    // The shell draws the icon in the middle of its cell, inside a 2-pixel border.
    POINT origin{2, 2};
    ::ClientToScreen(tray, &origin);
    const auto frame = [](COLORREF c) { return c == RGB(0, 0, 0) || c == RGB(255, 0, 0); };
    const auto fill = [](COLORREF c) { return c == RGB(0, 255, 0) || c == RGB(255, 0, 0); };
    const bool intact = size % 16 == 0;
    int ink = 0, fillPixels = 0, bottomFrame = 0;
    bool leftFrame = false, filled = false;
    const auto look = [&] {
        HDC screen = ::GetDC(nullptr);
        const auto at = [&](int x, int y) { return ::GetPixel(screen, origin.x + x, origin.y + y); };
        ink = fillPixels = bottomFrame = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) (y < size / 2 ? ink : fillPixels) += y < size / 2 ? at(x, y) == RGB(0, 0, 0) : fill(at(x, y));
        for (int x = 1; x < size; ++x) bottomFrame += frame(at(x, size - 1));
        // The row above the frame's bottom line darkens with it (thickening).
        leftFrame = frame(at(1, size - 3));
        filled = fill(at(2, size - 3));
        ::ReleaseDC(nullptr, screen);
        return ink > size / 2 && (!intact || (fillPixels > size && bottomFrame == size - 1 && leftFrame && filled));
    };
    EXPECT_TRUE(WaitFor(look, std::chrono::seconds(5)))
        << "at " << size << " px: ink " << ink << ", fill " << fillPixels << ", bottom frame " << bottomFrame
        << " of " << size - 1 << (leftFrame ? "" : ", no left frame") << (filled ? "" : ", no fill at its start");
    EXPECT_TRUE(program.ExitThroughTray());
}
