// TControl: a component that is a real child window of its form. Its window
// text is its caption, so screen readers and tests read what the user reads.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>
#include "widgets/Component.h"
#include "widgets/Graphics.h"
#include "platform/Handle.h"

namespace widgets {

class TTntForm;
class TControl;

constexpr TColor clWindowText = RGB(0, 0, 0);

struct FontStyle {
    std::wstring name = L"MS Sans Serif";
    int height = -11;  // LOGFONT rule: negative is character height
    bool bold = false;
    TColor color = clWindowText;
    bool operator==(const FontStyle& other) const {
        return name == other.name && height == other.height && bold == other.bold && color == other.color;
    }
};

// Creates the GDI font for a style (colour is applied when drawing).
platform::UniqueFont CreateFontFor(const FontStyle& style);

struct Bounds {
    int left = 0, top = 0, width = 0, height = 0;
};

using TNotifyEvent = std::function<void()>;

enum class TAlignment { Left, Right };

// What a control is created with, by name: every control class takes these
// and uses the ones that apply to it.
struct CreateArgs {
    std::wstring name{};
    int id = 0;  // 0: the form's next free id; explicit ids stay below the automatic range
    Bounds bounds{};
    std::wstring caption{};
    bool visible = true;
    // Labels: width and height follow the text; alignment; word wrap.
    bool autoSize = true;
    TAlignment alignment = TAlignment::Left;
    bool wordWrap = false;
    // Keeps its distance to the form's bottom edge when the form's client
    // height changes.
    bool anchorBottom = false;
    // Form layouts: brought in front of the layout's other controls once
    // all are created (a figure that may reach over its bar).
    bool inFront = false;
    // Status bars: the panels' widths, left to right.
    std::vector<int> panelWidths{};
    // Empty: the class's own name. A descendant passes its own.
    std::string className{};
    // Empty: a child of the form. Otherwise the name of a control made
    // before this one, inside whose window it is made (labels in a status
    // bar); bounds are then in that control's client area.
    std::wstring parent{};
};

// What a control takes from the form it is made on: the form's window (its
// parent), the form's font, how far bottom-anchored controls sit from their
// design places, an id, and the controls made before it. TTntForm gives it;
// a control knows no more of its form.
class TControlHost {
public:
    // Controls given no id of their own are numbered from here up, a range
    // that explicit ids (below it) never reach, so no two share one.
    static constexpr int kFirstAutomaticControlId = 0x4000;

    virtual HWND HostHandle() const = 0;
    virtual HFONT FontHandle() const = 0;
    virtual const FontStyle& Font() const = 0;
    virtual int BottomShift() const = 0;
    virtual int NextControlId() = 0;
    // The control of that name, or null.
    virtual TControl* ControlNamed(const std::wstring& name) const = 0;

protected:
    ~TControlHost() = default;
};

class TControl : public TComponent {
public:
    HWND Handle() const noexcept { return hwnd_; }
    int Id() const noexcept { return id_; }
    // The window of the form the control is on.
    HWND FormHandle() const { return host_.HostHandle(); }

    int Left() const noexcept { return bounds_.left; }
    int Top() const noexcept { return bounds_.top; }
    int Width() const noexcept { return bounds_.width; }
    int Height() const noexcept { return bounds_.height; }
    void SetBounds(int left, int top, int width, int height);
    void SetLeft(int left) { SetBounds(left, bounds_.top, bounds_.width, bounds_.height); }
    void SetTop(int top) { SetBounds(bounds_.left, top, bounds_.width, bounds_.height); }

    bool Visible() const noexcept { return visible_; }
    void SetVisible(bool visible);
    bool Enabled() const;
    void SetEnabled(bool enabled);

    std::wstring Caption() const override;
    void SetCaption(const std::wstring& caption) override;

    const FontStyle& Font() const noexcept { return fontStyle_; }
    void SetFont(const FontStyle& style);
    void SetFontColor(TColor color) {
        fontStyle_.color = color;
        if (hwnd_) ::InvalidateRect(hwnd_, nullptr, TRUE);
    }

    bool AnchorBottom() const noexcept { return anchorBottom_; }

    // Buttons and check boxes: run when the user clicks, or by Click.
    TNotifyEvent OnClick;
    void Click();

protected:
    TControl(TControlHost& form, const CreateArgs& args, const char* ownClassName);
    // Creates the child window (a system class, or one of the program's own
    // with `attach` as its object). Throws platform::Exception naming the
    // control when the system refuses.
    void CreateHandle(const wchar_t* windowClass, DWORD style, const CreateArgs& args, DWORD exStyle = 0,
                      class TWindowBase* attach = nullptr);

    // Messages the form reflects back to the control that sent them. A
    // click (BN_CLICKED) runs OnClick.
    virtual void Command(WORD code);
    virtual HBRUSH CtlColor(HDC dc);
    virtual bool DrawItem(const DRAWITEMSTRUCT& /*item*/) { return false; }
    virtual void CaptionChanged() {}
    // Enter was pressed while the control has the focus (`repeated`: the key
    // was already down). Returns whether the control used the key; by
    // default none does, and the form's dialog keyboard handling gets it.
    virtual bool EnterPressed(bool /*repeated*/) { return false; }
    // The form's client area changed height by `delta` pixels (0: a resize
    // that kept the height). A bottom-anchored child of the form moves by
    // as much; others stay.
    virtual void FormClientHeightChanged(int delta);

private:
    friend class TTntForm;
    TControlHost& host_;
    HWND hwnd_ = nullptr;
    int id_ = 0;
    Bounds bounds_;
    bool visible_ = true;
    bool anchorBottom_ = false;
    FontStyle fontStyle_;
    platform::UniqueFont font_;
};

}  // namespace widgets
