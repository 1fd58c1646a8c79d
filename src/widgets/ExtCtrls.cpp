#include "widgets/ExtCtrls.h"

#include <commctrl.h>

#include "widgets/Errors.h"
#include "widgets/Form.h"

namespace widgets {
namespace {

const wchar_t kImageClass[] = L"TTntImageWindow";

void RegisterImageClass(WNDPROC proc) {
    static bool registered = false;
    if (registered) return;
    WNDCLASSW wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kImageClass;
    registered = ::RegisterClassW(&wc) != 0;
}

}  // namespace

TTntImage::TTntImage(TTntForm& form, std::wstring name, const Bounds& bounds, bool visible,
                     std::string className)
    : TControl(form, std::move(name), std::move(className)) {
    RegisterImageClass(&TTntImage::WndProc);
    CreateHandle(kImageClass, visible ? WS_VISIBLE : 0, 0, bounds, L"");
    ::SetWindowLongPtrW(Handle(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TBitmap& TTntImage::Picture() {
    if (picture_.Empty()) picture_.SetSize(Width(), Height());
    return picture_;
}

void TTntImage::SetIcon(UniqueIcon icon) {
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
    ti.hwnd = Form().Handle();
    ti.uId = reinterpret_cast<UINT_PTR>(Handle());
    ti.lpszText = const_cast<wchar_t*>(hint_.c_str());
    return ti;
}

void TTntImage::createTooltip(const MSG& firstMove) {
    tooltip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Form().Handle(), nullptr,
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

LRESULT CALLBACK TTntImage::WndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TTntImage*>(::GetWindowLongPtrW(wnd, GWLP_USERDATA));
    if (msg == WM_PAINT && self) {
        PaintDc dc(wnd);
        Dispatch([&] { self->Paint(dc.get()); });
        return 0;
    }
    if (msg == WM_MOUSEMOVE && self && !self->tooltip_ && !self->hint_.empty()) {
        MSG move{wnd, msg, wParam, lParam, static_cast<DWORD>(::GetMessageTime()), {}};
        const DWORD at = ::GetMessagePos();
        move.pt = POINT{static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
        Dispatch([&] { self->createTooltip(move); });
    }
    if (msg == WM_ERASEBKGND) return 1;  // Paint covers the whole client area
    return ::DefWindowProcW(wnd, msg, wParam, lParam);
}

TTimer::TTimer(TTntForm& form, std::wstring name, unsigned interval, bool enabled,
               std::string className)
    : TComponent(std::move(name), std::move(className)),
      form_(form),
      id_(form.NextTimerId()),
      interval_(interval),
      enabled_(enabled) {
    update();
}

TTimer::~TTimer() {
    if (form_.Handle()) ::KillTimer(form_.Handle(), id_);
}

void TTimer::SetEnabled(bool enabled) {
    if (enabled != enabled_) {
        enabled_ = enabled;
        update();
    }
}

void TTimer::SetInterval(unsigned interval) {
    if (interval != interval_) {
        interval_ = interval;
        update();
    }
}

void TTimer::update() {
    ::KillTimer(form_.Handle(), id_);
    if (enabled_ && interval_ != 0) ::SetTimer(form_.Handle(), id_, interval_, nullptr);
}

}  // namespace widgets
