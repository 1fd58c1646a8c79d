#include "widgets/ComCtrls.h"

#include <commctrl.h>

#include "widgets/Errors.h"
#include "widgets/Form.h"
#include "widgets/Window.h"

namespace widgets {

TTntProgressBar::TTntProgressBar(TTntForm& form, const CreateArgs& args)
    : TControl(form, args, "TTntProgressBar") {
    CreateHandle(PROGRESS_CLASSW, 0, args);
    SetRange(0, 100);
}

int TTntProgressBar::Position() const {
    return static_cast<int>(::SendMessageW(Handle(), PBM_GETPOS, 0, 0));
}

void TTntProgressBar::SetPosition(int position) {
    ::SendMessageW(Handle(), PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void TTntProgressBar::SetRange(int min, int max) {
    min_ = min;
    max_ = max;
    ::SendMessageW(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(min), static_cast<LPARAM>(max));
}

TTntStatusBar::TTntStatusBar(TTntForm& form, const CreateArgs& args)
    : TControl(form, args, "TTntStatusBar"), widths_(args.panelWidths) {
    const int height = args.bounds.height;
    CreateArgs spanning = args;
    spanning.bounds = {0, form.ClientHeight() - height, form.ClientWidth(), height};
    CreateHandle(STATUSCLASSNAMEW, CCS_BOTTOM, spanning);
    std::vector<int> edges;
    int right = 0;
    for (int w : widths_) edges.push_back(right += w);
    if (!edges.empty()) edges.back() = -1;  // the last panel runs to the edge
    ::SendMessageW(Handle(), SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    for (std::size_t i = 0; i < widths_.size(); ++i)
        ::SendMessageW(Handle(), SB_SETTEXTW, i | SBT_OWNERDRAW, 0);
    const int borders = 2 * ::GetSystemMetrics(SM_CYBORDER);
    ::SendMessageW(Handle(), SB_SETMINHEIGHT, height - borders, 0);
    // Child windows placed on the bar (the status labels) send their colour
    // requests to the bar: pass them on to the form.
    SubclassControl(Handle(), &TTntStatusBar::SubclassProc, this);
    Realign();
}

LRESULT TTntStatusBar::SubclassProc(void* self, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CTLCOLORSTATIC || msg == WM_COMMAND)
        return ::SendMessageW(static_cast<TTntStatusBar*>(self)->FormHandle(), msg, wParam, lParam);
    return ::DefSubclassProc(wnd, msg, wParam, lParam);
}

void TTntStatusBar::Realign() {
    ::SendMessageW(Handle(), WM_SIZE, 0, 0);
    RECT r{};
    ::GetWindowRect(Handle(), &r);
    ::MapWindowPoints(nullptr, FormHandle(), reinterpret_cast<POINT*>(&r), 2);
    SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void TTntStatusBar::Repaint() {
    ::InvalidateRect(Handle(), nullptr, TRUE);
    ::UpdateWindow(Handle());
}

bool TTntStatusBar::DrawItem(const DRAWITEMSTRUCT& item) {
    if (!OnDrawPanel) return true;
    TCanvas canvas(item.hDC);
    const int panel = static_cast<int>(item.itemID);
    const RECT rect = item.rcItem;
    Dispatch([&] { OnDrawPanel(panel, canvas, rect); });
    canvas.SetHandle(nullptr);
    return true;
}

void TTntStatusBar::PaintPanels(HDC dc) {
    for (std::size_t i = 0; i < widths_.size(); ++i) {
        DRAWITEMSTRUCT item{};
        item.CtlType = 0;
        item.CtlID = static_cast<UINT>(Id());
        item.itemID = static_cast<UINT>(i);
        item.hwndItem = Handle();
        item.hDC = dc;
        ::SendMessageW(Handle(), SB_GETRECT, i, reinterpret_cast<LPARAM>(&item.rcItem));
        DrawItem(item);
    }
}

}  // namespace widgets
