// Labels, buttons and check boxes: STATIC and BUTTON child windows.
#pragma once
#include "widgets/Control.h"

namespace widgets {

// Uses autoSize, alignment and wordWrap of its CreateArgs.
class TTntLabel : public TControl {
public:
    TTntLabel(TTntForm& form, const CreateArgs& args);

    // Recomputes the size from the text when auto-sizing (a right-aligned
    // label keeps its right edge, a left-aligned one its left edge).
    void AdjustSize();

protected:
    void CaptionChanged() override { AdjustSize(); }

private:
    bool autoSize_;
    TAlignment alignment_;
};

class TTntButton : public TControl {
public:
    TTntButton(TTntForm& form, const CreateArgs& args);
    // Drawn by the program (so a coloured or bold caption shows on themed systems).
    void SetOwnerDrawn(bool ownerDrawn);

protected:
    bool DrawItem(const DRAWITEMSTRUCT& item) override;
    // Clicks itself when enabled and the key was not already down: a dialog
    // box would send Enter to its default button, which no form here has.
    bool EnterPressed(bool repeated) override;
};

class TTntCheckBox : public TControl {
public:
    TTntCheckBox(TTntForm& form, const CreateArgs& args);
    bool Checked() const;
    void SetChecked(bool checked);
};

}  // namespace widgets
