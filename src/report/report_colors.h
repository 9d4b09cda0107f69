#pragma once
// The report's colour table, the colours of overlaid records and the plot's
// background.

#include "report/surface.h"

namespace kova {

constexpr int kReportColorCount = 20;
// Index 0 black, 7 light grey, 8 grey, 15 white; see report_colors.cpp.
Color ReportColor(int index);  // black for an index outside the table
extern const Color kReportColors[kReportColorCount];

constexpr int kLightGreyIndex = 7;
constexpr int kWhiteIndex = 15;

// One colour per overlaid record, distinct and readable on white and on the
// single-test plot background.
constexpr int kOverlayColorCount = 3;
extern const Color kOverlayColors[kOverlayColorCount];

// Plot background when one test is drawn.
constexpr Color kSingleTestPlotBackground{253, 192, 124};

// The reference curve kept for a CT, apart from every test and overlay
// colour, and the shade of its band (light enough for the curves on it).
constexpr Color kReferenceColor{150, 0, 170};
constexpr Color kReferenceBandColor{232, 212, 240};

// Colour table index of tap test i: i, except that test 7 takes 8.
int TestColorIndex(int test);

}  // namespace kova
