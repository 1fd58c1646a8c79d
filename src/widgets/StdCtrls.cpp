#include "widgets/StdCtrls.h"

#include "widgets/Errors.h"
#include "widgets/Form.h"

namespace widgets {

TTntLabel::TTntLabel(TTntForm& form, const CreateArgs& args)
    : TControl(form, args, "TTntLabel"), autoSize_(args.autoSize), alignment_(args.alignment) {
    DWORD style = SS_NOPREFIX;
    if (alignment_ == TAlignment::Right)
        style |= SS_RIGHT;
    else
        style |= args.wordWrap ? SS_LEFT : SS_LEFTNOWORDWRAP;
    CreateHandle(L"STATIC", style, args);
    AdjustSize();
}

void TTntLabel::AdjustSize() {
    if (!autoSize_ || !Handle()) return;
    const std::wstring text = Caption();
    WindowDc dc(Handle());
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(Handle(), WM_GETFONT, 0, 0));
    const auto select = SelectInScope(dc.get(), font);
    RECT r{0, 0, 0, 0};
    const std::wstring measured = text.empty() ? std::wstring(L" ") : text;
    ::DrawTextW(dc.get(), measured.c_str(), static_cast<int>(measured.size()), &r,
                DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE);
    const int width = text.empty() ? 0 : static_cast<int>(r.right);
    const int height = static_cast<int>(r.bottom);
    int left = Left();
    if (alignment_ == TAlignment::Right) left = Left() + Width() - width;
    // A new text of the same size (the usual case: digits are all equally
    // wide) leaves the window where it is.
    if (left == Left() && width == Width() && height == Height()) return;
    SetBounds(left, Top(), width, height);
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
    const auto select = SelectInScope(item.hDC, font);
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
