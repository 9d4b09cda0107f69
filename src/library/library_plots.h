#pragma once
// The library's pictures, drawn on the report's Surface so they show on
// screen, print and go to PDF like every page: the excitation curves of up
// to six test dates of one CT and tap, and the trend of knee voltage, ratio
// error and Rct at 75 degC against the test date.

#include <vector>

#include "library/history.h"
#include "report/surface.h"

namespace kova {

constexpr int kMaxOverlaidDates = 6;
// The colour of overlaid date i (0..5).
Color OverlayDateColor(int i);

// Log-log axes, one colour per test with its date in the legend; tests
// past the sixth are left out.
void DrawCurveOverlay(Surface& s, const Rect& r, const std::vector<TestRow>& tests);

// Three panels one above the other sharing the date axis.
void DrawTrendPlot(Surface& s, const Rect& r, const std::vector<HistoryEntry>& history);

}  // namespace kova
