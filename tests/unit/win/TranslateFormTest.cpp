#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "SettingsTestSupport.h"
#include "localisation/Language.h"
#include "localisation/TranslateForm.h"
#include "settings/SettingsStore.h"
#include "widgets/ComCtrls.h"
#include "widgets/ExtCtrls.h"
#include "widgets/ExtraCtrls.h"
#include "widgets/Form.h"
#include "widgets/Menus.h"
#include "platform/Paths.h"
#include "widgets/StdCtrls.h"
#include "widgets/Window.h"

using localisation::TLanguage;
using localisation::TranslateForm;
using localisation::TranslateLookupCount;
using namespace widgets;
using namespace platform;

namespace {

// A label class of the program's own, derived from the wide label.
class TMyLabel : public TTntLabel {
public:
    TMyLabel(TTntForm& form, CreateArgs args) : TTntLabel(form, (args.className = "TMyLabel", args)) {}
};

const std::wstring kGreek = L"\x0395\x03BB\x03BB\x03B7\x03BD\x03B9\x03BA\x03AC";
const std::wstring kCjk = L"\x8A2D\x5B9A\x6F22\x5B57";

// One component of every kind the translation knows, and some it leaves
// alone, on a hidden form named "TestForm".
struct TestForm {
    TestForm() : form(L"TestForm", "TTranslateTestForm", Options()) {
        label = form.Add<TTntLabel>(CreateArgs{.name = L"Label_cpu", .bounds = {8, 8, 80, 13}, .caption = L"CPU Usage:"});
        figure = form.Add<TTntLabel>(CreateArgs{.name = L"Label_cpu_usage", .bounds = {100, 8, 40, 13}, .caption = L"15%"});
        button = form.Add<TTntButton>(CreateArgs{.name = L"Button_go", .bounds = {8, 30, 75, 25}, .caption = L"Go!"});
        listView = form.Add<TTntListView>(
            CreateArgs{.name = L"ListView_processes", .bounds = {8, 60, 200, 80}, .caption = L"Processes"});
        listView->AddColumn(L"Name", 80);
        listView->AddColumn(L"Id", 40);
        listView->AddColumn(L"Memory", 60);
        emptyList =
            form.Add<TTntListView>(CreateArgs{.name = L"ListView_empty", .bounds = {8, 150, 200, 40}, .caption = L"Empty"});
        // Kinds told apart by class name alone: captioned controls of those names.
        group = form.Add<TTntLabel>(CreateArgs{.name = L"GroupBox_options", .bounds = {220, 8, 150, 100},
                                               .caption = L"Options", .className = "TTntGroupBox"});
        check = form.Add<TTntCheckBox>(
            CreateArgs{.name = L"CheckBox_set_auto_free", .bounds = {230, 30, 130, 17}, .caption = L"Auto free"});
        radio = form.Add<TTntCheckBox>(CreateArgs{.name = L"RadioButton_fast", .bounds = {230, 50, 130, 17},
                                                  .caption = L"Fast", .className = "TTntRadioButton"});
        tool = form.Add<TTntButton>(CreateArgs{.name = L"ToolButton_clean", .bounds = {230, 70, 60, 22},
                                               .caption = L"Clean", .className = "TTntToolButton"});
        speed = form.Add<TSpeedButton>(CreateArgs{.name = L"SpeedButton_free", .bounds = {300, 70, 60, 22}, .caption = L"Free"});
        myLabel = form.Add<TMyLabel>(CreateArgs{.name = L"Label_mine", .bounds = {8, 200, 80, 13}, .caption = L"Mine"});
        progress = form.Add<TTntProgressBar>(CreateArgs{.name = L"ProgressBar_clean", .bounds = {8, 220, 100, 16}});
        timer = form.Add<TTimer>(TimerArgs{.name = L"Timer_cpu", .interval = 1000, .enabled = false});
        popup = form.AddItem<TTntPopupMenu>(L"PopupMenu_tray");
        menuItem = form.AddItem<TTntMenuItem>(L"Tray_Exit", L"Exit");
        popup->Add(menuItem);
    }

    static FormOptions Options() {
        FormOptions options;
        options.caption = L"Brimvale";
        options.clientWidth = 400;
        options.clientHeight = 260;
        return options;
    }

    // Every caption the translation could touch, the list views' columns and
    // the speed button's narrow bytes and window text included.
    std::vector<std::wstring> Captions() const {
        std::vector<std::wstring> captions{form.Caption()};
        for (int i = 0; i < form.ComponentCount(); ++i) captions.push_back(form.Components(i)->Caption());
        for (int j = 0; j < listView->ColumnCount(); ++j) captions.push_back(listView->ColumnCaption(j));
        captions.push_back(AnsiToWide(speed->NarrowCaption()));
        captions.push_back(WindowText(*speed));
        return captions;
    }

    static std::wstring WindowText(const TControl& control) { return widgets::WindowText(control.Handle()); }

    TTntForm form;
    TTntLabel* label;
    TTntLabel* figure;
    TTntButton* button;
    TTntListView* listView;
    TTntListView* emptyList;
    TTntLabel* group;
    TTntCheckBox* check;
    TTntCheckBox* radio;
    TTntButton* tool;
    TSpeedButton* speed;
    TMyLabel* myLabel;
    TTntProgressBar* progress;
    TTimer* timer;
    TTntPopupMenu* popup;
    TTntMenuItem* menuItem;
};

// Lookups in the test form: the form's caption, nine captions (two labels,
// button, group box, check box, radio, tool and speed button, menu item) and
// the three columns of the one list view that has columns.
constexpr int kTestFormLookups = 1 + 9 + 3;

// A scratch executable folder with a language folder and English.lng (no
// shared settings file, so the language is English), below a folder whose
// name lies outside the code page.
class TranslateFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::wstring exeFolder = root_ / L"program";
        ASSERT_TRUE(platform::CreateDir(exeFolder));
        ASSERT_TRUE(platform::CreateDir(exeFolder + L"\\language"));
        ASSERT_TRUE(platform::CreateDir(root_ / L"appdata"));
        languageFile_ = exeFolder + L"\\language\\English.lng";
        platform::SetModulePathForTest(exeFolder + L"\\brimvale.exe");
        appData_.SetString(root_ / L"appdata");
        language_ = std::make_unique<TLanguage>();
        ASSERT_EQ(L"English", language_->LanguageName());
    }
    void TearDown() override { platform::SetModulePathForTest(L""); }

    void WriteLanguageFile(const std::wstring& text) {
        testsupport::WriteBytes(languageFile_, testsupport::Utf16Bytes(text));
    }

    // Runs the translation and answers how many lookups it made.
    int Translate(TTntForm& form) {
        const int before = TranslateLookupCount;
        TranslateForm(*language_, form);
        return TranslateLookupCount - before;
    }

    testsupport::ScratchFolder root_{testsupport::kForeignName};
    testsupport::SavedRegistryValue appData_{settings::ShellFoldersKey, settings::AppDataValue};
    std::wstring languageFile_;
    std::unique_ptr<TLanguage> language_;
};

}  // namespace

TEST_F(TranslateFormTest, AnEmptyLanguageFileKeepsEveryCaptionIncludingRunTimeChanges) {
    WriteLanguageFile(L"\r\n");
    TestForm t;
    t.form.SetCaption(L"Brimvale (busy)");
    t.figure->SetCaption(L"42%");
    t.listView->SetColumnCaption(1, L"PID");
    t.menuItem->SetCaption(L"Quit");
    t.speed->SetNarrowCaption("Release");
    const std::vector<std::wstring> before = t.Captions();

    EXPECT_EQ(kTestFormLookups, Translate(t.form));
    EXPECT_EQ(before, t.Captions());
    EXPECT_EQ(L"42%", t.figure->Caption());
    EXPECT_EQ(L"PID", t.listView->ColumnCaption(1));

    // A missing file is created empty and keeps them just as well.
    ASSERT_TRUE(::DeleteFileW(languageFile_.c_str()));
    EXPECT_EQ(kTestFormLookups, Translate(t.form));
    EXPECT_EQ(before, t.Captions());
    EXPECT_TRUE(platform::FileExists(languageFile_));
}

TEST_F(TranslateFormTest, TextsReplaceExactlyTheCaptionsTheyAreGivenFor) {
    WriteLanguageFile(L"[Brimvale_TestForm]\r\n"
                      L"Caption=" + kGreek + L"\r\n"
                      L"Label_cpu.Caption=" + kCjk + L"\r\n"
                      L"Button_go.Caption=Los!\r\n"
                      L"ListView_processes.Caption=not looked up\r\n"
                      L"ListView_processes.Columns[0].Caption=" + kGreek + L" 0\r\n"
                      L"ListView_processes.Columns[2].Caption=Speicher\r\n"
                      L"ListView_empty.Columns[0].Caption=no column\r\n"
                      L"GroupBox_options.Caption=Optionen\r\n"
                      L"CheckBox_set_auto_free.Caption=" + kCjk + L" auto\r\n"
                      L"RadioButton_fast.Caption=Schnell\r\n"
                      L"Tray_Exit.Caption=Beenden " + kGreek + L"\r\n"
                      L"ToolButton_clean.Caption=Putzen\r\n"
                      L"Label_mine.Caption=derived class\r\n"
                      L"ProgressBar_clean.Caption=progress\r\n"
                      L"Timer_cpu.Caption=timer\r\n"
                      L"PopupMenu_tray.Caption=popup\r\n"
                      L"[Brimvale_OtherForm]\r\n"
                      L"Label_cpu_usage.Caption=other form\r\n"
                      L"Caption=other form\r\n");
    TestForm t;
    t.figure->SetCaption(L"42%");
    EXPECT_EQ(kTestFormLookups, Translate(t.form));

    EXPECT_EQ(kGreek, t.form.Caption());
    EXPECT_EQ(kCjk, t.label->Caption());
    EXPECT_EQ(L"42%", t.figure->Caption());  // no text for it, nor from another form's section
    EXPECT_EQ(L"Los!", t.button->Caption());
    EXPECT_EQ(L"Processes", t.listView->Caption());
    EXPECT_EQ(kGreek + L" 0", t.listView->ColumnCaption(0));
    EXPECT_EQ(L"Id", t.listView->ColumnCaption(1));
    EXPECT_EQ(L"Speicher", t.listView->ColumnCaption(2));
    EXPECT_EQ(0, t.emptyList->ColumnCount());
    EXPECT_EQ(L"Empty", t.emptyList->Caption());
    EXPECT_EQ(L"Optionen", t.group->Caption());
    EXPECT_EQ(kCjk + L" auto", t.check->Caption());
    EXPECT_EQ(L"Schnell", t.radio->Caption());
    EXPECT_EQ(L"Beenden " + kGreek, t.menuItem->Caption());
    EXPECT_EQ(L"Putzen", t.tool->Caption());
    EXPECT_EQ("Free", t.speed->NarrowCaption());
    EXPECT_EQ(L"Mine", t.myLabel->Caption());
    EXPECT_EQ(L"", t.progress->Caption());
    // The captions are the window texts the user sees.
    EXPECT_EQ(kCjk, TestForm::WindowText(*t.label));
    EXPECT_EQ(L"Optionen", TestForm::WindowText(*t.group));
    EXPECT_EQ(L"Schnell", TestForm::WindowText(*t.radio));
    EXPECT_EQ(L"Putzen", TestForm::WindowText(*t.tool));
}

TEST_F(TranslateFormTest, ASpeedButtonTakesItsTextAsCodePageText) {
    // A text of the narrow code page, whatever that is here: bytes above
    // the ASCII range (0x80 is not U+0080 in the usual code pages) and its
    // wide reading.
    const std::string narrow = "Sch\xE9n \x80";
    const std::wstring wide = AnsiToWide(narrow);
    ASSERT_EQ(narrow, WideToAnsi(wide)) << "the code page cannot hold the test text";
    WriteLanguageFile(L"[Brimvale_TestForm]\r\nSpeedButton_free.Caption=" + wide + L"\r\n");

    TestForm t;
    Translate(t.form);
    EXPECT_EQ(narrow, t.speed->NarrowCaption());
    EXPECT_EQ(wide, TestForm::WindowText(*t.speed));

    // Without a text the button keeps its code-page caption byte for byte.
    WriteLanguageFile(L"\r\n");
    const std::string kept = "Caf\xE9 \x9C\xC4";
    ASSERT_EQ(kept, WideToAnsi(AnsiToWide(kept)));
    t.speed->SetNarrowCaption(kept);
    Translate(t.form);
    EXPECT_EQ(kept, t.speed->NarrowCaption());
    EXPECT_EQ(AnsiToWide(kept), TestForm::WindowText(*t.speed));
}

TEST_F(TranslateFormTest, AListViewIsLookedUpOncePerColumnAndNotAtAllWithoutColumns) {
    WriteLanguageFile(L"[Brimvale_ListForm]\r\n"
                      L"List.Columns[0].Caption=first\r\n"
                      L"List.Columns[1].Caption=second\r\n"
                      L"List.Columns[2].Caption=third\r\n"
                      L"List.Columns[3].Caption=fourth\r\n"
                      L"List.Caption=own caption\r\n");
    TTntForm form(L"ListForm", "TTranslateTestForm", TestForm::Options());
    auto* list = form.Add<TTntListView>(CreateArgs{.name = L"List", .bounds = {0, 0, 200, 100}, .caption = L"List"});
    EXPECT_EQ(1, Translate(form));  // the form's caption alone

    for (const wchar_t* caption : {L"a", L"b", L"c"}) list->AddColumn(caption, 50);
    EXPECT_EQ(1 + 3, Translate(form));
    ASSERT_EQ(3, list->ColumnCount());
    EXPECT_EQ(L"first", list->ColumnCaption(0));
    EXPECT_EQ(L"second", list->ColumnCaption(1));
    EXPECT_EQ(L"third", list->ColumnCaption(2));
    EXPECT_EQ(L"List", list->Caption());
}

TEST_F(TranslateFormTest, ASecondRunWithTheSameFileChangesNothingAndAnEditShowsAtTheNext) {
    WriteLanguageFile(L"[Brimvale_TestForm]\r\nLabel_cpu_usage.Caption=" + kGreek + L"\r\n"
                      L"ListView_processes.Columns[1].Caption=" + kCjk + L"\r\n");
    TestForm t;
    EXPECT_EQ(kTestFormLookups, Translate(t.form));
    const std::vector<std::wstring> first = t.Captions();
    EXPECT_EQ(kGreek, t.figure->Caption());
    EXPECT_EQ(kCjk, t.listView->ColumnCaption(1));

    EXPECT_EQ(kTestFormLookups, Translate(t.form));
    EXPECT_EQ(first, t.Captions());

    // A figure written between two shows is overridden again at the next one.
    t.figure->SetCaption(L"7%");
    WriteLanguageFile(L"[Brimvale_TestForm]\r\nLabel_cpu_usage.Caption=" + kGreek + L"\r\n"
                      L"Button_go.Caption=" + kCjk + L"\r\n");
    Translate(t.form);
    EXPECT_EQ(kGreek, t.figure->Caption());
    EXPECT_EQ(kCjk, t.button->Caption());
    EXPECT_EQ(kCjk, t.listView->ColumnCaption(1));  // kept: now the current caption
}

TEST_F(TranslateFormTest, WidgetsWithAClassNameOfTheirOwnAreLeftAlone) {
    WriteLanguageFile(L"[Brimvale_PlainForm]\r\nLabel_mine.Caption=translated\r\n"
                      L"Label_plain.Caption=translated\r\n");
    TTntForm form(L"PlainForm", "TTranslateTestForm", TestForm::Options());
    auto* mine = form.Add<TMyLabel>(CreateArgs{.name = L"Label_mine", .bounds = {0, 0, 80, 13}, .caption = L"Mine"});
    auto* plain = form.Add<TTntLabel>(CreateArgs{.name = L"Label_plain", .bounds = {0, 20, 80, 13}, .caption = L"Plain"});
    EXPECT_EQ(1 + 1, Translate(form));
    EXPECT_EQ(L"Mine", mine->Caption());
    EXPECT_EQ(L"translated", plain->Caption());
}

TEST(ListViewColumns, KeepLongAndForeignCaptionsAndIgnoreIndicesOutOfRange) {
    TTntForm form(L"ColumnsForm", "TTranslateTestForm", TestForm::Options());
    auto* list = form.Add<TTntListView>(CreateArgs{.name = L"List", .bounds = {0, 0, 200, 100}});
    EXPECT_EQ(0, list->ColumnCount());
    EXPECT_EQ(L"", list->ColumnCaption(0));
    EXPECT_EQ(0, list->AddColumn(kGreek, 50));
    EXPECT_EQ(1, list->AddColumn(L"", 50));
    EXPECT_EQ(2, list->ColumnCount());
    EXPECT_EQ(kGreek, list->ColumnCaption(0));
    EXPECT_EQ(L"", list->ColumnCaption(1));

    const std::wstring longText(2047, L'\x6F22');
    list->SetColumnCaption(1, longText);
    EXPECT_EQ(longText, list->ColumnCaption(1));
    list->SetColumnCaption(2, L"nowhere");
    list->SetColumnCaption(-1, L"nowhere");
    EXPECT_EQ(2, list->ColumnCount());
    EXPECT_EQ(L"", list->ColumnCaption(-1));
    EXPECT_EQ(L"", list->ColumnCaption(2));
    EXPECT_EQ(kGreek, list->ColumnCaption(0));
}
