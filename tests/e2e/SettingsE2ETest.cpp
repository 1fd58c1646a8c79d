#include <gtest/gtest.h>

#include "Driver.h"
#include "app/MainFormIds.h"
#include "settings/OptionFormIds.h"

using namespace e2e;

namespace {

void WriteSettings(const std::string& text) {
    ::CreateDirectoryW((AppDataFolder() + L"\\Palvo").c_str(), nullptr);
    ::CreateDirectoryW((AppDataFolder() + L"\\Palvo\\Brimvale").c_str(), nullptr);
    WriteFileBytes(SettingsFilePath(), text);
}

}  // namespace

class StoredSettings : public ::testing::Test {
protected:
    void SetUp() override { ResetUserState(); }
};

TEST_F(StoredSettings, FirstStartCreatesTheSettingsFileAndNoAutostart) {
    Program program;
    ASSERT_NE(nullptr, program.MainWindow());
    // The file is written one value at a time: wait for the last one.
    ASSERT_TRUE(WaitFor([] { return ReadFileBytes(SettingsFilePath()).find("smartfree=") != std::string::npos; }));
    EXPECT_EQ("[Brimvale]\r\nstartwithwindows=0\r\nfreewhenleisure=0\r\npausewhenbusy=1\r\nsmartfree=0\r\n",
              ReadFileBytes(SettingsFilePath()));
    std::wstring run;
    EXPECT_FALSE(ReadRegString(kRunKey, L"Brimvale", run));
    EXPECT_TRUE(WaitFor([&] { return program.ControlText(app::idLabel_status_Smart) == L"Smart free off"; }));
    EXPECT_EQ(L"Auto free off", program.ControlText(app::idLabel_Status_Auto));
    EXPECT_TRUE(program.ExitThroughTray());
}

TEST_F(StoredSettings, StartWithWindowsInTheFileWritesTheRunValueAtStartUp) {
    WriteSettings("[Brimvale]\r\nstartwithwindows=1\r\nfreewhenleisure=1\r\npausewhenbusy=1\r\nsmartfree=1\r\n");
    Program program;
    ASSERT_NE(nullptr, program.MainWindow());
    std::wstring run;
    ASSERT_TRUE(WaitFor([&] { return ReadRegString(kRunKey, L"Brimvale", run); }));
    EXPECT_EQ(L"\"" + ProgramPath() + L"\" /m", run);
    EXPECT_TRUE(WaitFor([&] { return program.ControlText(app::idLabel_status_Smart) == L"Smart free on"; }));
    EXPECT_EQ(L"Auto free on", program.ControlText(app::idLabel_Status_Auto));
    EXPECT_TRUE(program.ExitThroughTray());
    DeleteRegValue(kRunKey, L"Brimvale");
}
