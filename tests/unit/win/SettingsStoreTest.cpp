#include <gtest/gtest.h>

#include "SettingsTestSupport.h"
#include "settings/SettingsStore.h"
#include "widgets/Errors.h"
#include "platform/Paths.h"

using namespace settings;
using platform::GetAppDataFolder;
using platform::GetAppDataFolderOrReport;
using testsupport::CapturedReports;
using testsupport::Contains;
using testsupport::FileBytes;
using testsupport::SavedRegistryValue;
using testsupport::ScratchFolder;

namespace {

const char kFirstRunFile[] =
    "[Brimvale]\r\nstartwithwindows=0\r\nfreewhenleisure=0\r\npausewhenbusy=1\r\nsmartfree=0\r\n";

class SettingsStore : public ::testing::Test {
protected:
    void TearDown() override { ResetSettingsForTest(); }

    // First run in an app-data folder named label: both folders and the file
    // with the first-run values appear, and the settings read back from it.
    void ExpectFirstRun(const std::wstring& label) {
        ScratchFolder scratch(label);
        const std::wstring folder = scratch / label;
        ASSERT_TRUE(platform::CreateDir(folder));
        appData_.SetString(folder);
        const testsupport::RegistryValue runBefore = run_.Current();

        EXPECT_EQ(folder, GetAppDataFolder());
        OpenSettingsFile();

        EXPECT_EQ(folder + L"\\Palvo\\Brimvale\\Brimvale.ini", SettingsPath);
        EXPECT_TRUE(platform::DirectoryExists(folder + L"\\Palvo"));
        EXPECT_TRUE(platform::DirectoryExists(folder + L"\\Palvo\\Brimvale"));
        EXPECT_EQ(kFirstRunFile, FileBytes(SettingsPath));
        ASSERT_NE(nullptr, SettingsIni);
        EXPECT_EQ(SettingsPath, SettingsIni->FileName());
        // Each read is given the opposite of the stored value as its default.
        EXPECT_FALSE(SettingsIni->ReadBool(SettingsSection, KeyStartWithWindows, true));
        EXPECT_FALSE(SettingsIni->ReadBool(SettingsSection, KeyFreeWhenLeisure, true));
        EXPECT_TRUE(SettingsIni->ReadBool(SettingsSection, KeyPauseWhenBusy, false));
        EXPECT_FALSE(SettingsIni->ReadBool(SettingsSection, KeySmartFree, true));

        const testsupport::RegistryValue runAfter = run_.Current();
        EXPECT_EQ(runBefore.exists, runAfter.exists);
        EXPECT_EQ(runBefore.data, runAfter.data) << "opening the settings touched the autostart entry";
    }

    SavedRegistryValue appData_{ShellFoldersKey, AppDataValue};
    SavedRegistryValue run_{RunKey, AutostartValue};
};

}  // namespace

TEST_F(SettingsStore, FirstRunCreatesBothFoldersAndTheFileWithTheFirstRunValues) {
    ExpectFirstRun(L"appdata");
}

TEST_F(SettingsStore, AnAppDataFolderOutsideTheCodePageIsUsedAsItIs) {
    ExpectFirstRun(testsupport::kForeignName);
}

TEST_F(SettingsStore, AnExistingFileIsLeftAsItIsAndMissingKeysReadAsTheCallersDefault) {
    ScratchFolder scratch(L"existing");
    appData_.SetString(scratch.Path());
    ASSERT_TRUE(platform::CreateDir(scratch / L"Palvo"));
    ASSERT_TRUE(platform::CreateDir(scratch / L"Palvo\\Brimvale"));
    const std::string contents = "[Brimvale]\r\nsmartfree=1\r\nfreewhenleisure=yes\r\n";
    testsupport::WriteBytes(scratch / L"Palvo\\Brimvale\\Brimvale.ini", contents);

    OpenSettingsFile();
    EXPECT_EQ(contents, FileBytes(SettingsPath));
    // The dialog's two defaults for "startwithwindows" both show through.
    EXPECT_FALSE(SettingsIni->ReadBool(SettingsSection, KeyStartWithWindows, false));
    EXPECT_TRUE(SettingsIni->ReadBool(SettingsSection, KeyStartWithWindows, true));
    EXPECT_TRUE(SettingsIni->ReadBool(SettingsSection, KeySmartFree, false));
    EXPECT_FALSE(SettingsIni->ReadBool(SettingsSection, KeyFreeWhenLeisure, false));

    SettingsIni->WriteBool(SettingsSection, KeyStartWithWindows, true);
    EXPECT_TRUE(SettingsIni->ReadBool(SettingsSection, KeyStartWithWindows, false));
}

TEST_F(SettingsStore, TheProgramsFolderIsCreatedWhenOnlyTheMakersFolderExists) {
    ScratchFolder scratch(L"maker");
    appData_.SetString(scratch.Path());
    ASSERT_TRUE(platform::CreateDir(scratch / L"Palvo"));
    OpenSettingsFile();
    EXPECT_EQ(kFirstRunFile, FileBytes(scratch / L"Palvo\\Brimvale\\Brimvale.ini"));
}

// The registry gives no folder: the shell's application-data folder holds
// the settings, whatever the working folder.
TEST_F(SettingsStore, AnEmptyMissingOrNonStringAppDataValueTakesTheShellsFolder) {
    ScratchFolder scratch(L"shell");
    testsupport::ShellAppData shell(scratch.Path());
    for (int how : {0, 1, 2, 3, 4}) {
        SCOPED_TRACE(testing::Message() << "value empty, missing, a DWORD, relative, rootless: " << how);
        if (how == 0) appData_.SetString(L"");
        else if (how == 1) appData_.Delete();
        else if (how == 2) appData_.SetDword(1);
        else appData_.SetString(how == 3 ? L"relappdata" : L"\\rootless");
        testsupport::RootFolderGuard root(scratch.Path());
        CapturedReports reports;

        EXPECT_EQ(scratch.Path(), GetAppDataFolderOrReport());
        OpenSettingsFile();
        EXPECT_EQ(scratch / L"Palvo\\Brimvale\\Brimvale.ini", SettingsPath);
        EXPECT_EQ(kFirstRunFile, FileBytes(SettingsPath));
        EXPECT_FALSE(platform::FileExists(root.File()));
        // A value that is not a string is still reported, once per look.
        EXPECT_EQ(how == 2 ? 2u : 0u, reports.Messages().size());
        ResetSettingsForTest();
        ::DeleteFileW((scratch / L"Palvo\\Brimvale\\Brimvale.ini").c_str());
    }
}

// Settings a run stored below the drive's root, before the shell was asked,
// are taken over once by the shell's folder; they stay where they were.
TEST_F(SettingsStore, SettingsBelowTheRootAreTakenOverOnceByTheShellsFolder) {
    ScratchFolder scratch(L"moved");
    testsupport::ShellAppData shell(scratch / L"roaming");
    ASSERT_TRUE(platform::CreateDir(scratch / L"roaming"));
    appData_.SetString(L"");
    testsupport::RootFolderGuard root(scratch.Path());
    ASSERT_TRUE(platform::CreateDir(L"\\Palvo") || platform::DirectoryExists(L"\\Palvo"));
    ASSERT_TRUE(platform::CreateDir(L"\\Palvo\\Brimvale") || platform::DirectoryExists(L"\\Palvo\\Brimvale"));
    const std::string old = "[Brimvale]\r\nstartwithwindows=0\r\nfreewhenleisure=1\r\npausewhenbusy=0\r\nsmartfree=1\r\n";
    testsupport::WriteBytes(root.File(), old);

    OpenSettingsFile();
    EXPECT_EQ(scratch / L"roaming\\Palvo\\Brimvale\\Brimvale.ini", SettingsPath);
    EXPECT_EQ(old, FileBytes(SettingsPath));
    EXPECT_TRUE(SettingsIni->ReadBool(SettingsSection, KeySmartFree, false));
    EXPECT_FALSE(SettingsIni->ReadBool(SettingsSection, KeyPauseWhenBusy, true));
    EXPECT_EQ(old, FileBytes(root.File()));  // nothing lost at the old place

    // Once: the new place's own file wins from then on.
    SettingsIni->WriteBool(SettingsSection, KeySmartFree, false);
    ResetSettingsForTest();
    OpenSettingsFile();
    EXPECT_FALSE(SettingsIni->ReadBool(SettingsSection, KeySmartFree, true));
}

// Neither the registry nor the shell gives a folder: the settings go below
// the current drive's root, as they always did.
TEST_F(SettingsStore, WithoutTheShellsFolderTheFileGoesBelowTheCurrentDrivesRoot) {
    ScratchFolder scratch(L"rootless");
    testsupport::ShellAppData shell(L"");
    for (bool deleteValue : {false, true}) {
        SCOPED_TRACE(deleteValue ? "value missing" : "value empty");
        if (deleteValue) appData_.Delete();
        else appData_.SetString(L"");
        testsupport::RootFolderGuard root(scratch.Path());

        EXPECT_EQ(L"", GetAppDataFolder());
        OpenSettingsFile();
        EXPECT_EQ(L"\\Palvo\\Brimvale\\Brimvale.ini", SettingsPath);
        EXPECT_EQ(kFirstRunFile, FileBytes(root.File()));
        EXPECT_TRUE(SettingsIni->ReadBool(SettingsSection, KeyPauseWhenBusy, false));
        ResetSettingsForTest();
    }
}

TEST_F(SettingsStore, ANonStringAppDataValueIsReportedOnceAndWithoutTheShellTheFolderTakenAsEmpty) {
    ScratchFolder scratch(L"dword");
    testsupport::ShellAppData shell(L"");
    appData_.SetDword(1);
    try {
        GetAppDataFolder();
        FAIL() << "a DWORD value was read as a folder";
    } catch (const platform::ERegistryException& e) {
        EXPECT_TRUE(Contains(e.Message(), L"'AppData'")) << e.Message();
    }

    testsupport::RootFolderGuard root(scratch.Path());
    CapturedReports reports;
    OpenSettingsFile();
    ASSERT_EQ(1u, reports.Messages().size());
    EXPECT_TRUE(Contains(reports.Messages()[0], L"'AppData'"));
    ASSERT_NE(nullptr, SettingsIni);
    EXPECT_EQ(L"\\Palvo\\Brimvale\\Brimvale.ini", SettingsPath);
    EXPECT_EQ(kFirstRunFile, FileBytes(root.File()));
}

// "%USERPROFILE%\..." stored as REG_EXPAND_SZ names the expanded folder; a
// plain string is taken as it stands.
TEST_F(SettingsStore, AnExpandableAppDataValueIsExpanded) {
    ScratchFolder scratch(L"expand");
    ASSERT_TRUE(::SetEnvironmentVariableW(L"BRIMVALE_TEST_HOME", scratch.Path().c_str()));
    appData_.SetString(L"%BRIMVALE_TEST_HOME%\\Roaming", REG_EXPAND_SZ);
    EXPECT_EQ(scratch / L"Roaming", GetAppDataFolder());
    ASSERT_TRUE(platform::CreateDir(scratch / L"Roaming"));
    OpenSettingsFile();
    EXPECT_EQ(kFirstRunFile, FileBytes(scratch / L"Roaming\\Palvo\\Brimvale\\Brimvale.ini"));

    appData_.SetString(L"C:\\%BRIMVALE_TEST_HOME%");
    EXPECT_EQ(L"C:\\%BRIMVALE_TEST_HOME%", GetAppDataFolder());
    // Unexpanded, the reference makes a relative path, which names no folder.
    appData_.SetString(L"%BRIMVALE_TEST_HOME%\\Roaming");
    EXPECT_EQ(L"", GetAppDataFolder());
    ::SetEnvironmentVariableW(L"BRIMVALE_TEST_HOME", nullptr);
}

// The folder removed while the program runs is made again before a write.
TEST_F(SettingsStore, ARemovedSettingsFolderIsMadeAgain) {
    ScratchFolder scratch(L"removed");
    appData_.SetString(scratch.Path());
    OpenSettingsFile();
    testsupport::RemoveTree(scratch / L"Palvo");
    ASSERT_FALSE(platform::DirectoryExists(scratch / L"Palvo"));
    EnsureSettingsFolder();
    EXPECT_NO_THROW(SettingsIni->WriteBool(SettingsSection, KeySmartFree, true));
    EXPECT_TRUE(SettingsIni->ReadBool(SettingsSection, KeySmartFree, false));
}

TEST_F(SettingsStore, ARefusedWriteReachesTheStandardReportNamingTheFile) {
    ScratchFolder scratch(L"refused");
    appData_.SetString(scratch.Path());
    ASSERT_TRUE(platform::CreateDir(scratch / L"Palvo"));
    ASSERT_TRUE(platform::CreateDir(scratch / L"Palvo\\Brimvale"));
    const std::wstring file = scratch / L"Palvo\\Brimvale\\Brimvale.ini";
    ASSERT_TRUE(platform::CreateDir(file));  // a folder where the file should be

    CapturedReports reports;
    bool handlerFinished = false;
    widgets::Dispatch([&] {
        OpenSettingsFile();
        handlerFinished = true;
    });
    EXPECT_FALSE(handlerFinished);
    ASSERT_EQ(1u, reports.Messages().size());
    EXPECT_TRUE(Contains(reports.Messages()[0], file)) << reports.Messages()[0];
    // Today's words, then why, in the system's own text.
    const std::wstring words = L"Unable to write to " + file + L"\n";
    ASSERT_EQ(0u, reports.Messages()[0].find(words));
    EXPECT_GT(reports.Messages()[0].size(), words.size());

    // The program goes on: once the obstacle is gone the store works.
    ASSERT_TRUE(::RemoveDirectoryW(file.c_str()));
    OpenSettingsFile();
    EXPECT_EQ(kFirstRunFile, FileBytes(file));
}
