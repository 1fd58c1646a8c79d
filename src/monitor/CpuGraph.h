// The processor-usage graph drawn on the canvas of the main window's graph
// image: black background, dark-green grid whose vertical lines scroll left
// with the samples, and the history as a lime line, 3 pixels per sample with
// the newest sample at x = 450.
#pragma once
#include <cstdint>

#include "monitor/CpuHistory.h"
#include "widgets/Graphics.h"

namespace monitor {

// Clears (0, 0, width, height) to black, draws the horizontal grid lines,
// advances gridPhase (the vertical grid's scroll phase, 0..4; 0 before the
// first tick), draws the vertical grid lines, and leaves a lime pen selected
// for DrawGraphTrace.
void DrawGraphGrid(widgets::TCanvas& canvas, int width, int height, std::int32_t& gridPhase);

// Draws the 150 segments joining the 151 samples of the history with the
// lime pen: sample j at (3 j, GraphRow(history[j], height)).
void DrawGraphTrace(widgets::TCanvas& canvas, int height, const CpuHistory& history);

}  // namespace monitor
