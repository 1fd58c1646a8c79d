#include "widgets/TrayIcon.h"

#include <shellapi.h>

#include "widgets/Application.h"
#include "widgets/Errors.h"
#include "widgets/Form.h"
#include "widgets/Menus.h"
#include "widgets/MessageFilter.h"
#include "platform/Trace.h"
#include "widgets/TrayIconRules.h"

namespace widgets {
namespace {

constexpr UINT kIconId = 1;

// The record as Windows 2000's shell (5.0) defines it, up to the balloon's
// flags: every later shell accepts it, balloons included, and it keeps no
// field XP lacks (the item's GUID is XP's own, the balloon's icon Vista's).
#ifdef NOTIFYICONDATAW_V2_SIZE
constexpr DWORD kNotifySize = NOTIFYICONDATAW_V2_SIZE;
#else
constexpr DWORD kNotifySize = sizeof(NOTIFYICONDATAW);
#endif

void RealWindowsVersion(int& major, int& minor) {
    // The manifest names Windows 10, so Windows 8.1 and later tell the truth.
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    major = minor = 0;
    if (!::GetVersionExW(&info)) return;
    major = static_cast<int>(info.dwMajorVersion);
    minor = static_cast<int>(info.dwMinorVersion);
}

}  // namespace

BOOL(WINAPI* ShellNotifyIcon)(DWORD message, PNOTIFYICONDATAW data) = ::Shell_NotifyIconW;
void (*ReadWindowsVersion)(int& major, int& minor) = &RealWindowsVersion;

TTextTrayIcon::TTextTrayIcon(TTntForm& mainForm, std::wstring name, TrayIconStart start)
    : TComponent(std::move(name), "TTextTrayIcon"), mainForm_(mainForm) {
    RegisterWindowClass({.name = L"TTextTrayIconWindow"});
    // A hidden top-level window: it receives the tray's callbacks and the
    // TaskbarCreated broadcast (which message-only windows do not get).
    taskbarCreated_ = ::RegisterWindowMessageW(L"TaskbarCreated");
    WindowArgs window;
    window.what = Name();
    window.className = L"TTextTrayIconWindow";
    window.style = WS_POPUP;
    window.exStyle = WS_EX_TOOLWINDOW;
    Create(window);
    // An elevated copy would otherwise never hear that the shell restarted.
    (void)AllowMessageThroughFilter(Handle(), taskbarCreated_);
    if (start == TrayIconStart::AtFirstUpdate) return;
    icon_.reset(static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr),
                                                 MAKEINTRESOURCEW(kProgramIconId), IMAGE_ICON,
                                                 ::GetSystemMetrics(SM_CXSMICON),
                                                 ::GetSystemMetrics(SM_CYSMICON), 0)));
    present();
}

TTextTrayIcon::~TTextTrayIcon() {
    // Also when no call was ever confirmed: a busy shell may hold the icon
    // all the same. Deleting an icon it does not hold merely fails.
    notify(NIM_DELETE);
    DestroyHandle();
}

bool TTextTrayIcon::notify(DWORD message, const NOTIFYICONDATAW* balloon) {
    NOTIFYICONDATAW data = balloon ? *balloon : NOTIFYICONDATAW{};
    data.cbSize = kNotifySize;
    data.hWnd = Handle();
    data.uID = kIconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | (balloon ? NIF_INFO : 0);
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
    started_ = true;
    if (added_ && notify(NIM_MODIFY)) return;
    const bool wasPresent = added_;
    added_ = notify(NIM_ADD) || notify(NIM_MODIFY);
    // Only a change of state is traced: a busy shell may time out every tick.
    if (added_ && !wasPresent) platform::Trace(L"tray icon added (at start, after the shell restarted, or on a retry)");
}

bool TTextTrayIcon::ShowBalloon(const std::wstring& title, const std::wstring& text, BalloonIcon icon) {
    if (!added_) return false;
    NOTIFYICONDATAW balloon{};
    lstrcpynW(balloon.szInfoTitle, title.c_str(), ARRAYSIZE(balloon.szInfoTitle));
    lstrcpynW(balloon.szInfo, text.c_str(), ARRAYSIZE(balloon.szInfo));
    balloon.uTimeout = 10000;  // Windows 2000 and XP only; later shells choose themselves
    int major = 0, minor = 0;
    ReadWindowsVersion(major, minor);
    balloon.dwInfoFlags = BalloonInfoFlags(major, minor, icon);
    return notify(NIM_MODIFY, &balloon);
}

void TTextTrayIcon::SetIcon(platform::UniqueIcon icon) {
    platform::UniqueIcon previous = std::move(icon_);
    icon_ = std::move(icon);
    present();
    // previous is destroyed here, after the tray holds the new icon.
}

void TTextTrayIcon::Update(const std::wstring& hint, platform::UniqueIcon icon) {
    hint_ = hint;
    SetIcon(std::move(icon));
}

void TTextTrayIcon::ShowMainForm() { mainForm_.Show(); }

void TTextTrayIcon::HideMainForm() { mainForm_.Hide(); }

void TTextTrayIcon::HandleCallback(LPARAM mouseMessage) {
    switch (mouseMessage) {
        case WM_LBUTTONUP:
        case NIN_BALLOONUSERCLICK:  // a click on the notification does what a click on the icon does
            if (OnClick) Dispatch(OnClick);
            break;
        case WM_RBUTTONUP:
            if (popupMenu_) {
                POINT pt{};
                ::GetCursorPos(&pt);
                popupMenu_->Popup(Handle(), pt.x, pt.y);
            }
            break;
        default:
            break;
    }
}

LRESULT TTextTrayIcon::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kCallbackMessage) {
        HandleCallback(lParam);
        return 0;
    }
    if (msg == taskbarCreated_ && msg != 0) {
        // The new shell holds no icon: add first. A taskbar is re-created
        // when the display scale changes, too.
        added_ = false;
        if (started_) present();
        if (OnScaleChange) Dispatch(OnScaleChange);
        return 0;
    }
    if ((msg == WM_SETTINGCHANGE || msg == WM_DISPLAYCHANGE) && OnScaleChange) Dispatch(OnScaleChange);
    // A close request to this hidden window (taskkill without /f, an
    // installer) ends the program as "Exit" does, instead of destroying the
    // window and leaving a dead icon; so does the session's end.
    if (auto result = HandleEndRequest(msg, wParam)) return *result;
    return DefaultProc(msg, wParam, lParam);
}

}  // namespace widgets
