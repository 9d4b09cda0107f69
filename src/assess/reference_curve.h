#pragma once
// A reference excitation curve (the manufacturer's, or an earlier test's)
// read from CSV, kept per CT beside the record as "<stem>.reference.csv":
//
//   tap,X1-X5
//   turns,400
//   voltmeter,rms            (or "average": average-rectified)
//   volts,amps
//   10,0.0012
//   ...
//
// Lines may end in CR LF; empty lines and lines starting with '#' are
// skipped. Every number must be finite and above 0.

#include <string>
#include <vector>

#include "assess/loglog_curve.h"

namespace kova {

constexpr size_t kMaxReferenceBytes = 256 * 1024;
constexpr size_t kMaxReferencePoints = 1000;
constexpr size_t kMaxReferenceLine = 200;

struct ReferenceCurve {
  std::string tap;  // the tap name as given, may be empty
  double turns = 0;
  bool average_rectified = false;
  std::vector<CurvePoint> points;  // as read
};

// On failure `error` names the line and what is wrong with it.
bool ParseReferenceCsv(const std::string& text, ReferenceCurve& out, std::string& error);
// The curve written back in the same form.
std::string ReferenceCsv(const ReferenceCurve& ref);
std::string ReferencePathBeside(const std::string& record_path);

// An average-rectified reading of a sinusoidal voltage times pi / (2 sqrt 2)
// is its r.m.s. value, which the instrument records.
constexpr double kSineFormFactor = 1.1107207345395915;

// Moving a curve to a tap of `to_turns`: V grows with the turns, I shrinks.
double ScaleVoltageToTurns(double volts, double from_turns, double to_turns);
double ScaleCurrentToTurns(double amps, double from_turns, double to_turns);
// The reference in r.m.s. volts on a tap of `to_turns`.
ExcitationCurve ScaledReference(const ReferenceCurve& ref, double to_turns);

}  // namespace kova
