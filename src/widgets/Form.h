// TTntForm: a top-level window that owns its components, on the window base;
// commands, notifications, colours and owner drawing go back to the child
// control that sent them, and every event handler runs through Dispatch.
#pragma once
#include <windows.h>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include "widgets/Component.h"
#include "widgets/Control.h"
#include "platform/Handle.h"
#include "widgets/Window.h"

namespace widgets {

enum class TCloseAction { None, Hide, Free };

struct FormOptions {
    std::wstring caption;
    int clientWidth = 0, clientHeight = 0;  // of the design, which the layout's rows follow
    // The client height the window is made with, when it differs from the
    // design's: the bottom-anchored controls are then placed as a resize to
    // it would move them.
    int shownClientHeight = 0;
    bool minimizeBox = true;
    bool appWindow = false;  // own taskbar button while visible
    int iconId = 0;          // window icon resource (0: none)
    FontStyle font;
};

// One row of a form's layout: the member that receives the control, whose
// type is the control's class, and the arguments it is created with. Made
// by Row.
struct LayoutRow {
    TControl* (*create)(TTntForm& form, const CreateArgs& args, void* member);
    void* member;
    CreateArgs args;
};

class TTntForm : public TComponent, public TWindowBase, public TControlHost {
public:
    TTntForm(std::wstring name, std::string className, const FormOptions& options,
             HWND owner = nullptr);
    ~TTntForm() override;

    std::wstring Caption() const override;
    void SetCaption(const std::wstring& caption) override;

    // Outer frame, in screen coordinates.
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void SetHeight(int height);
    // Grows the window by `extra` pixels below its bottom rows: the
    // bottom-anchored controls stay where they are, and the status bar takes
    // the new bottom edge.
    void GrowBelowBottomRows(int extra);
    int ClientWidth() const;
    int ClientHeight() const;
    // Places the window in the middle of the work area (or of another window).
    // A form is made there already, at the size it is made with.
    void CenterOn(HWND other);
    // How far the bottom-anchored controls sit from their design places: the
    // made client height less the design's.
    int BottomShift() const noexcept override { return bottomShift_; }

    bool Visible() const;
    void Show();  // visible, restored when minimised, and in front
    void Hide();
    void Close();  // as the close box: asks OnClose what to do
    bool Iconic() const;

    // Shows the form modally: the owner is disabled and a message loop runs
    // until the form is hidden. Returns after it was hidden.
    void ShowModal();

    // The keyboard for this form's controls, as a dialog box has it, for a
    // message about to be dispatched: Tab and Shift+Tab move the focus in
    // tab order and Space presses the focused button (IsDialogMessage), and
    // Enter presses a focused push button too. Enter elsewhere presses
    // nothing: no button is the form's default, and Escape cancels nothing.
    // Returns whether the message was used up.
    bool HandleDialogMessage(MSG& msg);

    HFONT FontHandle() const noexcept override { return font_.get(); }
    const FontStyle& Font() const noexcept override { return fontStyle_; }
    HWND HostHandle() const override { return Handle(); }

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
    // Creates the controls of a layout, row by row, in order.
    void CreateControls(std::initializer_list<LayoutRow> layout);
    // The control of that name, or null.
    TControl* ControlNamed(const std::wstring& name) const override;

    // From kFirstAutomaticControlId up (TControlHost).
    int NextControlId() noexcept override { return nextId_++; }
    UINT_PTR NextTimerId() noexcept { return nextTimerId_++; }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    TControl* controlById(int id) const;
    TControl* controlByHandle(HWND wnd) const;
    // Offers a timer message to each component until one takes it.
    bool timerFired(UINT_PTR id) const;
    void realignBottomAnchored(int oldClientHeight, int newClientHeight);
    // The control the focus goes to when the form gets it (null: none can).
    HWND focusTarget() const;
    void focusOnActivation();

    FontStyle fontStyle_;
    platform::UniqueFont font_;
    int nextId_ = kFirstAutomaticControlId;
    UINT_PTR nextTimerId_ = 1;
    int clientHeight_ = 0;
    int bottomShift_ = 0;
    bool modal_ = false;
    // The control that had the focus when the form last went inactive; null
    // from each show on, so that a shown form starts at its first control.
    HWND focusOnReturn_ = nullptr;
};

// A layout row whose control is created into member, a T* of the form.
template <class T>
LayoutRow Row(T*& member, CreateArgs args) {
    return {[](TTntForm& form, const CreateArgs& rowArgs, void* slot) -> TControl* {
                return *static_cast<T**>(slot) = form.Add<T>(rowArgs);
            },
            &member, std::move(args)};
}

}  // namespace widgets
