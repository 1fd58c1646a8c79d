#include "widgets/Control.h"

#include "widgets/Form.h"

namespace widgets {

UniqueFont CreateFontFor(const FontStyle& style) {
    LOGFONTW lf{};
    lf.lfHeight = style.height;
    lf.lfWeight = style.bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(lf.lfFaceName, style.name.c_str(), LF_FACESIZE);
    return UniqueFont(::CreateFontIndirectW(&lf));
}

TControl::TControl(TTntForm& form, std::wstring name, std::string className)
    : TComponent(std::move(name), std::move(className)),
      form_(form),
      id_(form.NextControlId()),
      fontStyle_(form.Font()) {}

void TControl::CreateHandle(const wchar_t* windowClass, DWORD style, DWORD exStyle,
                            const Bounds& bounds, const std::wstring& caption) {
    bounds_ = bounds;
    visible_ = (style & WS_VISIBLE) != 0;
    hwnd_ = ::CreateWindowExW(exStyle, windowClass, caption.c_str(), WS_CHILD | WS_CLIPSIBLINGS | style, bounds.left,
                              bounds.top, bounds.width, bounds.height, form_.Handle(),
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)),
                              ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(form_.FontHandle()), FALSE);
}

void TControl::SetBounds(int left, int top, int width, int height) {
    const Bounds old = bounds_;
    bounds_ = {left, top, width, height};
    if (!hwnd_) return;
    // No copied bits: a right-aligned label that moves while it shrinks
    // would otherwise carry its old text along. The parent repaints what
    // the control no longer covers.
    ::SetWindowPos(hwnd_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    RECT uncovered{old.left, old.top, old.left + old.width, old.top + old.height};
    ::InvalidateRect(::GetParent(hwnd_), &uncovered, TRUE);
}

void TControl::SetVisible(bool visible) {
    visible_ = visible;
    if (hwnd_) ::ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
}

bool TControl::Enabled() const { return hwnd_ && ::IsWindowEnabled(hwnd_); }
void TControl::SetEnabled(bool enabled) {
    if (hwnd_) ::EnableWindow(hwnd_, enabled);
}

std::wstring TControl::Caption() const {
    if (!hwnd_) return {};
    const int length = ::GetWindowTextLengthW(hwnd_);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(hwnd_, &text[0], length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

void TControl::SetCaption(const std::wstring& caption) {
    if (hwnd_ && Caption() != caption) {
        ::SetWindowTextW(hwnd_, caption.c_str());
        CaptionChanged();
    }
}

void TControl::SetFont(const FontStyle& style) {
    fontStyle_ = style;
    FontStyle formFont = form_.Font();
    formFont.color = style.color;
    HFONT handle = form_.FontHandle();
    if (style == formFont) {
        font_.reset();  // colour alone does not need a font of its own
    } else {
        font_ = CreateFontFor(style);
        handle = font_.get();
    }
    if (hwnd_) ::SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(handle), TRUE);
    CaptionChanged();
}

void TControl::SetParentWindow(HWND parent) {
    if (hwnd_) ::SetParent(hwnd_, parent);
}

HBRUSH TControl::CtlColor(HDC dc) {
    ::SetTextColor(dc, fontStyle_.color);
    ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
    return ::GetSysColorBrush(COLOR_BTNFACE);
}

}  // namespace widgets
