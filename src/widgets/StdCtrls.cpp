#include "widgets/StdCtrls.h"

#include "widgets/Errors.h"
#include "widgets/Form.h"

namespace widgets {
namespace {

// The bounds an auto-sized label takes for its text in its font: one line,
// as wide as the text (nothing when there is none) and as high as a line; a
// right-aligned label keeps its right edge, any other its left edge. Measured
// on a memory DC compatible with the screen, which has the screen's metrics
// and costs no request for the label's own DC.
Bounds FittedBounds(const Bounds& bounds, TAlignment alignment, HFONT font, const std::wstring& text) {
    platform::UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    const auto select = platform::SelectInScope(dc.get(), font);
    RECT r{0, 0, 0, 0};
    const std::wstring measured = text.empty() ? std::wstring(L" ") : text;
    ::DrawTextW(dc.get(), measured.c_str(), static_cast<int>(measured.size()), &r,
                DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE);
    const int width = text.empty() ? 0 : static_cast<int>(r.right);
    const int left = alignment == TAlignment::Right ? bounds.left + bounds.width - width : bounds.left;
    return {left, bounds.top, width, static_cast<int>(r.bottom)};
}

}  // namespace

TTntLabel::TTntLabel(TTntForm& form, const CreateArgs& args)
    : TControl(form, args, "TTntLabel"), autoSize_(args.autoSize), alignment_(args.alignment) {
    DWORD style = SS_NOPREFIX;
    if (alignment_ == TAlignment::Right)
        style |= SS_RIGHT;
    else
        style |= args.wordWrap ? SS_LEFT : SS_LEFTNOWORDWRAP;
    // Made at the size its text takes rather than moved there afterwards.
    CreateArgs fitted = args;
    if (autoSize_) fitted.bounds = FittedBounds(args.bounds, alignment_, form.FontHandle(), args.caption);
    CreateHandle(L"STATIC", style, fitted);
}

void TTntLabel::AdjustSize() {
    if (!autoSize_ || !Handle()) return;
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(Handle(), WM_GETFONT, 0, 0));
    const Bounds fitted = FittedBounds({Left(), Top(), Width(), Height()}, alignment_, font, Caption());
    // A new text of the same size (the usual case: digits are all equally
    // wide) leaves the window where it is.
    if (fitted.left == Left() && fitted.width == Width() && fitted.height == Height()) return;
    SetBounds(fitted.left, fitted.top, fitted.width, fitted.height);
}

TTntButton::TTntButton(TTntForm& form, const CreateArgs& args) : TControl(form, args, "TTntButton") {
    CreateHandle(L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, args);
}

void TTntButton::SetOwnerDrawn(bool ownerDrawn) {
    ::SendMessageW(Handle(), BM_SETSTYLE, ownerDrawn ? BS_OWNERDRAW : BS_PUSHBUTTON, TRUE);
}

bool TTntButton::DrawItem(const DRAWITEMSTRUCT& item) {
    RECT r = item.rcItem;
    const bool pushed = (item.itemState & ODS_SELECTED) != 0;
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    ::DrawFrameControl(item.hDC, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(Handle(), WM_GETFONT, 0, 0));
    const auto select = platform::SelectInScope(item.hDC, font);
    ::SetBkMode(item.hDC, TRANSPARENT);
    ::SetTextColor(item.hDC, disabled ? ::GetSysColor(COLOR_GRAYTEXT) : Font().color);
    RECT text = r;
    if (pushed) ::OffsetRect(&text, 1, 1);
    const std::wstring caption = Caption();
    ::DrawTextW(item.hDC, caption.c_str(), static_cast<int>(caption.size()), &text,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (item.itemState & ODS_FOCUS) {
        RECT focus = r;
        ::InflateRect(&focus, -4, -4);
        ::DrawFocusRect(item.hDC, &focus);
    }
    return true;
}

bool TTntButton::EnterPressed(bool repeated) {
    if (!repeated && ::IsWindowEnabled(Handle())) Click();
    return true;
}

TTntCheckBox::TTntCheckBox(TTntForm& form, const CreateArgs& args) : TControl(form, args, "TTntCheckBox") {
    CreateHandle(L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, args);
}

bool TTntCheckBox::Checked() const {
    return ::SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TTntCheckBox::SetChecked(bool checked) {
    ::SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

}  // namespace widgets
