// Progress bars and the owner-drawn status bar (common controls).
#pragma once
#include <vector>
#include "widgets/Control.h"

namespace widgets {

class TTntProgressBar : public TControl {
public:
    TTntProgressBar(TTntForm& form, std::wstring name, const Bounds& bounds, bool visible = true,
                    std::string className = "TTntProgressBar");
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
class TTntStatusBar : public TControl {
public:
    TTntStatusBar(TTntForm& form, std::wstring name, int height, std::vector<int> panelWidths,
                  std::string className = "TTntStatusBar");
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

private:
    static LRESULT CALLBACK SubclassProc(HWND, UINT, WPARAM, LPARAM);
    std::vector<int> widths_;
    int height_;
    WNDPROC oldProc_ = nullptr;
};

}  // namespace widgets
