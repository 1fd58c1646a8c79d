#include "widgets/ExtCtrls.h"

#include <commctrl.h>

#include "widgets/Errors.h"
#include "widgets/Form.h"

namespace widgets {
TTntImage::TTntImage(TTntForm& form, const CreateArgs& args) : TControl(form, args, "TTntImage") {
    RegisterWindowClass({.name = L"TTntImageWindow"});
    CreateHandle(L"TTntImageWindow", 0, args, 0, this);
}

TBitmap& TTntImage::Picture() {
    if (picture_.Empty()) picture_.SetSize(Width(), Height());
    return picture_;
}

void TTntImage::SetIcon(platform::UniqueIcon icon) {
    icon_ = std::move(icon);
    Invalidate();
}

void TTntImage::SetHint(const std::wstring& hint) {
    hint_ = hint;
    // The tooltip window itself is made when the mouse first rests on the
    // image (see WndProc): making it is one of the dearer steps of the
    // start, and a program that lives in the tray may never need it.
    if (tooltip_) {
        TOOLINFOW ti = toolInfo();
        ::SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
    }
}

TOOLINFOW TTntImage::toolInfo() {
    TOOLINFOW ti{};
    ti.cbSize = TTTOOLINFOW_V1_SIZE;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = FormHandle();
    ti.uId = reinterpret_cast<UINT_PTR>(Handle());
    ti.lpszText = const_cast<wchar_t*>(hint_.c_str());
    return ti;
}

void TTntImage::createTooltip(const MSG& firstMove) {
    tooltip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, FormHandle(), nullptr,
                                 ::GetModuleHandleW(nullptr), nullptr);
    if (!tooltip_) return;
    TOOLINFOW ti = toolInfo();
    ::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    // From now on the tooltip watches the image's mouse messages itself; this
    // first one it is told of, so that it starts counting towards showing.
    MSG relayed = firstMove;
    ::SendMessageW(tooltip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

void TTntImage::Invalidate() {
    // A hidden image (or one on a hidden window, the usual state of the
    // resident program) is painted whole when it shows: nothing to mark.
    if (Handle() && ::IsWindowVisible(Handle())) ::InvalidateRect(Handle(), nullptr, FALSE);
}

void TTntImage::Paint(HDC dc) {
    RECT r{};
    ::GetClientRect(Handle(), &r);
    if (icon_) {
        ::FillRect(dc, &r, ::GetSysColorBrush(COLOR_BTNFACE));
        ::DrawIconEx(dc, 0, 0, icon_.get(), r.right, r.bottom, 0, nullptr, DI_NORMAL);
    } else if (!picture_.Empty()) {
        ::BitBlt(dc, 0, 0, picture_.Width(), picture_.Height(), picture_.Dc(), 0, 0, SRCCOPY);
    } else {
        ::FillRect(dc, &r, ::GetSysColorBrush(COLOR_BTNFACE));
    }
}

LRESULT TTntImage::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_PAINT: {
            PaintDc dc(Handle());
            Dispatch([&] { Paint(dc.get()); });
            return 0;
        }
        case WM_MOUSEMOVE:
            if (!tooltip_ && !hint_.empty()) {
                MSG move{Handle(), msg, wParam, lParam, static_cast<DWORD>(::GetMessageTime()), {}};
                const DWORD at = ::GetMessagePos();
                move.pt = POINT{static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
                Dispatch([&] { createTooltip(move); });
            }
            break;
        case WM_ERASEBKGND:
            return 1;  // Paint covers the whole client area
        default:
            break;
    }
    return DefaultProc(msg, wParam, lParam);
}

TTimer::TTimer(TTntForm& form, const TimerArgs& args)
    : TComponent(args.name, "TTimer"),
      form_(form),
      id_(form.NextTimerId()),
      interval_(args.interval),
      enabled_(args.enabled) {
    update();
}

TTimer::~TTimer() {
    if (form_.Handle()) ::KillTimer(form_.Handle(), id_);
}

bool TTimer::TimerFired(std::uintptr_t timerId) {
    if (timerId != id_) return false;
    if (enabled_ && OnTimer) Dispatch(OnTimer);
    return true;
}

void TTimer::SetEnabled(bool enabled) { update(interval_, enabled); }

void TTimer::SetInterval(unsigned interval) { update(interval, enabled_); }

void TTimer::update(unsigned interval, bool enabled) {
    if (interval == interval_ && enabled == enabled_) return;
    interval_ = interval;
    enabled_ = enabled;
    update();
}

void TTimer::update() {
    ::KillTimer(form_.Handle(), id_);
    if (enabled_ && interval_ != 0) ::SetTimer(form_.Handle(), id_, interval_, nullptr);
}

}  // namespace widgets
