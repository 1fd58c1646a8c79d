#include <gtest/gtest.h>

#include "app/ForegroundRules.h"

using app::ChooseForegroundMethod;
using app::ForegroundMethod;
using app::PlatformVersion;
using app::ShouldAttachThreadInput;

namespace {
constexpr int NT = app::kPlatformWindowsNT;
constexpr int W9x = app::kPlatformWindows9x;
}  // namespace

TEST(ChooseForegroundMethod, NtFromVersionFiveOnBorrowsTheForegroundThreadsInput) {
    for (const PlatformVersion v : {PlatformVersion{NT, 5, 0}, PlatformVersion{NT, 5, 1},
                                    PlatformVersion{NT, 5, 2}, PlatformVersion{NT, 6, 1},
                                    PlatformVersion{NT, 10, 0}})
        EXPECT_EQ(ForegroundMethod::ThreadInput, ChooseForegroundMethod(v)) << v.major << "." << v.minor;
}

TEST(ChooseForegroundMethod, NtFourAndEarlierBringToTopWhateverTheMinorVersion) {
    for (const PlatformVersion v : {PlatformVersion{NT, 4, 0}, PlatformVersion{NT, 4, 10},
                                    PlatformVersion{NT, 4, 90}, PlatformVersion{NT, 3, 51}})
        EXPECT_EQ(ForegroundMethod::BringToTop, ChooseForegroundMethod(v)) << v.major << "." << v.minor;
}

TEST(ChooseForegroundMethod, NineXFamilyFromWindows98On) {
    EXPECT_EQ(ForegroundMethod::BringToTop, ChooseForegroundMethod({W9x, 4, 0}));  // Windows 95
    EXPECT_EQ(ForegroundMethod::ThreadInput, ChooseForegroundMethod({W9x, 4, 10}));  // 98
    EXPECT_EQ(ForegroundMethod::ThreadInput, ChooseForegroundMethod({W9x, 4, 90}));  // Me
    EXPECT_EQ(ForegroundMethod::ThreadInput, ChooseForegroundMethod({W9x, 5, 0}));
    EXPECT_EQ(ForegroundMethod::ThreadInput, ChooseForegroundMethod({W9x, 4, 1}));
    EXPECT_EQ(ForegroundMethod::BringToTop, ChooseForegroundMethod({W9x, 3, 95}));
}

TEST(ChooseForegroundMethod, UnknownPlatformsBringToTopEvenWithHighVersions) {
    EXPECT_EQ(ForegroundMethod::BringToTop, ChooseForegroundMethod({0, 6, 1}));  // Win32s
    EXPECT_EQ(ForegroundMethod::BringToTop, ChooseForegroundMethod({3, 5, 0}));  // CE
    EXPECT_EQ(ForegroundMethod::BringToTop, ChooseForegroundMethod({-1, 10, 0}));
    EXPECT_EQ(ForegroundMethod::BringToTop, ChooseForegroundMethod(PlatformVersion{}));
}

TEST(ShouldAttachThreadInput, OnlyBetweenTwoKnownDifferentThreads) {
    EXPECT_TRUE(ShouldAttachThreadInput(0x10, 0x20));
    EXPECT_TRUE(ShouldAttachThreadInput(0xFFFFFFFFul, 1));
    EXPECT_FALSE(ShouldAttachThreadInput(0x20, 0x20));  // the window's own thread is in front
    EXPECT_FALSE(ShouldAttachThreadInput(0, 0x20));     // no foreground window
    EXPECT_FALSE(ShouldAttachThreadInput(0x10, 0));     // no such window
    EXPECT_FALSE(ShouldAttachThreadInput(0, 0));
}

// A normal start creates the mutex; a clean only opens it.
TEST(DecideStart, EachHandleAndErrorGivesItsOutcome) {
    using app::StartDecision;
    using Clean = app::CleanStartDecision;
    constexpr auto Ask = Clean::AskRunningCopy, Here = Clean::CleanHere;
    const struct {
        bool gotHandle;
        unsigned long error;
        StartDecision expected;
        Clean clean;
    } cases[] = {
        {true, 0, StartDecision::RunAsFirstCopy, Ask},
        {true, app::kErrorAlreadyExists, StartDecision::SignalAndHalt, Ask},
        {true, app::kErrorAccessDenied, StartDecision::RunAsFirstCopy, Ask},  // only "exists" counts with a handle
        {false, app::kErrorAccessDenied, StartDecision::SignalAndHalt, Ask},  // held by an elevated copy
        {false, app::kErrorInvalidHandle, StartDecision::RunWithoutGuard, Here},  // an event of the same name
        {false, app::kErrorAlreadyExists, StartDecision::RunWithoutGuard, Here},
        {false, 0, StartDecision::RunWithoutGuard, Here},
        {false, 1450, StartDecision::RunWithoutGuard, Here},  // out of resources
        {false, 2, StartDecision::RunWithoutGuard, Here},     // no such mutex: nobody runs
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, app::DecideStart(c.gotHandle, c.error)) << c.gotHandle << " " << c.error;
        EXPECT_EQ(c.clean, app::DecideCleanStart(c.gotHandle, c.error)) << c.gotHandle << " " << c.error;
    }
}

TEST(IsRepeatedRequest, RepeatsWithinHalfASecondOfTheLastOneAcrossTheWrap) {
    const struct {
        unsigned long now, last;
        bool hadOne, repeated;
    } cases[] = {
        {1000, 1000, false, false},  // the first one ever
        {0, 0, false, false},
        {1000, 1000, true, true},
        {1499, 1000, true, true},
        {1500, 1000, true, false},
        {90000, 1000, true, false},
        {100, 0xFFFFFF00ul, true, true},   // 356 ms across the wrap
        {300, 0xFFFFFF00ul, true, false},  // 556 ms across the wrap
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.repeated, app::IsRepeatedRequest(c.now, c.last, c.hadOne)) << c.now << " " << c.last;
}
