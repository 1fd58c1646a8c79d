#include <gtest/gtest.h>

#include "SettingsTestSupport.h"
#include "widgets/Paths.h"

using namespace widgets;
using testsupport::kForeignName;
using testsupport::ScratchFolder;

TEST(Paths, ModulePathIsTheRunningExecutableUnlessATestSetsIt) {
    const std::wstring real = ModulePath();
    ASSERT_GT(real.size(), 4u);
    EXPECT_EQ(L".exe", real.substr(real.size() - 4));
    EXPECT_TRUE(FileExists(real));

    SetModulePathForTest(L"C:\\" + kForeignName + L"\\brimvale.exe");
    EXPECT_EQ(L"C:\\" + kForeignName + L"\\brimvale.exe", ModulePath());
    SetModulePathForTest(L"");
    EXPECT_EQ(real, ModulePath());
}

TEST(Paths, ExtractFilePathKeepsTheFolderWithItsTrailingDelimiter) {
    EXPECT_EQ(L"C:\\Program Files\\Brimvale\\", ExtractFilePath(L"C:\\Program Files\\Brimvale\\brimvale.exe"));
    EXPECT_EQ(L"C:\\", ExtractFilePath(L"C:\\brimvale.exe"));
    EXPECT_EQ(L"C:", ExtractFilePath(L"C:brimvale.exe"));
    EXPECT_EQ(L"C:\\a\\", ExtractFilePath(L"C:\\a\\"));
    EXPECT_EQ(L"", ExtractFilePath(L"brimvale.exe"));
    EXPECT_EQ(L"\\\\server\\share\\", ExtractFilePath(L"\\\\server\\share\\x.exe"));
}

TEST(Paths, ExistenceTestsTellFilesFromFoldersOnWidePaths) {
    ScratchFolder scratch(kForeignName);
    const std::wstring folder = scratch / kForeignName;
    const std::wstring file = scratch / (kForeignName + L".txt");

    EXPECT_FALSE(DirectoryExists(folder));
    EXPECT_TRUE(CreateDir(folder));
    EXPECT_TRUE(DirectoryExists(folder));
    EXPECT_FALSE(FileExists(folder));
    EXPECT_FALSE(CreateDir(folder));  // already there

    testsupport::WriteBytes(file, "x");
    EXPECT_TRUE(FileExists(file));
    EXPECT_FALSE(DirectoryExists(file));

    // One level per call: a missing parent is not created.
    EXPECT_FALSE(CreateDir(scratch / L"missing\\child"));
    EXPECT_FALSE(DirectoryExists(scratch / L"missing"));
}
