#include <gtest/gtest.h>

#include <string>

#include "localisation/TranslateFormRules.h"

using localisation::CaptionKey;
using localisation::ColumnCaptionKey;
using localisation::TranslatedPart;
using localisation::TranslatedPartOf;

TEST(TranslatedPartOf, EachKnownClassNameGetsItsPart) {
    for (const char* name : {"TTntLabel", "TTntButton", "TTntGroupBox", "TTntCheckBox", "TTntRadioButton",
                             "TTntMenuItem", "TTntToolButton"}) {
        EXPECT_EQ(TranslatedPart::Caption, TranslatedPartOf(name)) << name;
    }
    EXPECT_EQ(TranslatedPart::ColumnCaptions, TranslatedPartOf("TTntListView"));
    EXPECT_EQ(TranslatedPart::NarrowCaption, TranslatedPartOf("TSpeedButton"));
}

TEST(TranslatedPartOf, OnlyTheExactNameCounts) {
    for (const char* name : {"ttntlabel", "TTNTBUTTON", "TTntLabel ", " TTntLabel", "TTntLabelEx", "TMyLabel",
                             "TLabel", "TButton", "TCheckBox", "TListView", "TTntSpeedButton", "TspeedButton",
                             "TTntListview", "TTntMenu", "TTntForm", "TTntImage", "TTntProgressBar",
                             "TTntStatusBar", "TTntPopupMenu", "TTimer", "TTextTrayIcon", ""}) {
        EXPECT_EQ(TranslatedPart::None, TranslatedPartOf(name)) << '"' << name << '"';
    }
    EXPECT_EQ(TranslatedPart::None, TranslatedPartOf(std::string("TTntLabel\0", 10)));
    EXPECT_EQ(TranslatedPart::None, TranslatedPartOf(std::string("TTnt\0Label", 10)));
}

TEST(TranslationKeys, CaptionKeysFollowTheComponentName) {
    EXPECT_EQ(L"Caption", localisation::kFormCaptionKey);
    EXPECT_EQ(L"Label_cpu_usage.Caption", CaptionKey(L"Label_cpu_usage"));
    EXPECT_EQ(L"Tray_Exit.Caption", CaptionKey(L"Tray_Exit"));
    EXPECT_EQ(L"\x0395\x03BB\x6F22.Caption", CaptionKey(L"\x0395\x03BB\x6F22"));
    EXPECT_EQ(L".Caption", CaptionKey(L""));
}

TEST(TranslationKeys, ColumnKeysCarryTheIndexInDecimal) {
    EXPECT_EQ(L"ListView1.Columns[0].Caption", ColumnCaptionKey(L"ListView1", 0));
    EXPECT_EQ(L"ListView1.Columns[1].Caption", ColumnCaptionKey(L"ListView1", 1));
    EXPECT_EQ(L"ListView1.Columns[2].Caption", ColumnCaptionKey(L"ListView1", 2));
    EXPECT_EQ(L"List.Columns[10].Caption", ColumnCaptionKey(L"List", 10));
    EXPECT_EQ(L"List.Columns[2147483647].Caption", ColumnCaptionKey(L"List", 2147483647));
}
