// TTextTrayIcon: the notification-area icon, over Shell_NotifyIconW. It owns
// the icon it shows; a new icon replaces the old one in the tray first, and
// only then is the old one destroyed, so the tray never holds a destroyed
// icon. The icon is added again when the taskbar is re-created; a call the
// shell fails (a busy shell times out) never stops later updates.
#pragma once
#include <windows.h>
#include <shellapi.h>
#include <string>
#include "widgets/Component.h"
#include "widgets/Control.h"
#include "platform/Handle.h"
#include "widgets/TrayIconRules.h"
#include "widgets/Window.h"

namespace widgets {

class TTntForm;
class TTntPopupMenu;

// Seams for tests and benchmarks: every call to the tray goes through here
// (defaults to Shell_NotifyIconW); the Windows version the balloon's flags
// are chosen by (defaults to GetVersionExW's major and minor).
extern BOOL(WINAPI* ShellNotifyIcon)(DWORD message, PNOTIFYICONDATAW data);
extern void (*ReadWindowsVersion)(int& major, int& minor);

// When the icon first goes to the tray: at once, with the program's icon and
// no hint, or with the first update's icon and hint, which spares the shell
// an add and a modify in quick succession when an update follows at once.
enum class TrayIconStart { Now, AtFirstUpdate };

class TTextTrayIcon : public TComponent, private TWindowBase {
public:
    // Message the tray sends to the icon's window for mouse events.
    static constexpr UINT kCallbackMessage = WM_APP + 1;

    TTextTrayIcon(TTntForm& mainForm, std::wstring name, TrayIconStart start = TrayIconStart::Now);
    ~TTextTrayIcon() override;

    const std::wstring& Hint() const noexcept { return hint_; }
    // Takes ownership of the icon and shows it; the previous icon is
    // destroyed after the tray holds the new one.
    void SetIcon(platform::UniqueIcon icon);
    HICON Icon() const noexcept { return icon_.get(); }
    // Both at once, in one call to the tray (the once-a-second update).
    void Update(const std::wstring& hint, platform::UniqueIcon icon);
    bool IconVisible() const noexcept { return added_; }
    // Shows a notification at the icon, a balloon with the information or
    // the warning icon (flags by BalloonInfoFlags for the running Windows),
    // the title and the text cut to what the tray takes (63 and 255
    // characters). False when the tray refused it (or holds no icon).
    bool ShowBalloon(const std::wstring& title, const std::wstring& text, BalloonIcon icon = BalloonIcon::Info);

    void SetPopupMenu(TTntPopupMenu* menu) noexcept { popupMenu_ = menu; }
    TNotifyEvent OnClick;
    // The taskbar's display scale may have changed: raised on a change of
    // system settings (WM_SETTINGCHANGE) or of the display (WM_DISPLAYCHANGE),
    // and when the taskbar is re-created, after the icon is added again.
    TNotifyEvent OnScaleChange;

    // Makes the main form visible and restored, in front.
    void ShowMainForm();
    // Hides the main form, leaving only the tray icon.
    void HideMainForm();

    // The hidden window that receives the tray's messages.
    HWND Window() const noexcept { return Handle(); }
    // Handles one tray callback (mouse message in lParam); public for tests.
    void HandleCallback(LPARAM mouseMessage);

private:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool notify(DWORD message, const NOTIFYICONDATAW* balloon = nullptr);
    // Puts the current icon and hint in the tray (see the .cpp for the order).
    void present();

    TTntForm& mainForm_;
    platform::UniqueIcon icon_;
    std::wstring hint_;
    bool added_ = false;
    bool started_ = false;  // the tray has been asked to show the icon
    TTntPopupMenu* popupMenu_ = nullptr;
    UINT taskbarCreated_ = 0;
};

}  // namespace widgets
