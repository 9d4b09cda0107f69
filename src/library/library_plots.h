#pragma once
// The library's pictures, drawn on the report's Surface so they show on
// screen, print and go to PDF like every page: the excitation curves of up
// to six test dates of one CT and tap, and the trend of knee voltage, ratio
// error and Rct at 75 degC against the test date, each against the warn and
// alarm bands around the baseline.

#include <string>
#include <vector>

#include "library/history.h"
#include "library/shown_date.h"
#include "report/surface.h"

namespace kova {

constexpr int kMaxOverlaidDates = 6;
// The colour of overlaid date i (0..5).
Color OverlayDateColor(int i);

// The tests the overlay shows, as indexes into a history of `count` tests:
// the first six of `selected` (in the order given), or the latest six when
// nothing is selected.
std::vector<size_t> OverlayChoice(size_t count, const std::vector<size_t>& selected);

// Log-log axes, one colour per test with its date in the legend (as
// `dates` shows it); tests past the sixth are left out.
void DrawCurveOverlay(Surface& s, const Rect& r, const std::vector<TestRow>& tests,
                      DateStyle dates = DateStyle::kIso);

// A value axis of round ticks: `count` (4 to 6) values first, first + step,
// ..., the step 1, 2, 2.5 or 5 times a power of ten; the first tick at or
// below the range's low end and the last at or above its high end.
struct AxisTicks {
  double first = 0, step = 1;
  int count = 0;
  int decimals = 0;  // enough to tell the ticks apart, no more
  double Last() const { return first + step * (count - 1); }
  std::string Text(int i) const;
};
AxisTicks RoundTicks(double lo, double hi);

// Date ticks along an axis from `from` to `to` (years, as YearOf gives them)
// over `pixels`: whole years, or months for a short span, spaced so that no
// two labels of `label_width` pixels come closer than half a label.
struct DateTick {
  double at = 0;  // years
  std::string text;
};
std::vector<DateTick> DateTicks(double from, double to, int pixels, int label_width);
// "YYYY-MM-DD ..." as a year and its fraction; 0 for a text that is no date.
double YearOf(const std::string& date);

// The index of the test the history compares with: the one marked as the
// baseline, else the first; 0 for an empty history.
size_t BaselineIndex(const std::vector<HistoryEntry>& history);
// The worst flag of a test's changes against the baseline and the previous
// test (kNone for the baseline alone).
ChangeFlag EntryState(const HistoryEntry& entry);
// The colours of OK, WARN and ALARM points and cells; the baseline's for kNone.
Color StateColor(ChangeFlag flag);

// Three panels one above the other sharing the date axis. Each test's point
// takes the colour of its flag for that value; the bands shaded around the
// baseline are those the flags are given by.
void DrawTrendPlot(Surface& s, const Rect& r, const std::vector<HistoryEntry>& history,
                   const TrendBands& bands = TrendBands());

}  // namespace kova
