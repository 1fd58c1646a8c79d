#include "widgets/Form.h"

#include <vector>

#include "widgets/Errors.h"
#include "widgets/Program.h"

namespace widgets {
namespace {

RECT WorkArea() {
    RECT area{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

// Where a window of that size stands in the middle of the area.
POINT CentredIn(const RECT& area, int width, int height) {
    return {area.left + ((area.right - area.left) - width) / 2, area.top + ((area.bottom - area.top) - height) / 2};
}

}  // namespace

TTntForm::TTntForm(std::wstring name, std::string className, const FormOptions& options, HWND owner)
    : TComponent(std::move(name), className), fontStyle_(options.font) {
    const std::wstring windowClass(className.begin(), className.end());
    RegisterWindowClass(
        {.name = windowClass.c_str(), .iconId = options.iconId, .background = ::GetSysColorBrush(COLOR_BTNFACE)});
    font_ = CreateFontFor(fontStyle_);
    const DWORD style = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | (options.minimizeBox ? WS_MINIMIZEBOX : 0);
    const DWORD exStyle = options.appWindow ? WS_EX_APPWINDOW : WS_EX_DLGMODALFRAME;
    clientHeight_ = options.shownClientHeight > 0 ? options.shownClientHeight : options.clientHeight;
    bottomShift_ = clientHeight_ - options.clientHeight;
    RECT r{0, 0, options.clientWidth, clientHeight_};
    ::AdjustWindowRectEx(&r, style, FALSE, exStyle);
    WindowArgs window;
    window.what = Name();
    window.className = windowClass.c_str();
    window.text = options.caption.c_str();
    window.style = style;
    window.exStyle = exStyle;
    window.width = r.right - r.left;
    window.height = r.bottom - r.top;
    // Made in the middle of the work area, where CenterOn(nullptr) would
    // move it: one move of a top-level window fewer.
    const POINT at = CentredIn(WorkArea(), window.width, window.height);
    window.left = at.x;
    window.top = at.y;
    window.parent = owner;
    Create(window);
}

// The window goes while the form is still a form: its last messages reach
// this class's handler, and its child windows go with it.
TTntForm::~TTntForm() { DestroyHandle(); }

void TTntForm::CreateControls(std::initializer_list<LayoutRow> layout) {
    std::vector<HWND> inFront;
    for (const LayoutRow& row : layout) {
        TControl* control = row.create(*this, row.args, row.member);
        if (row.args.inFront) inFront.push_back(control->Handle());
    }
    for (HWND wnd : inFront) ::SetWindowPos(wnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

TControl* TTntForm::controlById(int id) const {
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* c = dynamic_cast<TControl*>(Components(i)); c && c->Id() == id) return c;
    return nullptr;
}

TControl* TTntForm::ControlNamed(const std::wstring& name) const {
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* c = dynamic_cast<TControl*>(Components(i)); c && c->Name() == name) return c;
    return nullptr;
}

TControl* TTntForm::controlByHandle(HWND wnd) const {
    if (!wnd) return nullptr;
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* c = dynamic_cast<TControl*>(Components(i)); c && c->Handle() == wnd) return c;
    return nullptr;
}

bool TTntForm::timerFired(UINT_PTR id) const {
    for (int i = 0; i < ComponentCount(); ++i)
        if (Components(i)->TimerFired(id)) return true;
    return false;
}

LRESULT TTntForm::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_COMMAND:
            if (TControl* c = controlByHandle(reinterpret_cast<HWND>(lParam))) {
                c->Command(HIWORD(wParam));
                return 0;
            }
            break;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            if (TControl* c = controlByHandle(reinterpret_cast<HWND>(lParam)))
                return reinterpret_cast<LRESULT>(c->CtlColor(reinterpret_cast<HDC>(wParam)));
            break;
        case WM_DRAWITEM:
            if (TControl* c = controlById(static_cast<int>(wParam)))
                if (c->DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) return TRUE;
            break;
        case WM_TIMER:
            if (timerFired(wParam)) return 0;
            break;
        case WM_SHOWWINDOW:
            if (wParam) {
                focusOnReturn_ = nullptr;
                if (OnShow) Dispatch(OnShow);
            }
            break;
        case WM_ACTIVATE:
            // The focus goes to a control, not to the form itself (which is
            // what the default handling does): a keyboard user sees where
            // Tab starts.
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = ::GetFocus();
                focusOnReturn_ = focus && ::IsChild(Handle(), focus) ? focus : nullptr;
            } else if (!HIWORD(wParam)) {  // not while minimised
                focusOnActivation();
                return 0;
            }
            break;
        case WM_SETFOCUS:
            // The form itself got the focus (restored from the taskbar, say):
            // it goes on to a control, as on activation.
            if (HWND target = focusTarget()) {
                ::SetFocus(target);
                return 0;
            }
            break;
        case WM_CLOSE: {
            TCloseAction action = TCloseAction::Hide;
            if (OnClose) Dispatch([&] { OnClose(action); });
            if (action == TCloseAction::Hide) Hide();
            if (action == TCloseAction::Free) FormFreed(*this);
            return 0;
        }
        case WM_QUERYENDSESSION:
        case WM_ENDSESSION:
            // A form's own close request hides it (above); the session's end
            // ends the program.
            return *HandleEndRequest(msg, wParam);
        case WM_SIZE:
            if (wParam != SIZE_MINIMIZED) {
                const int height = HIWORD(lParam);
                realignBottomAnchored(clientHeight_, height);
                clientHeight_ = height;
            }
            break;
        default:
            break;
    }
    return DefaultProc(msg, wParam, lParam);
}

// The control that had the focus before the form went inactive, if it can
// still take it; otherwise the first control in tab order; otherwise the
// form itself.
HWND TTntForm::focusTarget() const {
    HWND target = focusOnReturn_;
    if (!target || !::IsChild(Handle(), target) || !::IsWindowVisible(target) || !::IsWindowEnabled(target))
        target = ::GetNextDlgTabItem(Handle(), nullptr, FALSE);
    return target;
}

void TTntForm::focusOnActivation() {
    HWND target = focusTarget();
    ::SetFocus(target ? target : Handle());
}

bool TTntForm::HandleDialogMessage(MSG& msg) {
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN && msg.hwnd == ::GetFocus()) {
        // The focused control may take Enter itself (a push button does);
        // otherwise the dialog handling below gets it.
        constexpr LPARAM kRepeat = LPARAM{1} << 30;  // the key was already down
        TControl* focused = controlByHandle(msg.hwnd);
        if (focused && focused->EnterPressed((msg.lParam & kRepeat) != 0)) return true;
    }
    return ::IsDialogMessageW(Handle(), &msg) != FALSE;
}

void TTntForm::realignBottomAnchored(int oldClientHeight, int newClientHeight) {
    const int delta = newClientHeight - oldClientHeight;
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* c = dynamic_cast<TControl*>(Components(i))) c->FormClientHeightChanged(delta);
}

std::wstring TTntForm::Caption() const { return WindowText(Handle()); }

void TTntForm::SetCaption(const std::wstring& caption) { ::SetWindowTextW(Handle(), caption.c_str()); }

namespace {
RECT WindowRect(HWND wnd) {
    RECT r{};
    ::GetWindowRect(wnd, &r);
    return r;
}
}  // namespace

int TTntForm::Left() const { return WindowRect(Handle()).left; }
int TTntForm::Top() const { return WindowRect(Handle()).top; }
int TTntForm::Width() const {
    const RECT r = WindowRect(Handle());
    return r.right - r.left;
}
int TTntForm::Height() const {
    const RECT r = WindowRect(Handle());
    return r.bottom - r.top;
}

void TTntForm::SetHeight(int height) {
    ::SetWindowPos(Handle(), nullptr, 0, 0, Width(), height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TTntForm::GrowBelowBottomRows(int extra) {
    // Counted as the client height already: the resize moves no row.
    clientHeight_ += extra;
    SetHeight(Height() + extra);
}

int TTntForm::ClientWidth() const {
    RECT r{};
    ::GetClientRect(Handle(), &r);
    return r.right;
}
int TTntForm::ClientHeight() const {
    RECT r{};
    ::GetClientRect(Handle(), &r);
    return r.bottom;
}

void TTntForm::CenterOn(HWND other) {
    RECT area{};
    if (other && ::IsWindowVisible(other))
        ::GetWindowRect(other, &area);
    else
        area = WorkArea();
    const POINT at = CentredIn(area, Width(), Height());
    ::SetWindowPos(Handle(), nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool TTntForm::Visible() const { return Handle() && ::IsWindowVisible(Handle()); }
bool TTntForm::Iconic() const { return Handle() && ::IsIconic(Handle()); }

void TTntForm::Show() {
    ::ShowWindow(Handle(), Iconic() ? SW_RESTORE : SW_SHOW);
    ::SetForegroundWindow(Handle());
}

void TTntForm::Hide() {
    // A modal form enables its owner before it hides: a window hidden while
    // its owner is still disabled hands the activation to another program's
    // window, and the owner, enabled a moment later, stays behind it.
    if (modal_) {
        if (HWND owner = ::GetWindow(Handle(), GW_OWNER)) ::EnableWindow(owner, TRUE);
    }
    ::ShowWindow(Handle(), SW_HIDE);
    // A modal loop waits in GetMessage: make sure it wakes up and sees this.
    if (modal_) ::PostMessageW(Handle(), WM_NULL, 0, 0);
}

void TTntForm::Close() { ::SendMessageW(Handle(), WM_CLOSE, 0, 0); }

void TTntForm::ShowModal() {
    HWND owner = ::GetWindow(Handle(), GW_OWNER);
    modal_ = true;
    if (owner) ::EnableWindow(owner, FALSE);
    CenterOn(owner);
    Show();
    MSG msg;
    while (Visible()) {
        if (ProgramEnding()) {
            // Exit (or the session's end) came from a handler run inside this
            // loop, and its quit may have been taken by an inner pump: close
            // the dialog and leave the quit for the loop outside.
            ::PostQuitMessage(0);
            Hide();
            break;
        }
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            // WM_QUIT: close the dialog and let the main loop see it.
            ::PostQuitMessage(got == 0 ? static_cast<int>(msg.wParam) : 0);
            Hide();
            break;
        }
        if (!HandleDialogMessage(msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    if (owner) {
        ::EnableWindow(owner, TRUE);
        if (::IsWindowVisible(owner)) ::SetActiveWindow(owner);
    }
    modal_ = false;
}

}  // namespace widgets
