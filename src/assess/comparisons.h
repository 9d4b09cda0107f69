#pragma once
// Comparisons that show a fault the single test hides: a curve against its
// reference, the taps of one CT against each other (knee voltage per turn:
// a shorted turn or a wrong tap connection shows here), and sister phases
// of one circuit against each other.

#include <string>
#include <vector>

#include "assess/bands.h"
#include "assess/loglog_curve.h"
#include "assess/reference_curve.h"
#include "records/test_record.h"

namespace kova {

// The bands the comparisons flag outside of (ComparisonBands) are in
// assess/bands.h; the user keeps them as settings. A group of like values
// (taps, sister phases) is judged so that one bad member is blamed alone:
// with three or more, each against the median of the group; with two, by
// how far the two differ, blaming neither.
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
  BandFlag flag = BandFlag::kNone;  // the worse of the knee and the largest deviation
  bool flagged = false;             // outside the band: WARN or ALARM
};

ReferenceComparison CompareWithReference(const TestRecord& rec, int test, const ReferenceCurve& ref,
                                         double band_percent);

// The median of `values` (the mean of the middle two for an even count); 0
// for none.
double Median(std::vector<double> values);
// How far two values differ, percent of the smaller: never negative.
double DifferencePercent(double a, double b);

struct TapComparison {
  int test = 0;
  std::string tap;
  std::string label;  // as the report names the test
  double knee = 0, turns = 0, per_turn = 0;
  // Against the median of the taps, signed; of two taps (`pair`), how far
  // the two differ, the same on both.
  bool pair = false;
  double deviation = 0;
  BandFlag flag = BandFlag::kNone;
  bool flagged = false;  // WARN or ALARM (a pair: both)
};
// Every test with a knee voltage and known turns; empty with fewer than two.
// WARN outside `band_percent`, ALARM outside kComparisonAlarmMultiple times it.
std::vector<TapComparison> CompareTaps(const TestRecord& rec, double band_percent);

struct SisterQuantity {
  bool has = false;
  double value = 0;
  // Percent against the median of the phases, signed; of two phases
  // (`pair`), how far the two differ, the same on both.
  double deviation = 0;
  bool pair = false;
  double turns = 0;  // the ratio's deviation in turns (nameplate turns x deviation)
  BandFlag flag = BandFlag::kNone;
  bool flagged = false;  // WARN or ALARM
};
struct SisterRow {
  // As an engineer names the CT: "serial P1, LINE 4, tested 03/01/26"
  // (the file's name where the record gives no serial number).
  std::string name;
  std::string file;  // the record's file name (text)
  std::string serial, circuit, tested;
  int test = 0;       // 0: no test of that tap and ratio
  std::string label;  // the test as its record's report names it
  SisterQuantity knee_at_current, ratio, rct75;
  bool has_turns_error = false;
  double turns_error_percent = 0;   // TurnsRatioError of the test, signed
  BandFlag flag = BandFlag::kNone;  // the worst of what is blamed on this phase
  bool flagged = false;             // blamed: WARN or ALARM against the median
};
struct SisterComparison {
  std::string tap;
  double current = 0;  // the equal current the knee voltages are read at
  ComparisonBands bands;
  std::vector<SisterRow> rows;
  BandFlag flag = BandFlag::kNone;  // the worst of all, a pair's included
};

// One record compared, with the file it came from and the test chosen.
struct SisterMember {
  const TestRecord* record = nullptr;
  std::string file;  // text
  int test = 0;      // from 1, chosen by the user or the library; 0: the last test of the tap
};
// The records compared on the tap code `tap_code` and the nameplate ratio of
// the first member's test: the knee voltage and Rct75 by bands.sister_percent,
// the ratio by bands.ratio_warn_turns and ratio_alarm_turns.
SisterComparison CompareSisters(const std::vector<SisterMember>& members, int tap_code,
                                const ComparisonBands& bands);
// "serial P1, LINE 4, tested 03/01/26"; `file` where the record has no serial.
std::string SisterName(const TestRecord& rec, const std::string& file);

// Plain text lines for the CLI and the report's details page.
std::vector<std::string> ReferenceLines(const ReferenceComparison& c);
std::vector<std::string> TapLines(const std::vector<TapComparison>& taps, double band_percent);
std::vector<std::string> SisterLines(const SisterComparison& c);

}  // namespace kova
