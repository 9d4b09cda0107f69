#include "assess/loglog_curve.h"

#include <algorithm>
#include <cmath>

namespace kova {

double LogLogInterpolate(double x1, double y1, double x2, double y2, double x) {
  if (x1 == x2) return y1;
  const double slope = std::log(y2 / y1) / std::log(x2 / x1);
  return y1 * std::pow(x / x1, slope);
}

ExcitationCurve::ExcitationCurve(std::vector<CurvePoint> points) {
  std::stable_sort(points.begin(), points.end(),
                   [](const CurvePoint& a, const CurvePoint& b) { return a.volts < b.volts; });
  for (const CurvePoint& p : points) {
    if (!(p.volts > 0) || !(p.amps > 0) || !std::isfinite(p.volts) || !std::isfinite(p.amps)) {
      continue;
    }
    if (!points_.empty() && points_.back().volts == p.volts) continue;
    points_.push_back(p);
  }
}

ExcitationCurve ExcitationCurve::FromTap(const TestRecord& rec, const TapTest& tap) {
  std::vector<CurvePoint> pts;
  const int n = std::min(rec.DataPointCount(), kMaxDataPoints);
  for (int i = 0; i < n; ++i) pts.push_back({tap.dpVolts[i], tap.dpAmps[i]});
  return ExcitationCurve(std::move(pts));
}

namespace {

// Reads along one axis: `key` picks the axis the points are searched on
// (they must rise along it), `other` the axis that is read.
template <typename Key, typename Other>
CurveReading ReadAlong(const std::vector<CurvePoint>& pts, double at, Key key, Other other) {
  CurveReading r;
  if (pts.size() < 2 || !(at > 0) || !std::isfinite(at)) return r;
  size_t hi = 1;
  while (hi < pts.size() - 1 && key(pts[hi]) < at) ++hi;
  // A curve that does not rise along `key` cannot be read this way.
  const CurvePoint& a = pts[hi - 1];
  const CurvePoint& b = pts[hi];
  if (!(key(b) > key(a))) return r;
  r.ok = true;
  r.p1 = a;
  r.p2 = b;
  r.extrapolated = at < key(pts.front()) || at > key(pts.back());
  r.value = LogLogInterpolate(key(a), other(a), key(b), other(b), at);
  return r;
}

}  // namespace

CurveReading ExcitationCurve::CurrentAt(double volts) const {
  return ReadAlong(
      points_, volts, [](const CurvePoint& p) { return p.volts; },
      [](const CurvePoint& p) { return p.amps; });
}

CurveReading ExcitationCurve::VoltageAt(double amps) const {
  // The current must rise with the voltage to be searched on; a measured
  // curve that dips is read on its rising part around `amps`.
  std::vector<CurvePoint> rising;
  for (const CurvePoint& p : points_) {
    if (rising.empty() || p.amps > rising.back().amps) rising.push_back(p);
  }
  return ReadAlong(
      rising, amps, [](const CurvePoint& p) { return p.amps; },
      [](const CurvePoint& p) { return p.volts; });
}

}  // namespace kova
