#include <gtest/gtest.h>

#include "SettingsTestSupport.h"
#include "settings/SettingsStore.h"
#include "widgets/Errors.h"
#include "widgets/Paths.h"

using namespace settings;
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
        ASSERT_TRUE(widgets::CreateDir(folder));
        appData_.SetString(folder);
        const testsupport::RegistryValue runBefore = run_.Current();

        EXPECT_EQ(folder, GetAppDataFolder());
        OpenSettingsFile();

        EXPECT_EQ(folder + L"\\Palvo\\Brimvale\\Brimvale.ini", SettingsPath);
        EXPECT_TRUE(widgets::DirectoryExists(folder + L"\\Palvo"));
        EXPECT_TRUE(widgets::DirectoryExists(folder + L"\\Palvo\\Brimvale"));
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
    ASSERT_TRUE(widgets::CreateDir(scratch / L"Palvo"));
    ASSERT_TRUE(widgets::CreateDir(scratch / L"Palvo\\Brimvale"));
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
    ASSERT_TRUE(widgets::CreateDir(scratch / L"Palvo"));
    OpenSettingsFile();
    EXPECT_EQ(kFirstRunFile, FileBytes(scratch / L"Palvo\\Brimvale\\Brimvale.ini"));
}

TEST_F(SettingsStore, AnEmptyOrMissingAppDataValuePutsTheFileBelowTheCurrentDrivesRoot) {
    ScratchFolder scratch(L"rootless");
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

TEST_F(SettingsStore, ANonStringAppDataValueIsReportedOnceAndTheFolderTakenAsEmpty) {
    ScratchFolder scratch(L"dword");
    appData_.SetDword(1);
    try {
        GetAppDataFolder();
        FAIL() << "a DWORD value was read as a folder";
    } catch (const widgets::ERegistryException& e) {
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

TEST_F(SettingsStore, ARefusedWriteReachesTheStandardReportNamingTheFile) {
    ScratchFolder scratch(L"refused");
    appData_.SetString(scratch.Path());
    ASSERT_TRUE(widgets::CreateDir(scratch / L"Palvo"));
    ASSERT_TRUE(widgets::CreateDir(scratch / L"Palvo\\Brimvale"));
    const std::wstring file = scratch / L"Palvo\\Brimvale\\Brimvale.ini";
    ASSERT_TRUE(widgets::CreateDir(file));  // a folder where the file should be

    CapturedReports reports;
    bool handlerFinished = false;
    widgets::Dispatch([&] {
        OpenSettingsFile();
        handlerFinished = true;
    });
    EXPECT_FALSE(handlerFinished);
    ASSERT_EQ(1u, reports.Messages().size());
    EXPECT_TRUE(Contains(reports.Messages()[0], file)) << reports.Messages()[0];

    // The program goes on: once the obstacle is gone the store works.
    ASSERT_TRUE(::RemoveDirectoryW(file.c_str()));
    OpenSettingsFile();
    EXPECT_EQ(kFirstRunFile, FileBytes(file));
}
