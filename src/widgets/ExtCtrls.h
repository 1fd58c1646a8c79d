// Images (a child window that paints its own bitmap or icon) and timers.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "widgets/Control.h"
#include "widgets/Window.h"

namespace widgets {

class TTntImage : public TControl, private TWindowBase {
public:
    TTntImage(TTntForm& form, const CreateArgs& args);
    using TControl::Handle;
    // The drawing surface, created at the control's size on first use.
    TBitmap& Picture();
    // An icon picture instead of a bitmap (drawn stretched to the control).
    void SetIcon(platform::UniqueIcon icon);
    HICON Icon() const noexcept { return icon_.get(); }
    // Hint shown as a tooltip when the mouse rests on the image. The tooltip
    // window is made when the mouse first moves over the image.
    void SetHint(const std::wstring& hint);
    const std::wstring& Hint() const noexcept { return hint_; }
    HWND Tooltip() const noexcept { return tooltip_; }
    void Invalidate();
    void Paint(HDC dc);

private:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    TOOLINFOW toolInfo();
    void createTooltip(const MSG& firstMove);
    TBitmap picture_;
    platform::UniqueIcon icon_;
    std::wstring hint_;
    HWND tooltip_ = nullptr;
};

struct TimerArgs {
    std::wstring name{};
    unsigned interval = 1000;  // milliseconds
    bool enabled = true;
};

class TTimer : public TComponent {
public:
    TTimer(TTntForm& form, const TimerArgs& args);
    ~TTimer() override;
    bool Enabled() const noexcept { return enabled_; }
    void SetEnabled(bool enabled);
    unsigned Interval() const noexcept { return interval_; }
    // A new interval restarts the wait when the timer runs.
    void SetInterval(unsigned interval);
    UINT_PTR Id() const noexcept { return id_; }
    TNotifyEvent OnTimer;
    // Its own id: runs OnTimer while enabled (a message still queued when
    // the timer was stopped runs nothing) and counts as handled either way.
    bool TimerFired(std::uintptr_t timerId) override;

private:
    void update(unsigned interval, bool enabled);  // restarts when either changes
    void update();
    TTntForm& form_;
    UINT_PTR id_;
    unsigned interval_;
    bool enabled_;
};

}  // namespace widgets
