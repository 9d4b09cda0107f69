#pragma once
// The excitation curve: interpolation of the excitation current and phase at
// a secondary voltage, and the ratio correction factor a metering burden
// gives there.

#include "records/test_record.h"

namespace kova {

constexpr double kPi = 3.141592653589793;

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
