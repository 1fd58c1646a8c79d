// TTntForm: a top-level window that owns its components. One static window
// procedure attaches the object at WM_NCCREATE and forwards to WndProc;
// commands, notifications, colours and owner drawing go back to the child
// control that sent them, and every event handler runs through Dispatch.
#pragma once
#include <windows.h>
#include <functional>
#include <memory>
#include <string>
#include "widgets/Component.h"
#include "widgets/Control.h"
#include "widgets/Handle.h"

namespace widgets {

class TTimer;

enum class TCloseAction { None, Hide, Free };

struct FormOptions {
    std::wstring caption;
    int clientWidth = 0, clientHeight = 0;
    bool minimizeBox = true;
    bool appWindow = false;  // own taskbar button while visible
    int iconId = 0;          // window icon resource (0: none)
    FontStyle font;
};

class TTntForm : public TComponent {
public:
    TTntForm(std::wstring name, std::string className, const FormOptions& options,
             HWND owner = nullptr);
    ~TTntForm() override;

    HWND Handle() const noexcept { return hwnd_; }

    std::wstring Caption() const override;
    void SetCaption(const std::wstring& caption) override;

    // Outer frame, in screen coordinates.
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void SetHeight(int height);
    int ClientWidth() const;
    int ClientHeight() const;
    // Places the window in the middle of the work area (or of another window).
    void CenterOn(HWND other);

    bool Visible() const;
    void Show();  // visible, restored when minimised, and in front
    void Hide();
    void Close();  // as the close box: asks OnClose what to do
    bool Iconic() const;

    // Shows the form modally: the owner is disabled and a message loop runs
    // until the form is hidden. Returns after it was hidden.
    void ShowModal();
    bool Modal() const noexcept { return modal_; }

    HFONT FontHandle() const noexcept { return font_.get(); }
    const FontStyle& Font() const noexcept { return fontStyle_; }

    std::function<void()> OnShow;
    std::function<void(TCloseAction&)> OnClose;

    // Creates a component of this form and makes the form its owner.
    template <class T, class... Args>
    T* Add(Args&&... args) {
        return InsertComponent(std::make_unique<T>(*this, std::forward<Args>(args)...));
    }
    template <class T, class... Args>
    T* AddItem(Args&&... args) {  // components that are not windows (menu items)
        return InsertComponent(std::make_unique<T>(std::forward<Args>(args)...));
    }

    int NextControlId() noexcept { return nextId_++; }
    UINT_PTR NextTimerId() noexcept { return nextTimerId_++; }

protected:
    virtual LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultProc(UINT msg, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK StaticWndProc(HWND, UINT, WPARAM, LPARAM);
    TControl* controlById(int id) const;
    TControl* controlByHandle(HWND wnd) const;
    TTimer* timerById(UINT_PTR id) const;
    void realignBottomAnchored(int oldClientHeight, int newClientHeight);

    HWND hwnd_ = nullptr;
    FontStyle fontStyle_;
    UniqueFont font_;
    int nextId_ = 100;
    UINT_PTR nextTimerId_ = 1;
    int clientHeight_ = 0;
    bool modal_ = false;
};

}  // namespace widgets
