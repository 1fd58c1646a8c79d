// Images (a child window that paints its own bitmap or icon) and timers.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "widgets/Control.h"

namespace widgets {

class TTntImage : public TControl {
public:
    TTntImage(TTntForm& form, std::wstring name, const Bounds& bounds, bool visible = true,
              std::string className = "TTntImage");
    // The drawing surface, created at the control's size on first use.
    TBitmap& Picture();
    // An icon picture instead of a bitmap (drawn stretched to the control).
    void SetIcon(UniqueIcon icon);
    HICON Icon() const noexcept { return icon_.get(); }
    // Hint shown as a tooltip when the mouse rests on the image. The tooltip
    // window is made when the mouse first moves over the image.
    void SetHint(const std::wstring& hint);
    const std::wstring& Hint() const noexcept { return hint_; }
    HWND Tooltip() const noexcept { return tooltip_; }
    void Invalidate();
    void Paint(HDC dc);

private:
    static LRESULT CALLBACK WndProc(HWND, UINT, WPARAM, LPARAM);
    TOOLINFOW toolInfo();
    void createTooltip(const MSG& firstMove);
    TBitmap picture_;
    UniqueIcon icon_;
    std::wstring hint_;
    HWND tooltip_ = nullptr;
};

class TTimer : public TComponent {
public:
    TTimer(TTntForm& form, std::wstring name, unsigned interval, bool enabled,
           std::string className = "TTimer");
    ~TTimer() override;
    bool Enabled() const noexcept { return enabled_; }
    void SetEnabled(bool enabled);
    unsigned Interval() const noexcept { return interval_; }
    // A new interval restarts the wait when the timer runs.
    void SetInterval(unsigned interval);
    UINT_PTR Id() const noexcept { return id_; }
    TNotifyEvent OnTimer;

private:
    void update();
    TTntForm& form_;
    UINT_PTR id_;
    unsigned interval_;
    bool enabled_;
};

}  // namespace widgets
