#include <gtest/gtest.h>

#include <cstring>
#include <regex>
#include <thread>

#include "MainFormSupport.h"
#include "app/MainForm.h"
#include "monitor/CpuHistory.h"
#include "monitor/MonitorRules.h"
#include "monitor/TrayPicture.h"
#include "probes/MemoryEx.h"
#include "probes/CpuUsage.h"
#include "widgets/Application.h"
#include "platform/DynCalls.h"
#include "platform/Seam.h"

using app::TMainForm;
using namespace widgets;
using namespace platform;

namespace {

std::unique_ptr<TMainForm> NewMainForm(const std::wstring& commandLine = L"brimvale.exe") {
    Application.SetCommandLineForTest(commandLine);
    Application.SetShowMainFormOnRun(true);
    probes::ResetCpuUsageForTest();
    return std::make_unique<testsupport::OwnMainForm>();
}

std::int64_t TotalPhysMb() {
    MEMORYSTATUSEX ms{};
    ms.dwLength = sizeof(ms);
    ::GlobalMemoryStatusEx(&ms);
    return static_cast<std::int64_t>(ms.ullTotalPhys / (1024 * 1024));
}

RECT ClientRectOf(const TControl& control) {
    RECT r{};
    ::GetWindowRect(control.Handle(), &r);
    ::MapWindowPoints(nullptr, ::GetParent(control.Handle()), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

}  // namespace

TEST(MainForm, FirstTickFillsEveryFigure) {
    auto form = NewMainForm();
    EXPECT_EQ(L"0%", form->Label_cpu_usage->Caption());
    EXPECT_EQ(0, form->TheProgram().Monitor().cpuHistory[monitor::kNewestSample]);
    const std::wregex figure(L"-?\\d+(\\D\\d)? of \\d+(\\D\\d)?[MG]B");  // gigabytes from 10,000 MB
    std::wsmatch m;
    const std::wstring phys = form->Label_avail_phys->Caption();
    ASSERT_TRUE(std::regex_match(phys, m, figure)) << std::string(phys.begin(), phys.end());
    EXPECT_EQ(TotalPhysMb() < 10000 ? L'M' : L'G', phys[phys.size() - 2]);  // the total's value: e2e LiveMonitor
    const std::wstring pagefile = form->Label_avail_pagefile->Caption();
    EXPECT_TRUE(std::regex_match(pagefile, figure)) << std::string(pagefile.begin(), pagefile.end());
    // A 64-bit process's address space is counted in terabytes.
    const std::wregex addressSpace(sizeof(void*) == 8 ? L"\\d+ of \\d+TB" : L"\\d+ of \\d+MB");
    const std::wstring virt = form->Label_avail_virtual->Caption();
    EXPECT_TRUE(std::regex_match(virt, addressSpace)) << std::string(virt.begin(), virt.end());
    const std::wregex hint(L"Brimvale: \\d+% RAM free \\(\\d+MB\\)  100% CPU free");
    const std::wstring tip = form->TextTrayIcon->Hint();
    EXPECT_TRUE(std::regex_match(tip, hint)) << std::string(tip.begin(), tip.end());
    EXPECT_NE(nullptr, form->TextTrayIcon->Icon());
}

namespace {
std::int64_t injectedTotalMb = 0;  // every figure reads 1 MB less free than this total
BOOL WINAPI InjectedStatus(LPMEMORYSTATUSEX status) {
    status->ullTotalPhys = status->ullTotalPageFile = status->ullTotalVirtual = static_cast<DWORDLONG>(injectedTotalMb) << 20;
    status->ullAvailPhys = status->ullAvailPageFile = status->ullAvailVirtual = status->ullTotalPhys - (1 << 20);
    return TRUE;
}
int taskbarIconSize = 20;
int TaskbarIconSize() { return taskbarIconSize; }
}  // namespace

// Each figure, measured in its label's own font, ends 4 pixels or more right
// of its bar; the tray icon has the taskbar's size from the start, and again
// when the scale may have changed.
TEST(MainForm, FiguresKeepClearOfTheirBarsAndTheTrayIconTakesTheTaskbarsSize) {
    platform::ScopedSeam status(platform::DynCalls().GlobalMemoryStatusEx, &InjectedStatus);
    platform::ScopedSeam<int (*)()> query(monitor::TrayIconSizeQuery, &TaskbarIconSize);
    auto form = NewMainForm();
    for (const std::int64_t total : {9999, 10000, 65536, 4194304}) {
        injectedTotalMb = total;
        form->Timer_cpuTimer();
        for (const auto& [label, bar] : {std::pair{form->Label_avail_phys, form->ProgressBar_avail_phys},
                                         {form->Label_avail_pagefile, form->ProgressBar_avail_pagefile},
                                         {form->Label_avail_virtual, form->ProgressBar_avail_virtual}}) {
            const std::wstring text = label->Caption();
            WindowDc dc(label->Handle());
            const auto font = platform::SelectInScope(dc.get(), reinterpret_cast<HGDIOBJ>(::SendMessageW(label->Handle(), WM_GETFONT, 0, 0)));
            SIZE extent{};
            ::GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent);
            EXPECT_GE(ClientRectOf(*label).right - extent.cx - ClientRectOf(*bar).right, 4)
                << std::string(text.begin(), text.end());
        }
    }
    const auto iconWidth = [&] {
        ICONINFO info{};
        ::GetIconInfo(form->TextTrayIcon->Icon(), &info);
        platform::UniqueBitmap color(info.hbmColor), mask(info.hbmMask);
        BITMAP bm{};
        return ::GetObjectW(color.get(), sizeof bm, &bm) ? bm.bmWidth : 0;
    };
    EXPECT_EQ(20, iconWidth());
    for (const auto& [message, size] : {std::pair<UINT, int>{WM_SETTINGCHANGE, 16}, {WM_DISPLAYCHANGE, 24},
                                        {::RegisterWindowMessageW(L"TaskbarCreated"), 32}, {WM_SETTINGCHANGE, 0}}) {
        taskbarIconSize = size;  // 0: nothing could be read, the smallest picture
        ::SendMessageW(form->TextTrayIcon->Window(), message, 0, 0);
        EXPECT_EQ(size ? size : 16, iconWidth()) << message;
    }
}

TEST(MainForm, RunsTwentyPixelsShorterWithBottomControlsMovedUp) {
    auto form = NewMainForm();
    EXPECT_EQ(363 - 20, form->ClientHeight());
    EXPECT_EQ(274, ClientRectOf(*form->Button_go).top);
    EXPECT_EQ(274, ClientRectOf(*form->Button_minimize).top);
    EXPECT_EQ(304, ClientRectOf(*form->Label_Memory_Released).top);
    EXPECT_EQ(176, ClientRectOf(*form->Label_cpu).top);  // not anchored: stays
    EXPECT_EQ(465, ClientRectOf(*form->Label_cpu_usage).right);
    EXPECT_EQ(467, ClientRectOf(*form->Label_avail_phys).right);
    // The status labels sit in the status bar.
    EXPECT_EQ(form->StatusBar_smart_auto->Handle(), ::GetParent(form->Label_status_Smart->Handle()));
    EXPECT_EQ(25, ClientRectOf(*form->Label_status_Smart).left);
    EXPECT_EQ(269, ClientRectOf(*form->Label_Status_Auto).left);
    EXPECT_EQ(5, ClientRectOf(*form->Label_Status_Auto).top);
    EXPECT_EQ(L"Cpu Usage", form->Image_cpu->Hint());
}

TEST(MainForm, EachTickReplacesTheTrayIconWithoutAccumulating) {
    auto form = NewMainForm();
    const int icons = platform::UniqueIcon::liveCount();
    const int gdi = platform::LiveGdiObjects();
    HICON previous = form->TextTrayIcon->Icon();
    for (int i = 0; i < 1000; ++i) {
        form->Timer_cpuTimer();
        HICON current = form->TextTrayIcon->Icon();
        ASSERT_NE(previous, current) << "tick " << i;
        ASSERT_TRUE(form->TextTrayIcon->IconVisible());
        previous = current;
    }
    EXPECT_EQ(icons, platform::UniqueIcon::liveCount());
    EXPECT_EQ(gdi, platform::LiveGdiObjects());
}

namespace {
int fakeSeconds = 0;
// Counters: 2 processors, idle grows by 1.5 s per 1 s elapsed -> 25 % busy.
LONG WINAPI FakeQuery(ULONG cls, PVOID buffer, ULONG length, PULONG) {
    auto* bytes = static_cast<unsigned char*>(buffer);
    std::memset(buffer, 0, length);
    if (cls == 0) bytes[24 + 4 * sizeof(void*)] = 2;  // after Reserved1[24] and four pointers
    if (cls == 3) *reinterpret_cast<std::int64_t*>(bytes + 8) = 1000000000LL + fakeSeconds * 10000000LL;
    if (cls == 2) *reinterpret_cast<std::int64_t*>(bytes) = 5000000000LL + fakeSeconds * 15000000LL;
    return 0;
}
}  // namespace

TEST(MainForm, TickShiftsHistoryAndShowsTheNewestSample) {
    auto form = NewMainForm();
    {
        // The tick shows what the sampler gives, here from the idle-time query.
        platform::ScopedSeam noTimes(platform::DynCalls().GetSystemTimes, nullptr);
        platform::ScopedSeam query(platform::DynCalls().NtQuerySystemInformation, &FakeQuery);
        probes::ResetCpuUsageForTest();
        form->Timer_cpuTimer();  // baseline
        ++fakeSeconds;
        form->Timer_cpuTimer();
    }
    EXPECT_EQ(25, form->TheProgram().Monitor().cpuHistory[monitor::kNewestSample]);
    EXPECT_EQ(0, form->TheProgram().Monitor().cpuHistory[monitor::kNewestSample - 1]);
    EXPECT_EQ(L"25%", form->Label_cpu_usage->Caption());
    const std::wstring tip = form->TextTrayIcon->Hint();
    EXPECT_NE(std::wstring::npos, tip.find(L"MB)  75% CPU free")) << std::string(tip.begin(), tip.end());
}

TEST(MainForm, SlashMAloneStartsInTheTray) {
    const std::pair<std::wstring, bool> cases[] = {
        {L"b.exe /m", false}, {L"b.exe /M", true}, {L"b.exe -m", true},
        {L"b.exe /m x", true}, {L"b.exe", true},
    };
    for (const auto& [line, shows] : cases) {
        Application.SetShowMainFormOnRun(true);
        Application.SetCommandLineForTest(line);
        probes::ResetCpuUsageForTest();
        testsupport::OwnMainForm form;
        EXPECT_EQ(shows, Application.ShowMainFormOnRun()) << std::string(line.begin(), line.end());
    }
    Application.SetShowMainFormOnRun(true);
}

TEST(MainForm, WindowFrameTabOrderAndTheGoButtonsLook) {
    auto form = NewMainForm();
    const LONG style = ::GetWindowLongW(form->Handle(), GWL_STYLE);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_EQ(482, form->ClientWidth());
    // Centred on the work area.
    RECT area{}, frame{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    ::GetWindowRect(form->Handle(), &frame);
    EXPECT_NEAR((area.left + area.right) / 2, (frame.left + frame.right) / 2, 1);
    EXPECT_NEAR((area.top + area.bottom) / 2, (frame.top + frame.bottom) / 2, 1);  // at its shown size
    // Tab order: Go!, Settings, Minimize, and round again.
    HWND go = form->Button_go->Handle();
    HWND next = ::GetNextDlgTabItem(form->Handle(), go, FALSE);
    EXPECT_EQ(form->Button_setting->Handle(), next);
    next = ::GetNextDlgTabItem(form->Handle(), next, FALSE);
    EXPECT_EQ(form->Button_minimize->Handle(), next);
    EXPECT_EQ(go, ::GetNextDlgTabItem(form->Handle(), next, FALSE));
    // Go! is drawn by the program in bold navy Arial 9 pt.
    EXPECT_EQ(BS_OWNERDRAW, ::GetWindowLongW(go, GWL_STYLE) & BS_TYPEMASK);
    EXPECT_EQ(L"Arial", form->Button_go->Font().name);
    EXPECT_EQ(-12, form->Button_go->Font().height);
    EXPECT_TRUE(form->Button_go->Font().bold);
    EXPECT_EQ(clNavy, form->Button_go->Font().color);
    EXPECT_EQ(L"Arial", form->Label_Introduction->Font().name);
    EXPECT_TRUE(form->Label_free_number->Font().bold);
}

TEST(MainForm, GoMenuPopsUpJustBelowTheButtonWhereverTheWindowIs) {
    auto form = NewMainForm();
    form->Show();
    for (const POINT at : {POINT{100, 100}, POINT{140, 60}}) {
        ::SetWindowPos(form->Handle(), nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        RECT menuRect{};
        // The menu's modal loop runs on this thread: a helper thread finds
        // the menu window, notes where it is and closes it.
        std::thread closer([&] {
            for (int i = 0; i < 200; ++i) {
                HWND menu = ::FindWindowW(L"#32768", nullptr);
                if (menu && ::IsWindowVisible(menu)) {
                    ::GetWindowRect(menu, &menuRect);
                    ::PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
                    ::PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
                    return;
                }
                ::Sleep(10);
            }
        });
        form->Button_goClick();
        closer.join();
        EXPECT_EQ(at.x + 19, menuRect.left);
        EXPECT_EQ(at.y + 329, menuRect.top);
    }
    form->Hide();
}

TEST(MainForm, AShrinkingFigureLeavesNoOldTextOnScreen) {
    auto form = NewMainForm();
    form->Timer_cpu->SetEnabled(false);
    form->Show();
    ::SetWindowPos(form->Handle(), HWND_TOPMOST, 50, 50, 0, 0, SWP_NOSIZE);
    TTntLabel& label = *form->Label_cpu_usage;
    auto settle = [&] {
        ::UpdateWindow(form->Handle());
        Application.ProcessMessages();
        ::Sleep(100);
        Application.ProcessMessages();
    };
    label.SetCaption(L"123456789%");
    settle();
    const int wideLeft = label.Left();
    label.SetCaption(L"0%");
    settle();
    ASSERT_GT(label.Left(), wideLeft + 20);
    // Every screen pixel where the long text stood, left of the short one,
    // is the window's background again.
    POINT origin{0, 0};
    ::ClientToScreen(form->Handle(), &origin);
    HDC screen = ::GetDC(nullptr);
    const COLORREF background = ::GetSysColor(COLOR_BTNFACE);
    int stale = 0;
    for (int x = wideLeft; x < label.Left() - 1; ++x)
        for (int y = label.Top(); y < label.Top() + label.Height(); ++y)
            stale += ::GetPixel(screen, origin.x + x, origin.y + y) != background;
    ::ReleaseDC(nullptr, screen);
    EXPECT_EQ(0, stale);
    form->Hide();
}

namespace {
std::int64_t pageFileFreeMb = 1000;  // of a 1,000 MB commit limit; physical memory half free
BOOL WINAPI PageFileStatus(LPMEMORYSTATUSEX m) {
    m->ullTotalPhys = m->ullTotalVirtual = m->ullTotalPageFile = 1000ull << 20;
    m->ullAvailPhys = m->ullAvailVirtual = 500ull << 20;
    m->ullAvailPageFile = static_cast<DWORDLONG>(pageFileFreeMb) << 20;
    return TRUE;
}
std::vector<std::wstring> warningBalloons;  // texts of the balloons with the warning icon
BOOL WINAPI BalloonShell(DWORD message, PNOTIFYICONDATAW data) {
    if (message == NIM_MODIFY && (data->uFlags & NIF_INFO) && (data->dwInfoFlags & NIIF_ICON_MASK) == NIIF_WARNING &&
        std::wstring(data->szInfoTitle) == L"Brimvale: memory is running low")
        warningBalloons.push_back(data->szInfo);
    return TRUE;
}
}  // namespace

// The commit charge (the page file's total less its free figure) at or
// above 90 % gives one warning balloon, once the tray holds the icon, and
// the tooltip leads with a line of its own while it stays there; only after
// falling below 85 % does a second crossing warn again.
TEST(MainForm, ACommitCrossingWarnsOnceAndAgainOnlyAfterFallingBack) {
    platform::ScopedSeam status(platform::DynCalls().GlobalMemoryStatusEx, &PageFileStatus);
    platform::ScopedSeam<decltype(ShellNotifyIcon)> shell(ShellNotifyIcon, &BalloonShell);
    warningBalloons.clear();
    pageFileFreeMb = 50;
    auto form = NewMainForm();  // its first tick comes before the tray icon: the warning waits for it
    EXPECT_TRUE(warningBalloons.empty());
    const struct {
        std::int64_t freeMb;
        const wchar_t* newBalloon;  // how a balloon of this tick begins
        bool leadLine;
    } ticks[] = {{50, L"950 of 1000MB committed (95 %).", true}, {500, nullptr, false},
                 {100, L"900 of 1000MB committed (90 %).", true}, {50, nullptr, true}, {96, nullptr, true},
                 {140, nullptr, false}, {100, nullptr, true}, {160, nullptr, false},
                 {80, L"920 of 1000MB committed (92 %).", true}, {0, nullptr, true}};
    for (const auto& tick : ticks) {
        warningBalloons.clear();
        pageFileFreeMb = tick.freeMb;
        form->Timer_cpuTimer();
        ASSERT_EQ(tick.newBalloon ? 1u : 0u, warningBalloons.size()) << tick.freeMb;
        if (tick.newBalloon) {
            EXPECT_EQ(0u, warningBalloons[0].find(tick.newBalloon));
        }
        const std::wstring hint = form->TextTrayIcon->Hint();
        EXPECT_EQ(tick.leadLine, hint.rfind(L"Low on memory: ", 0) == 0) << tick.freeMb;
        EXPECT_LT(hint.size(), monitor::kTrayHintCapacity);
    }
    EXPECT_EQ(0u, form->TextTrayIcon->Hint().find(L"Low on memory: 100 % committed\nBrimvale: 50% RAM free"));
}
