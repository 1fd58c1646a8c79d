#include "monitor/CpuGraph.h"

#include "monitor/CpuHistory.h"
#include "monitor/GraphRules.h"

namespace monitor {

void DrawGraphGrid(widgets::TCanvas& canvas, int width, int height, std::int32_t& gridPhase) {
    canvas.SetBrushColor(widgets::clBlack);
    canvas.FillRect(RECT{0, 0, width, height});

    canvas.SetPen(widgets::clGreen, 1);
    for (int k = 1; k <= kGraphHorizontalLines; ++k) {
        const int y = HorizontalGridRow(k, height);
        canvas.MoveTo(0, y);
        canvas.LineTo(width, y);
    }

    // The phase moves between the two sets of lines, so the vertical lines
    // of the first tick already stand at phase 1.
    gridPhase = NextGridPhase(gridPhase);
    const int lines = VerticalGridLineCount(width);
    for (int i = 1; i <= lines; ++i) {
        const int x = VerticalGridX(i, gridPhase);
        canvas.MoveTo(x, 0);
        canvas.LineTo(x, height);
    }

    canvas.SetPen(widgets::clLime, 1);
}

void DrawGraphTrace(widgets::TCanvas& canvas, int height, const CpuHistory& history) {
    // DrawGraphGrid left this pen selected; setting it again costs nothing
    // and keeps the trace lime even when drawn on its own.
    canvas.SetPen(widgets::clLime, 1);
    // The 150 segments join end to start, so one move-to and 150 line-tos
    // in a single call draw them exactly as segment by segment would.
    POINT points[kCpuHistorySize];
    for (int j = 0; j < kCpuHistorySize; ++j)
        points[j] = POINT{kGraphPixelsPerSample * j, GraphRow(history[j], height)};
    canvas.MoveTo(points[0].x, points[0].y);
    canvas.PolylineTo(points + 1, kCpuHistorySize - 1);
}

}  // namespace monitor
