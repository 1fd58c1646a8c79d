#include "widgets/Control.h"

#include "widgets/Errors.h"
#include "widgets/Window.h"

namespace widgets {

platform::UniqueFont CreateFontFor(const FontStyle& style) {
    LOGFONTW lf{};
    lf.lfHeight = style.height;
    lf.lfWeight = style.bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(lf.lfFaceName, style.name.c_str(), LF_FACESIZE);
    return platform::UniqueFont(::CreateFontIndirectW(&lf));
}

// An explicit id in the automatic range could be shared with another control,
// and WM_COMMAND or WM_DRAWITEM would then reach the wrong one.
static int ControlId(TControlHost& form, const CreateArgs& args) {
    if (!args.id) return form.NextControlId();
    if (args.id < 0 || args.id >= TControlHost::kFirstAutomaticControlId)
        throw platform::Exception(L"Control id out of range: " + std::to_wstring(args.id));
    return args.id;
}

TControl::TControl(TControlHost& form, const CreateArgs& args, const char* ownClassName)
    : TComponent(args.name, args.className.empty() ? std::string(ownClassName) : args.className),
      host_(form),
      id_(ControlId(form, args)),
      anchorBottom_(args.anchorBottom),
      fontStyle_(form.Font()) {}

void TControl::CreateHandle(const wchar_t* windowClass, DWORD style, const CreateArgs& args, DWORD exStyle,
                            TWindowBase* attach) {
    bounds_ = args.bounds;
    if (anchorBottom_) bounds_.top += host_.BottomShift();
    visible_ = args.visible;
    WindowArgs window;
    window.what = Name();
    window.className = windowClass;
    window.text = args.caption.c_str();
    window.style = WS_CHILD | WS_CLIPSIBLINGS | style | (args.visible ? WS_VISIBLE : 0);
    window.exStyle = exStyle;
    window.left = bounds_.left;
    window.top = bounds_.top;
    window.width = bounds_.width;
    window.height = bounds_.height;
    window.parent = host_.HostHandle();
    if (!args.parent.empty()) {
        if (const TControl* parent = host_.ControlNamed(args.parent)) window.parent = parent->Handle();
    }
    window.id = id_;
    hwnd_ = attach ? attach->Create(window) : CreateChildWindow(window);
    ::SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(host_.FontHandle()), FALSE);
}

void TControl::Command(WORD code) {
    if (code == BN_CLICKED) Click();
}

void TControl::Click() {
    if (OnClick) Dispatch(OnClick);
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

std::wstring TControl::Caption() const { return WindowText(hwnd_); }

void TControl::SetCaption(const std::wstring& caption) {
    if (hwnd_ && Caption() != caption) {
        ::SetWindowTextW(hwnd_, caption.c_str());
        CaptionChanged();
    }
}

void TControl::SetFont(const FontStyle& style) {
    fontStyle_ = style;
    FontStyle formFont = host_.Font();
    formFont.color = style.color;
    HFONT handle = host_.FontHandle();
    if (style == formFont) {
        font_.reset();  // colour alone does not need a font of its own
    } else {
        font_ = CreateFontFor(style);
        handle = font_.get();
    }
    if (hwnd_) ::SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(handle), TRUE);
    CaptionChanged();
}

void TControl::FormClientHeightChanged(int delta) {
    if (anchorBottom_ && delta != 0 && ::GetParent(hwnd_) == host_.HostHandle()) SetTop(Top() + delta);
}

HBRUSH TControl::CtlColor(HDC dc) {
    ::SetTextColor(dc, fontStyle_.color);
    ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
    return ::GetSysColorBrush(COLOR_BTNFACE);
}

}  // namespace widgets
