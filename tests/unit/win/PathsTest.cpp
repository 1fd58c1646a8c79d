#include <gtest/gtest.h>

#include "SettingsTestSupport.h"
#include "platform/Paths.h"

using namespace widgets;
using namespace platform;
using testsupport::kForeignName;
using testsupport::ScratchFolder;

TEST(Paths, ModulePathIsTheRunningExecutableUnlessATestSetsIt) {
    const std::wstring real = platform::ModulePath();
    ASSERT_GT(real.size(), 4u);
    EXPECT_EQ(L".exe", real.substr(real.size() - 4));
    EXPECT_TRUE(platform::FileExists(real));

    platform::SetModulePathForTest(L"C:\\" + kForeignName + L"\\brimvale.exe");
    EXPECT_EQ(L"C:\\" + kForeignName + L"\\brimvale.exe", platform::ModulePath());
    platform::SetModulePathForTest(L"");
    EXPECT_EQ(real, platform::ModulePath());
}

TEST(Paths, ExtractFilePathKeepsTheFolderWithItsTrailingDelimiter) {
    EXPECT_EQ(L"C:\\Program Files\\Brimvale\\", platform::ExtractFilePath(L"C:\\Program Files\\Brimvale\\brimvale.exe"));
    EXPECT_EQ(L"C:\\", platform::ExtractFilePath(L"C:\\brimvale.exe"));
    EXPECT_EQ(L"C:", platform::ExtractFilePath(L"C:brimvale.exe"));
    EXPECT_EQ(L"C:\\a\\", platform::ExtractFilePath(L"C:\\a\\"));
    EXPECT_EQ(L"", platform::ExtractFilePath(L"brimvale.exe"));
    EXPECT_EQ(L"\\\\server\\share\\", platform::ExtractFilePath(L"\\\\server\\share\\x.exe"));
}

TEST(Paths, ExistenceTestsTellFilesFromFoldersOnWidePaths) {
    ScratchFolder scratch(kForeignName);
    const std::wstring folder = scratch / kForeignName;
    const std::wstring file = scratch / (kForeignName + L".txt");

    EXPECT_FALSE(platform::DirectoryExists(folder));
    EXPECT_TRUE(platform::CreateDir(folder));
    EXPECT_TRUE(platform::DirectoryExists(folder));
    EXPECT_FALSE(platform::FileExists(folder));
    EXPECT_FALSE(platform::CreateDir(folder));  // already there

    testsupport::WriteBytes(file, "x");
    EXPECT_TRUE(platform::FileExists(file));
    EXPECT_FALSE(platform::DirectoryExists(file));

    // One level per call: a missing parent is not created.
    EXPECT_FALSE(platform::CreateDir(scratch / L"missing\\child"));
    EXPECT_FALSE(platform::DirectoryExists(scratch / L"missing"));
}
