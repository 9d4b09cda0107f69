#pragma once
// A tap's excitation curve as points of rising voltage, read between and
// beyond its points along straight lines on log-log axes: the way the
// curve is drawn and the way every figure taken from it is read.

#include <vector>

#include "analysis/excitation.h"
#include "records/test_record.h"

namespace kova {

// A value read off the curve and the two points it was read between.
struct CurveReading {
  bool ok = false;            // false: the curve has fewer than two points
  bool extrapolated = false;  // the value lies beyond the first or last point
  double value = 0;
  CurvePoint p1, p2;  // bracketing (or, extrapolated, the end segment's) points
};

// y at x on the straight line through (x1, y1) and (x2, y2) in log-log:
// y = y1 * (x / x1) ^ (ln(y2 / y1) / ln(x2 / x1)). All values positive.
double LogLogInterpolate(double x1, double y1, double x2, double y2, double x);

class ExcitationCurve {
 public:
  ExcitationCurve() = default;
  explicit ExcitationCurve(std::vector<CurvePoint> points);
  // The tap's data points of the record's model that have positive, finite
  // voltage and current, in rising voltage; a voltage given twice keeps its
  // first point.
  static ExcitationCurve FromTap(const TestRecord& rec, const TapTest& tap);

  const std::vector<CurvePoint>& points() const { return points_; }
  bool Usable() const { return points_.size() >= 2; }

  // Excitation current at `volts`. Beyond the ends the end segment is
  // continued and the reading is marked extrapolated.
  CurveReading CurrentAt(double volts) const;
  // Voltage at `amps`, the same way along the current axis.
  CurveReading VoltageAt(double amps) const;

 private:
  std::vector<CurvePoint> points_;
};

}  // namespace kova
