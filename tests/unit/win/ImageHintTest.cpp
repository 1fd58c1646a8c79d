// The image's hint: its tooltip window is made only when the mouse first
// moves over the image, then serves every later hint.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <string>

#include "widgets/ExtCtrls.h"
#include "widgets/Form.h"

using namespace widgets;
using namespace platform;

namespace {

struct ImageHint : ::testing::Test {
    static FormOptions Options() {
        FormOptions o;
        o.caption = L"hint test";
        o.clientWidth = 100;
        o.clientHeight = 60;
        return o;
    }
    // The text the tooltip holds for the image (empty without a tooltip).
    std::wstring TipText(TTntImage& image) const {
        if (!image.Tooltip()) return L"";
        wchar_t text[80] = {};
        TOOLINFOW ti{};
        ti.cbSize = TTTOOLINFOW_V1_SIZE;
        ti.hwnd = form.Handle();
        ti.uId = reinterpret_cast<UINT_PTR>(image.Handle());
        ti.lpszText = text;
        ::SendMessageW(image.Tooltip(), TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&ti));
        return text;
    }
    static void MoveOver(TTntImage& image) {
        ::SendMessageW(image.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    }

    TTntForm form{L"ImageHintForm", "TImageHintForm", Options()};
    TTntImage* image = form.Add<TTntImage>(CreateArgs{.name = L"Image", .bounds = {0, 0, 40, 40}});
    TTntImage* plain = form.Add<TTntImage>(CreateArgs{.name = L"Plain", .bounds = {50, 0, 40, 40}});
};

}  // namespace

TEST_F(ImageHint, TheTooltipComesWithTheFirstMouseMoveAndFollowsLaterHints) {
    image->SetHint(L"Cpu Usage");
    EXPECT_EQ(L"Cpu Usage", image->Hint());
    EXPECT_EQ(nullptr, image->Tooltip());  // nothing made before it is needed

    MoveOver(*image);
    HWND tip = image->Tooltip();
    ASSERT_NE(nullptr, tip);
    wchar_t className[64] = {};
    ::GetClassNameW(tip, className, 64);
    EXPECT_STREQ(TOOLTIPS_CLASSW, className);
    EXPECT_EQ(1, ::SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0));
    EXPECT_EQ(L"Cpu Usage", TipText(*image));

    image->SetHint(L"Last");
    MoveOver(*image);
    EXPECT_EQ(tip, image->Tooltip());  // one tooltip, its text replaced
    EXPECT_EQ(1, ::SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0));
    EXPECT_EQ(L"Last", TipText(*image));
}

TEST_F(ImageHint, AnImageWithoutAHintMakesNoTooltip) {
    MoveOver(*plain);
    EXPECT_EQ(nullptr, plain->Tooltip());
    plain->SetHint(L"later");
    EXPECT_EQ(nullptr, plain->Tooltip());
    MoveOver(*plain);
    ASSERT_NE(nullptr, plain->Tooltip());
    EXPECT_EQ(L"later", TipText(*plain));
}
