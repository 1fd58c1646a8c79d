// Labels, buttons and check boxes: STATIC and BUTTON child windows.
#pragma once
#include "widgets/Control.h"

namespace widgets {

enum class TAlignment { Left, Right };

struct LabelOptions {
    TAlignment alignment = TAlignment::Left;
    bool autoSize = true;   // width and height follow the text
    bool wordWrap = false;
    bool visible = true;
};

class TTntLabel : public TControl {
public:
    TTntLabel(TTntForm& form, std::wstring name, const Bounds& bounds, const std::wstring& caption,
              const LabelOptions& options = {}, std::string className = "TTntLabel");

    // Recomputes the size from the text when auto-sizing (a right-aligned
    // label keeps its right edge, a left-aligned one its left edge).
    void AdjustSize();

protected:
    void CaptionChanged() override { AdjustSize(); }

private:
    LabelOptions options_;
};

class TTntButton : public TControl {
public:
    TTntButton(TTntForm& form, std::wstring name, const Bounds& bounds, const std::wstring& caption,
               std::string className = "TTntButton");
    TNotifyEvent OnClick;
    // Drawn by the program (so a coloured or bold caption shows on themed systems).
    void SetOwnerDrawn(bool ownerDrawn);
    void Click();

protected:
    void Command(WORD code) override;
    bool DrawItem(const DRAWITEMSTRUCT& item) override;
};

class TTntCheckBox : public TControl {
public:
    TTntCheckBox(TTntForm& form, std::wstring name, const Bounds& bounds, const std::wstring& caption,
                 std::string className = "TTntCheckBox");
    bool Checked() const;
    void SetChecked(bool checked);
    TNotifyEvent OnClick;

protected:
    void Command(WORD code) override;
};

}  // namespace widgets
