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
    EXPECT_TRUE(std::regex_match(program.ControlText(app::idLabel_avail_virtual), figure));

    EXPECT_TRUE(program.ExitThroughTray());
    EXPECT_EQ(0u, program.ExitCode());
}
