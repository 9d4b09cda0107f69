#pragma once
// Comparisons that show a fault the single test hides: a curve against its
// reference, the taps of one CT against each other (knee voltage per turn:
// a shorted turn or a wrong tap connection shows here), and sister phases
// of one circuit against each other.

#include <string>
#include <vector>

#include "assess/loglog_curve.h"
#include "assess/reference_curve.h"
#include "records/test_record.h"

namespace kova {

// Default bands, percent.
constexpr double kReferenceBandPercent = 5.0;
constexpr double kTapBandPercent = 2.0;
constexpr double kSisterBandPercent = 5.0;
// Sister phases tested further apart than this are not compared.
constexpr int kSisterSpanDays = 30;

// The bands the comparisons flag outside of; the user keeps them as settings.
struct ComparisonBands {
  double reference_percent = kReferenceBandPercent;
  double tap_percent = kTapBandPercent;
  double sister_percent = kSisterBandPercent;
  int sister_span_days = kSisterSpanDays;
};
// The reference is compared over this multiple of the knee current.
constexpr double kCompareFromKneeMultiple = 0.5;
constexpr double kCompareToKneeMultiple = 1.5;

// (measured - reference) / reference x 100.
double DeviationPercent(double measured, double reference);
// Turns of a tap: the measured ratio, else the nameplate ratio; 0 unknown.
double TapTurns(const TapTest& tap);

struct ReferenceComparison {
  bool done = false;
  std::string problem;
  int test = 0;
  std::string label;  // "Test 1 (tap X1-X5)", as the report names the test
  double band_percent = kReferenceBandPercent;
  double turns = 0;        // of the tested tap
  ExcitationCurve scaled;  // the reference on the tested tap, r.m.s.
  bool has_knee = false;
  double knee_measured = 0, knee_reference = 0, knee_deviation = 0;
  int compared = 0;  // measured points inside the current window
  double largest_deviation = 0;
  double at_volts = 0, at_amps = 0;  // where
  double reference_volts = 0;        // the reference there, and its points
  CurvePoint reference_p1, reference_p2;
  bool flagged = false;
};

ReferenceComparison CompareWithReference(const TestRecord& rec, int test, const ReferenceCurve& ref,
                                         double band_percent);

struct TapComparison {
  int test = 0;
  std::string tap;
  std::string label;  // as the report names the test
  double knee = 0, turns = 0, per_turn = 0;
  double deviation = 0;  // against the mean of the other taps
  bool flagged = false;
};
// Every test with a knee voltage and known turns; empty with fewer than two.
std::vector<TapComparison> CompareTaps(const TestRecord& rec, double band_percent);

struct SisterQuantity {
  bool has = false;
  double value = 0;
  double deviation = 0;  // against the mean of the other phases
  bool flagged = false;
};
struct SisterRow {
  std::string name;   // as the user named the record
  int test = 0;       // 0: no test of that tap and ratio
  std::string label;  // the test as its record's report names it
  SisterQuantity knee_at_current, ratio, rct75;
  bool flagged = false;
};
struct SisterComparison {
  std::string tap;
  double current = 0;  // the equal current the knee voltages are read at
  std::vector<SisterRow> rows;
};
// The records compared on the tap code `tap_code` and the nameplate ratio of
// the first record's test of that tap.
SisterComparison CompareSisters(const std::vector<const TestRecord*>& records,
                                const std::vector<std::string>& names, int tap_code,
                                double band_percent);

// Plain text lines for the CLI and the report's details page.
std::vector<std::string> ReferenceLines(const ReferenceComparison& c);
std::vector<std::string> TapLines(const std::vector<TapComparison>& taps, double band_percent);
std::vector<std::string> SisterLines(const SisterComparison& c, double band_percent);

}  // namespace kova
