// Progress bars and the owner-drawn status bar (common controls).
#pragma once
#include <vector>
#include "widgets/Control.h"

namespace widgets {

class TTntProgressBar : public TControl {
public:
    TTntProgressBar(TTntForm& form, const CreateArgs& args);
    // The position as the bar holds it (clamped to its range by the control).
    int Position() const;
    void SetPosition(int position);
    int Min() const noexcept { return min_; }
    int Max() const noexcept { return max_; }
    void SetRange(int min, int max);

private:
    int min_ = 0, max_ = 100;
};

// A status bar along the form's bottom edge whose panels the program draws.
// Uses the height of its bounds (it spans the form) and panelWidths.
class TTntStatusBar : public TControl {
public:
    TTntStatusBar(TTntForm& form, const CreateArgs& args);
    const std::vector<int>& PanelWidths() const noexcept { return widths_; }
    // Called for each panel with a canvas on the bar's DC and the panel's rectangle.
    std::function<void(int panel, TCanvas& canvas, const RECT& rect)> OnDrawPanel;
    void Repaint();
    // Paints every panel into a DC the size of the bar (for printing and tests).
    void PaintPanels(HDC dc);
    // Keeps the bar along the bottom of the form's client area.
    void Realign();

protected:
    bool DrawItem(const DRAWITEMSTRUCT& item) override;
    // Realigns along the new bottom edge, whatever the change.
    void FormClientHeightChanged(int /*delta*/) override { Realign(); }

private:
    static LRESULT SubclassProc(void* self, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
    std::vector<int> widths_;
};

}  // namespace widgets
