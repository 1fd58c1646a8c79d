// The processor-usage graph drawn on the canvas of the main window's graph
// image: black background, dark-green grid whose vertical lines scroll left
// with the samples, and the history as a lime line, 3 pixels per sample with
// the newest sample at x = 450.
#pragma once
#include <cstdint>

#include "widgets/Graphics.h"

namespace monitor {

// Scroll phase of the vertical grid, 0..4; 0 before the first tick.
extern std::int32_t GridPhase;

// Clears (0, 0, width, height) to black, draws the horizontal grid lines,
// advances GridPhase, draws the vertical grid lines, and leaves a lime pen
// selected for DrawGraphTrace.
void DrawGraphGrid(widgets::TCanvas& canvas, int width, int height);

// Draws the 150 segments joining the 151 samples of CpuHistory with the lime
// pen: sample j at (3 j, GraphRow(CpuHistory[j], height)).
void DrawGraphTrace(widgets::TCanvas& canvas, int height);

}  // namespace monitor
