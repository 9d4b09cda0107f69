#pragma once
// The knee points found again from the measured curve, by the rule of each
// knee type, with the few points each was found between, so that anyone can
// redo the arithmetic by hand. The instrument's own knee points stay what
// the report shows; these are the program's check of them.

#include <string>
#include <vector>

#include "assess/loglog_curve.h"

namespace kova {

// "IEEE 30 Deg", "IEEE 45 Deg", "IEC 10/50".
const char* KneeRuleName(KneeRule rule);

struct KneeCheck {
  bool found = false;
  double volts = 0;
  double amps = 0;
  // IEEE: the point where ln V - tan(angle) ln I is largest and its two
  // neighbours. IEC: the two points bracketing the knee voltage, then the two
  // bracketing 1.1 x the knee voltage.
  std::vector<CurvePoint> points;
};

// IEEE 30/45 degrees: the point where the tangent of the curve on log-log
// axes of equal decades rises at that angle over the current axis, which is
// where f = ln V - tan(angle) ln I is largest. Of the data points (of rising
// current) the one with the largest f and its two neighbours give a
// parabola f(ln I); its vertex is ln I of the knee, and the knee voltage is
// read off the curve there. Reading a maximum, not a difference of slopes,
// keeps the knee where it is on a curve whose currents are rounded.
// IEC 10/50: the voltage at which 10 % more voltage needs 50 % more current,
// I(1.1 Vk) = 1.5 I(Vk), both read off the curve.
KneeCheck FindKnee(const ExcitationCurve& curve, KneeRule rule);

// The rule of the record's knee type (KneeRuleOfType) and the tap's knee
// point the instrument found by it.
KneeRule RecordKneeRule(const TestRecord& rec);
CurvePoint RecordKnee(const TestRecord& rec, const TapTest& tap);

// x of the vertex of the parabola through three points of rising x,
// within [x1, x3]; x2 when they lie on a line.
double ParabolaVertex(double x1, double y1, double x2, double y2, double x3, double y3);

}  // namespace kova
