#pragma once
// The excitation curve: interpolation of the excitation current and phase at
// a secondary voltage, and the ratio correction factor a metering burden
// gives there.

#include "records/test_record.h"

namespace kova {

constexpr double kPi = 3.141592653589793;

// One point of an excitation curve or a knee point: the voltage over the
// excitation current.
struct CurvePoint {
  double volts = 0;
  double amps = 0;
};

// Which of a tap's three knee points a record's knee type code names: 1 IEEE
// 30 degrees, 2 IEEE 45 degrees, any other code IEC 10/50. The plot's knee
// mark, the library's knee voltage and the assessment all ask here.
enum class KneeRule { kIeee30, kIeee45, kIec1050 };
KneeRule KneeRuleOfType(int kneetype);
// The point of `rule` among the three knee points.
CurvePoint KneeOf(KneeRule rule, const CurvePoint& ieee30, const CurvePoint& ieee45,
                  const CurvePoint& iec1050);
// The tap's knee point of `rule`, and by the knee type code `kneetype`.
CurvePoint TapKneeByRule(KneeRule rule, const TapTest& tap);
CurvePoint TapKnee(int kneetype, const TapTest& tap);

// Data points the interpolation looks at: 52 for model 4, 64 for model 2,
// 32 otherwise.
int InterpolationPointCount(const TestRecord& rec);

// atan(Rb / Xb) in degrees: the burden's angle. A burden without reactance
// is purely resistive (90 degrees; 0 when it has no resistance either).
double BurdenAngleDegrees(double rb, double xb);

// Interpolates the tap's data points at `vsec` between the highest point at
// or below it and the lowest point above it, and computes the RCF for the
// burden of `row` at k x the 5 A rated current (k 1.0 or 0.1). Fills `out`
// (RCF is kept when the points are not found) and appends its trace to the
// record's calctext. Points that are not finite are never used.
void InterpolateAt(TestRecord& rec, const TapTest& tap, const BurdenRow& row, double vsec,
                   RcfPoint& out, double k);

}  // namespace kova
