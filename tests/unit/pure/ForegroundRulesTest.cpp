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
