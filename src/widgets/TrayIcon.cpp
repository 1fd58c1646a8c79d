#include "widgets/TrayIcon.h"

#include <shellapi.h>

#include "widgets/Application.h"
#include "widgets/Errors.h"
#include "widgets/Form.h"
#include "widgets/Menus.h"
#include "widgets/MessageFilter.h"
#include "widgets/Trace.h"

namespace widgets {
namespace {

const wchar_t kTrayClass[] = L"TTextTrayIconWindow";
constexpr UINT kIconId = 1;
constexpr int kIconResource = 1;  // the program's own icon until the first picture

#ifdef NOTIFYICONDATAW_V2_SIZE
constexpr DWORD kNotifySize = NOTIFYICONDATAW_V2_SIZE;  // accepted from XP on
#else
constexpr DWORD kNotifySize = sizeof(NOTIFYICONDATAW);
#endif

}  // namespace

BOOL(WINAPI* ShellNotifyIcon)(DWORD message, PNOTIFYICONDATAW data) = ::Shell_NotifyIconW;

TTextTrayIcon::TTextTrayIcon(TTntForm& mainForm, std::wstring name, std::string className)
    : TComponent(std::move(name), std::move(className)), mainForm_(mainForm) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &TTextTrayIcon::WndProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = kTrayClass;
        registered = ::RegisterClassW(&wc) != 0;
    }
    // A hidden top-level window: it receives the tray's callbacks and the
    // TaskbarCreated broadcast (which message-only windows do not get).
    wnd_ = ::CreateWindowExW(WS_EX_TOOLWINDOW, kTrayClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                             nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::SetWindowLongPtrW(wnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    taskbarCreated_ = ::RegisterWindowMessageW(L"TaskbarCreated");
    // An elevated copy would otherwise never hear that the shell restarted.
    (void)AllowMessageThroughFilter(wnd_, taskbarCreated_);
    icon_.reset(static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr),
                                                 MAKEINTRESOURCEW(kIconResource), IMAGE_ICON,
                                                 ::GetSystemMetrics(SM_CXSMICON),
                                                 ::GetSystemMetrics(SM_CYSMICON), 0)));
    present();
}

TTextTrayIcon::~TTextTrayIcon() {
    // Also when no call was ever confirmed: a busy shell may hold the icon
    // all the same. Deleting an icon it does not hold merely fails.
    notify(NIM_DELETE);
    if (wnd_) ::DestroyWindow(wnd_);
}

bool TTextTrayIcon::notify(DWORD message) {
    NOTIFYICONDATAW data{};
    data.cbSize = kNotifySize;
    data.hWnd = wnd_;
    data.uID = kIconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kCallbackMessage;
    data.hIcon = icon_.get();
    lstrcpynW(data.szTip, hint_.c_str(), ARRAYSIZE(data.szTip));
    return ShellNotifyIcon(message, &data) != FALSE;
}

// A failed call does not say whether the tray holds the icon: a busy shell
// (at logon, say) lets a modify time out although the icon is there, and then
// refuses an add because it is. So: modify when the icon counts as present;
// otherwise, or when that fails, add; when the add fails, modify. The icon
// counts as present as soon as one call succeeds, and the next update tries
// again whatever happened this time.
void TTextTrayIcon::present() {
    if (added_ && notify(NIM_MODIFY)) return;
    added_ = notify(NIM_ADD) || notify(NIM_MODIFY);
    if (added_) Trace(L"tray icon added (at start, after the shell restarted, or on a retry)");
}

void TTextTrayIcon::SetHint(const std::wstring& hint) {
    if (hint == hint_) return;
    hint_ = hint;
    present();
}

void TTextTrayIcon::SetIcon(UniqueIcon icon) {
    UniqueIcon previous = std::move(icon_);
    icon_ = std::move(icon);
    present();
    // previous is destroyed here, after the tray holds the new icon.
}

void TTextTrayIcon::Update(const std::wstring& hint, UniqueIcon icon) {
    hint_ = hint;
    SetIcon(std::move(icon));
}

void TTextTrayIcon::ShowMainForm() { mainForm_.Show(); }

void TTextTrayIcon::HideMainForm() { mainForm_.Hide(); }

void TTextTrayIcon::HandleCallback(LPARAM mouseMessage) {
    switch (mouseMessage) {
        case WM_LBUTTONUP:
            if (OnClick) Dispatch(OnClick);
            break;
        case WM_RBUTTONUP:
            if (popupMenu_) {
                POINT pt{};
                ::GetCursorPos(&pt);
                popupMenu_->Popup(wnd_, pt.x, pt.y);
            }
            break;
        default:
            break;
    }
}

LRESULT CALLBACK TTextTrayIcon::WndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TTextTrayIcon*>(::GetWindowLongPtrW(wnd, GWLP_USERDATA));
    if (self) {
        if (msg == kCallbackMessage) {
            self->HandleCallback(lParam);
            return 0;
        }
        if (msg == self->taskbarCreated_ && msg != 0) {
            // The new shell holds no icon: add first.
            self->added_ = false;
            self->present();
            return 0;
        }
    }
    // A close request to this hidden window (taskkill without /f, an
    // installer) ends the program as "Exit" does, instead of destroying the
    // window and leaving a dead icon; so does the session's end.
    if (HandleEndRequest(msg, wParam)) return msg == WM_QUERYENDSESSION ? TRUE : 0;
    return ::DefWindowProcW(wnd, msg, wParam, lParam);
}

}  // namespace widgets
