#include <gtest/gtest.h>

#include "SettingsTestSupport.h"
#include "widgets/Errors.h"
#include "platform/IniFile.h"

using namespace widgets;
using namespace platform;
using testsupport::FileBytes;
using testsupport::ScratchFolder;
using testsupport::WriteBytes;

TEST(TTntIniFile, ReadsValuesDefaultsAndTheEmptyValueAsThePlatformReaderDoes) {
    ScratchFolder scratch(L"ini");
    const std::wstring path = scratch / L"values.ini";
    WriteBytes(path, "[Sec]\r\nempty=\r\nword = spaced value \r\nlong=" + std::string(3000, 'x') + "\r\n");
    const platform::TTntIniFile ini(path);

    EXPECT_EQ(L"", ini.ReadString(L"Sec", L"empty", L"default"));
    EXPECT_EQ(L"spaced value", ini.ReadString(L"sec", L"WORD", L"default"));
    EXPECT_EQ(std::wstring(2047, L'x'), ini.ReadString(L"Sec", L"long", L""));
    EXPECT_EQ(L"default", ini.ReadString(L"Sec", L"absent", L"default"));
    EXPECT_EQ(L"default", ini.ReadString(L"Other", L"word", L"default"));
    // The caller's default comes back whole: neither its trailing blanks
    // nor anything past 2047 characters is lost.
    EXPECT_EQ(L"Brimvale ", ini.ReadString(L"Sec", L"absent", L"Brimvale "));
    EXPECT_EQ(std::wstring(3000, L'd'), ini.ReadString(L"Sec", L"absent", std::wstring(3000, L'd')));
    EXPECT_EQ(L"default", platform::TTntIniFile(scratch / L"missing.ini").ReadString(L"Sec", L"word", L"default"));
    EXPECT_EQ(1u, testsupport::ListFolder(scratch.Path()).size()) << "a read created a file";
}

TEST(TTntIniFile, ReadBoolAppliesTheIntegerRulesToTheStoredText) {
    ScratchFolder scratch(L"ini");
    const std::wstring path = scratch / L"bools.ini";
    WriteBytes(path, "[B]\r\ntwo=2\r\nminus=-1\r\nhex=0x1\r\ndollar=$A\r\nzero=0\r\nyes=yes\r\n"
                     "true=true\r\nempty=\r\nbig=99999999999\r\nwide=0x1FFFFFFFF\r\nblanks=  1  \r\n"
                     "quoted=\"1\"\r\n");
    const platform::TTntIniFile ini(path);
    for (const wchar_t* key : {L"two", L"minus", L"hex", L"dollar", L"blanks", L"quoted"}) {
        EXPECT_TRUE(ini.ReadBool(L"B", key, false)) << key;
    }
    EXPECT_FALSE(ini.ReadBool(L"B", L"zero", true));
    for (const wchar_t* key : {L"yes", L"true", L"empty", L"big", L"wide", L"absent"}) {
        EXPECT_TRUE(ini.ReadBool(L"B", key, true)) << key;
        EXPECT_FALSE(ini.ReadBool(L"B", key, false)) << key;
    }
}

TEST(TTntIniFile, WritesToANewFileInTheCodePageAndBoolsAsOneAndZero) {
    ScratchFolder scratch(testsupport::kForeignName);
    const std::wstring path = scratch / (testsupport::kForeignName + L".ini");
    const platform::TTntIniFile ini(path);
    ini.WriteBool(L"S", L"on", true);
    ini.WriteBool(L"S", L"off", false);
    EXPECT_EQ("[S]\r\non=1\r\noff=0\r\n", FileBytes(path));
    EXPECT_TRUE(ini.ReadBool(L"S", L"on", false));
    EXPECT_FALSE(ini.ReadBool(L"S", L"off", true));
    ini.WriteBool(L"S", L"on", false);
    EXPECT_EQ("[S]\r\non=0\r\noff=0\r\n", FileBytes(path));
}

TEST(TTntIniFile, ARefusedWriteThrowsAnErrorNamingTheFile) {
    ScratchFolder scratch(L"ini");
    const std::wstring path = scratch / L"blocked.ini";
    ASSERT_TRUE(::CreateDirectoryW(path.c_str(), nullptr));  // a folder where the file should be
    const platform::TTntIniFile ini(path);
    try {
        ini.WriteBool(L"S", L"k", true);
        FAIL() << "the write was not refused";
    } catch (const platform::EIniFileException& e) {
        EXPECT_NE(std::wstring::npos, e.Message().find(path)) << e.Message();
    }
}
