#include "widgets/Form.h"

#include <set>

#include "widgets/Application.h"
#include "widgets/ComCtrls.h"
#include "widgets/Errors.h"
#include "widgets/ExtCtrls.h"

namespace widgets {
namespace {

void RegisterFormClass(const std::wstring& className, int iconId, WNDPROC proc) {
    static std::set<std::wstring> registered;
    if (registered.count(className)) return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = className.c_str();
    if (iconId) {
        // Icons loaded from resources with LoadIcon are shared: never destroyed.
        wc.hIcon = ::LoadIconW(wc.hInstance, MAKEINTRESOURCEW(iconId));
        wc.hIconSm = static_cast<HICON>(::LoadImageW(wc.hInstance, MAKEINTRESOURCEW(iconId), IMAGE_ICON,
                                                     ::GetSystemMetrics(SM_CXSMICON),
                                                     ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    }
    if (::RegisterClassExW(&wc)) registered.insert(className);
}

}  // namespace

TTntForm::TTntForm(std::wstring name, std::string className, const FormOptions& options, HWND owner)
    : TComponent(std::move(name), className), fontStyle_(options.font) {
    const std::wstring windowClass(className.begin(), className.end());
    RegisterFormClass(windowClass, options.iconId, &TTntForm::StaticWndProc);
    font_ = CreateFontFor(fontStyle_);
    const DWORD style = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | (options.minimizeBox ? WS_MINIMIZEBOX : 0);
    const DWORD exStyle = options.appWindow ? WS_EX_APPWINDOW : WS_EX_DLGMODALFRAME;
    RECT r{0, 0, options.clientWidth, options.clientHeight};
    ::AdjustWindowRectEx(&r, style, FALSE, exStyle);
    clientHeight_ = options.clientHeight;
    ::CreateWindowExW(exStyle, windowClass.c_str(), options.caption.c_str(), style, 0, 0,
                      r.right - r.left, r.bottom - r.top, owner, nullptr, ::GetModuleHandleW(nullptr),
                      this);
    CenterOn(nullptr);
}

TTntForm::~TTntForm() {
    if (hwnd_) ::DestroyWindow(hwnd_);
}

LRESULT CALLBACK TTntForm::StaticWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    TTntForm* self;
    if (msg == WM_NCCREATE) {
        self = static_cast<TTntForm*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = wnd;
        ::SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<TTntForm*>(::GetWindowLongPtrW(wnd, GWLP_USERDATA));
    }
    if (!self) return ::DefWindowProcW(wnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrW(wnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        return ::DefWindowProcW(wnd, msg, wParam, lParam);
    }
    LRESULT result = 0;
    try {
        result = self->WndProc(msg, wParam, lParam);
    } catch (...) {
        // Handlers run through Dispatch; nothing may cross into the system.
    }
    return result;
}

LRESULT TTntForm::DefaultProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcW(hwnd_, msg, wParam, lParam);
}

TControl* TTntForm::controlById(int id) const {
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* c = dynamic_cast<TControl*>(Components(i)); c && c->Id() == id) return c;
    return nullptr;
}

TControl* TTntForm::controlByHandle(HWND wnd) const {
    if (!wnd) return nullptr;
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* c = dynamic_cast<TControl*>(Components(i)); c && c->Handle() == wnd) return c;
    return nullptr;
}

TTimer* TTntForm::timerById(UINT_PTR id) const {
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* t = dynamic_cast<TTimer*>(Components(i)); t && t->Id() == id) return t;
    return nullptr;
}

LRESULT TTntForm::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
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
            if (TTimer* t = timerById(wParam)) {
                if (t->Enabled() && t->OnTimer) Dispatch(t->OnTimer);
                return 0;
            }
            break;
        case WM_SHOWWINDOW:
            if (wParam && OnShow) Dispatch(OnShow);
            break;
        case WM_CLOSE: {
            TCloseAction action = TCloseAction::Hide;
            if (OnClose) Dispatch([&] { OnClose(action); });
            if (action == TCloseAction::Hide) Hide();
            if (action == TCloseAction::Free && Application.MainForm() == this) Application.Terminate();
            return 0;
        }
        case WM_QUERYENDSESSION:
        case WM_ENDSESSION:
            // A form's own close request hides it (above); the session's end
            // ends the program.
            (void)HandleEndRequest(msg, wParam);
            return msg == WM_QUERYENDSESSION ? TRUE : 0;
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

void TTntForm::realignBottomAnchored(int oldClientHeight, int newClientHeight) {
    const int delta = newClientHeight - oldClientHeight;
    for (int i = 0; i < ComponentCount(); ++i) {
        if (auto* bar = dynamic_cast<TTntStatusBar*>(Components(i))) {
            bar->Realign();
            continue;
        }
        auto* c = dynamic_cast<TControl*>(Components(i));
        if (c && c->AnchorBottom() && delta != 0 && ::GetParent(c->Handle()) == hwnd_)
            c->SetTop(c->Top() + delta);
    }
}

std::wstring TTntForm::Caption() const {
    const int length = ::GetWindowTextLengthW(hwnd_);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(hwnd_, &text[0], length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

void TTntForm::SetCaption(const std::wstring& caption) { ::SetWindowTextW(hwnd_, caption.c_str()); }

namespace {
RECT WindowRect(HWND wnd) {
    RECT r{};
    ::GetWindowRect(wnd, &r);
    return r;
}
}  // namespace

int TTntForm::Left() const { return WindowRect(hwnd_).left; }
int TTntForm::Top() const { return WindowRect(hwnd_).top; }
int TTntForm::Width() const {
    const RECT r = WindowRect(hwnd_);
    return r.right - r.left;
}
int TTntForm::Height() const {
    const RECT r = WindowRect(hwnd_);
    return r.bottom - r.top;
}

void TTntForm::SetHeight(int height) {
    ::SetWindowPos(hwnd_, nullptr, 0, 0, Width(), height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int TTntForm::ClientWidth() const {
    RECT r{};
    ::GetClientRect(hwnd_, &r);
    return r.right;
}
int TTntForm::ClientHeight() const {
    RECT r{};
    ::GetClientRect(hwnd_, &r);
    return r.bottom;
}

void TTntForm::CenterOn(HWND other) {
    RECT area{};
    if (other && ::IsWindowVisible(other))
        ::GetWindowRect(other, &area);
    else
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    const int x = area.left + ((area.right - area.left) - Width()) / 2;
    const int y = area.top + ((area.bottom - area.top) - Height()) / 2;
    ::SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool TTntForm::Visible() const { return hwnd_ && ::IsWindowVisible(hwnd_); }
bool TTntForm::Iconic() const { return hwnd_ && ::IsIconic(hwnd_); }

void TTntForm::Show() {
    ::ShowWindow(hwnd_, Iconic() ? SW_RESTORE : SW_SHOW);
    ::SetForegroundWindow(hwnd_);
}

void TTntForm::Hide() {
    ::ShowWindow(hwnd_, SW_HIDE);
    // A modal loop waits in GetMessage: make sure it wakes up and sees this.
    if (modal_) ::PostMessageW(hwnd_, WM_NULL, 0, 0);
}

void TTntForm::Close() { ::SendMessageW(hwnd_, WM_CLOSE, 0, 0); }

void TTntForm::ShowModal() {
    HWND owner = ::GetWindow(hwnd_, GW_OWNER);
    modal_ = true;
    if (owner) ::EnableWindow(owner, FALSE);
    CenterOn(owner);
    Show();
    MSG msg;
    while (Visible()) {
        if (Application.Terminated()) {
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
        if (!::IsDialogMessageW(hwnd_, &msg)) {
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
