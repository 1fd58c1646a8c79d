#include <gtest/gtest.h>

#include "SettingsTestSupport.h"
#include "localisation/Language.h"
#include "settings/SettingsStore.h"
#include "platform/Paths.h"
#include "platform/Seam.h"

using localisation::TLanguage;
using testsupport::FileBytes;
using testsupport::ListFolder;
using testsupport::Utf16Bytes;
using testsupport::WriteBytes;

namespace {

// A scratch "executable folder" (with or without its language folder) and a
// scratch app-data folder holding the sibling product's Main.ini, both below
// a folder whose name lies outside the code page.
class Language : public ::testing::Test {
protected:
    void SetUp() override {
        exeFolder_ = root_ / L"program";
        appDataFolder_ = root_ / L"appdata";
        ASSERT_TRUE(platform::CreateDir(exeFolder_));
        ASSERT_TRUE(platform::CreateDir(appDataFolder_));
        platform::SetModulePathForTest(exeFolder_ + L"\\brimvale.exe");
        appData_.SetString(appDataFolder_);
    }
    void TearDown() override { platform::SetModulePathForTest(L""); }

    std::wstring LanguageFolder() const { return exeFolder_ + L"\\language"; }
    std::wstring LanguageFile(const std::wstring& name) const { return LanguageFolder() + L"\\" + name + L".lng"; }
    void MakeLanguageFolder() { ASSERT_TRUE(platform::CreateDir(LanguageFolder())); }

    std::wstring MainIni() const { return appDataFolder_ + L"\\Palvo\\Quenderal\\Main.ini"; }
    // Writes the sibling product's choice (UTF-16, so any name survives).
    void ChooseLanguage(const std::wstring& name) {
        platform::CreateDir(appDataFolder_ + L"\\Palvo");
        platform::CreateDir(appDataFolder_ + L"\\Palvo\\Quenderal");
        WriteBytes(MainIni(), Utf16Bytes(L"[Main]\r\nLanguage=" + name + L"\r\n"));
    }
    void WriteLanguageFile(const std::wstring& name, const std::wstring& text) {
        WriteBytes(LanguageFile(name), Utf16Bytes(text));
    }

    testsupport::ScratchFolder root_{testsupport::kForeignName};
    testsupport::SavedRegistryValue appData_{settings::ShellFoldersKey, settings::AppDataValue};
    std::wstring exeFolder_;
    std::wstring appDataFolder_;
};

const std::string kEmptyLanguageFile("\xFF\xFE\x0D\x00\x0A\x00", 6);

}  // namespace

TEST_F(Language, WithoutALanguageFolderEveryLookupGivesItsDefaultAndNothingIsCreated) {
    ChooseLanguage(L"Deutsch");
    // The shared settings are not even looked for: a broken AppData value
    // would otherwise be reported.
    appData_.SetDword(1);
    testsupport::CapturedReports reports;
    const TLanguage language;
    EXPECT_EQ(L"", language.LanguageName());
    EXPECT_EQ(L"RAM free", language.Translate(L"M", L"RamFree", L"RAM free"));
    EXPECT_EQ(L"Brimvale", language.Translate(L"MainForm", L"Caption", L"Brimvale"));
    EXPECT_TRUE(reports.Messages().empty());
    EXPECT_TRUE(ListFolder(exeFolder_).empty());
}

TEST_F(Language, TheChosenLanguageComesFromTheSharedFileWhichIsNeverCreated) {
    MakeLanguageFolder();
    {
        const TLanguage language;
        EXPECT_EQ(L"English", language.LanguageName());
        EXPECT_FALSE(platform::DirectoryExists(appDataFolder_ + L"\\Palvo"));
    }
    const std::wstring greek = L"\x0395\x03BB\x03BB\x03B7\x03BD\x03B9\x03BA\x03AC";
    ChooseLanguage(greek);
    const TLanguage language;
    EXPECT_EQ(greek, language.LanguageName());
    EXPECT_EQ(L"Cpu Usage", language.Translate(L"M", L"CpuUsageHint", L"Cpu Usage"));
    EXPECT_EQ(kEmptyLanguageFile, FileBytes(LanguageFile(greek)));
}

TEST_F(Language, AMissingLanguageFileIsCreatedEmptyAsUtf16AndDefaultsComeBack) {
    MakeLanguageFolder();
    ChooseLanguage(L"Deutsch");
    const TLanguage language;
    EXPECT_EQ(L"Smart free on", language.Translate(L"M", L"SmartfreeOn", L"Smart free on"));
    EXPECT_EQ(kEmptyLanguageFile, FileBytes(LanguageFile(L"Deutsch")));
    EXPECT_EQ(L"Auto free off", language.Translate(L"M", L"autoFreeoff", L"Auto free off"));
    EXPECT_EQ(kEmptyLanguageFile, FileBytes(LanguageFile(L"Deutsch")));
}

TEST_F(Language, TextsComeBackIntactFromTheSectionOfTheirFormKey) {
    MakeLanguageFolder();
    const std::wstring cyrillic = L"\x0421\x0432\x043E\x0431\x043E\x0434\x043D\x043E \x6F22\x5B57";
    WriteLanguageFile(L"English", L"[M_Brimvale]\r\nRamFree=" + cyrillic + L"\r\nKey=main\r\nBlank=\r\n"
                                  L"[Brimvale_m]\r\nKey=lower m\r\n"
                                  L"[Brimvale_MainForm]\r\nCaption=Main window\r\n");
    const TLanguage language;
    EXPECT_EQ(cyrillic, language.Translate(L"M", L"RamFree", L"RAM free"));
    EXPECT_EQ(L"main", language.Translate(L"M", L"Key", L"x"));
    EXPECT_EQ(L"lower m", language.Translate(L"m", L"Key", L"x"));
    // Section and key names match without regard to case.
    EXPECT_EQ(L"Main window", language.Translate(L"MAINFORM", L"caption", L"Brimvale"));
    // A present empty value is the empty text; an absent key the default.
    EXPECT_EQ(L"", language.Translate(L"M", L"Blank", L"default"));
    EXPECT_EQ(L"CPU free", language.Translate(L"M", L"CpuFree", L"CPU free"));
    EXPECT_EQ(L"x", language.Translate(L"OptionForm", L"Key", L"x"));
}

TEST_F(Language, ALongValueIsCutTo2047Characters) {
    MakeLanguageFolder();
    WriteLanguageFile(L"English", L"[M_Brimvale]\r\nMemoryReleased=" + std::wstring(3000, L'\x0416') + L"\r\n");
    const TLanguage language;
    EXPECT_EQ(std::wstring(2047, L'\x0416'), language.Translate(L"M", L"MemoryReleased", L"x"));
}

// Texts are kept while the file stays as it was, but every lookup sees it as
// it stands: edited, held unreadable (a text read before stays, one not read
// yet gives its default until the file is free), replaced by a folder,
// removed.
TEST_F(Language, EveryLookupSeesTheFileAsItStands) {
    MakeLanguageFolder();
    WriteLanguageFile(L"English", L"[M_Brimvale]\r\nRamFree=first\r\n");
    const TLanguage language;
    EXPECT_EQ(L"first", language.Translate(L"M", L"RamFree", L"RAM free"));

    WriteLanguageFile(L"English", L"[M_Brimvale]\r\nRamFree=second text\r\nCpuFree=third\r\n");
    // Move the file's time well away from the first version's, so that even
    // a coarse file-system clock shows the edit.
    platform::UniqueFileHandle file(::CreateFileW(LanguageFile(L"English").c_str(), FILE_WRITE_ATTRIBUTES,
                                                 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(file.valid());
    FILETIME later{};
    ::GetFileTime(file.get(), nullptr, nullptr, &later);
    ULARGE_INTEGER t{{later.dwLowDateTime, later.dwHighDateTime}};
    t.QuadPart += 3ull * 10000000ull;
    later = FILETIME{t.LowPart, t.HighPart};
    ASSERT_TRUE(::SetFileTime(file.get(), nullptr, nullptr, &later));
    file.reset();

    EXPECT_EQ(L"second text", language.Translate(L"M", L"RamFree", L"RAM free"));
    {
        // Open for writing, sharing nothing (read-only attributes do not
        // stop a reader running as root).
        platform::UniqueFileHandle held(::CreateFileW(LanguageFile(L"English").c_str(), GENERIC_WRITE, 0, nullptr,
                                                     OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held.valid());
        const TLanguage::Batch batch(language);  // as the tick looks its texts up
        EXPECT_EQ(L"second text", language.Translate(L"M", L"RamFree", L"RAM free"));
        EXPECT_EQ(L"CPU free", language.Translate(L"M", L"CpuFree", L"CPU free"));
    }
    EXPECT_EQ(L"third", language.Translate(L"M", L"CpuFree", L"CPU free"));
    ASSERT_TRUE(::DeleteFileW(LanguageFile(L"English").c_str()));
    ASSERT_TRUE(platform::CreateDir(LanguageFile(L"English")));
    EXPECT_EQ(L"RAM free", language.Translate(L"M", L"RamFree", L"RAM free"));
    EXPECT_TRUE(platform::DirectoryExists(LanguageFile(L"English")));
    ASSERT_TRUE(::RemoveDirectoryW(LanguageFile(L"English").c_str()));
    EXPECT_EQ(L"RAM free", language.Translate(L"M", L"RamFree", L"RAM free"));
    EXPECT_EQ(kEmptyLanguageFile, FileBytes(LanguageFile(L"English")));
}

TEST_F(Language, ANameThatLeavesTheFolderOrNamesADeviceCreatesNothing) {
    MakeLanguageFolder();
    for (const wchar_t* name : {L"..\\..\\evil", L"..\\evil", L"sub/evil", L"C:evil", L"CON", L"con.txt",
                                L"NUL", L"LPT1", L"com9.x", L"English:stream", L"", L".", L".."}) {
        SCOPED_TRACE(testing::Message() << std::wstring(name).size() << "-character name");
        ChooseLanguage(name);
        const TLanguage language;
        EXPECT_EQ(name, language.LanguageName());
        EXPECT_EQ(L"Cpu Usage", language.Translate(L"M", L"CpuUsageHint", L"Cpu Usage"));
        EXPECT_TRUE(ListFolder(LanguageFolder()).empty());
        EXPECT_EQ(1u, ListFolder(exeFolder_).size());  // only "language"
        EXPECT_EQ(2u, ListFolder(root_.Path()).size());  // only "program" and "appdata"
    }
}

TEST_F(Language, ALanguageFileThatCannotBeCreatedOrReadGivesTheDefault) {
    MakeLanguageFolder();
    ChooseLanguage(L"Blocked");
    ASSERT_TRUE(platform::CreateDir(LanguageFile(L"Blocked")));  // a folder in the file's place
    const TLanguage language;
    EXPECT_EQ(L"Auto free on", language.Translate(L"M", L"autofreeon", L"Auto free on"));
    EXPECT_TRUE(platform::DirectoryExists(LanguageFile(L"Blocked")));
}

// A language file path of MAX_PATH characters or more, which the profile
// calls cannot open, is read through its short form (a missing file is made
// first, as always); where the volume gives none the texts stay English.
namespace {
std::wstring NoShortPath(const std::wstring& path) { return path; }
}  // namespace

TEST_F(Language, ALanguageFilePathTooLongForTheProfileCallsIsReadThroughItsShortForm) {
    MakeLanguageFolder();
    const std::wstring name = L"Deutsch" + std::wstring(240, L'x');
    ChooseLanguage(name);
    WriteBytes(L"\\\\?\\" + LanguageFile(name), Utf16Bytes(L"[M_Brimvale]\r\nRamFree=RAM frei\r\n"));
    EXPECT_EQ(L"RAM frei", TLanguage().Translate(L"M", L"RamFree", L"RAM free"));
    platform::ScopedSeam<localisation::ShortPathFn> seam(localisation::ShortPathCall, &NoShortPath);
    EXPECT_EQ(L"RAM free", TLanguage().Translate(L"M", L"RamFree", L"RAM free"));
    ::DeleteFileW((L"\\\\?\\" + LanguageFile(name)).c_str());
}

// A value that names no folder: the choice is read from the shell's
// application-data folder.
TEST_F(Language, WithoutAnAppDataValueTheChoiceComesFromTheShellsFolder) {
    MakeLanguageFolder();
    ChooseLanguage(L"Deutsch");
    testsupport::ShellAppData shell(appDataFolder_);
    for (int how : {0, 1}) {
        if (how == 0) appData_.SetString(L"");
        else appData_.Delete();
        const TLanguage language;
        EXPECT_EQ(L"Deutsch", language.LanguageName()) << how;
    }
}

TEST_F(Language, ANonStringAppDataValueIsReportedOnceAndTheLanguageStillWorks) {
    MakeLanguageFolder();
    testsupport::ShellAppData shell(L"");  // the shell cannot tell either
    appData_.SetDword(1);
    testsupport::CapturedReports reports;
    const TLanguage language;
    ASSERT_EQ(1u, reports.Messages().size());
    EXPECT_TRUE(testsupport::Contains(reports.Messages()[0], L"'AppData'"));
    // The folder is taken as empty: the choice is read from the current
    // drive's "\Palvo\Quenderal\Main.ini", normally absent.
    if (!platform::FileExists(L"\\Palvo\\Quenderal\\Main.ini")) {
        EXPECT_EQ(L"English", language.LanguageName());
    }
    EXPECT_EQ(L"RAM free", language.Translate(L"M", L"RamFree", L"RAM free"));
    EXPECT_EQ(1u, reports.Messages().size());
}
