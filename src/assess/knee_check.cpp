#include "assess/knee_check.h"

#include <cmath>

#include "analysis/excitation.h"

namespace kova {

const char* KneeRuleName(KneeRule rule) {
  switch (rule) {
    case KneeRule::kIeee30:
      return "IEEE 30 Deg";
    case KneeRule::kIeee45:
      return "IEEE 45 Deg";
    case KneeRule::kIec1050:
      return "IEC 10/50";
  }
  return "";
}

namespace {

KneeCheck FindIeeeKnee(const std::vector<CurvePoint>& pts, double degrees) {
  KneeCheck k;
  const double t = std::tan(degrees * kPi / 180.0);
  for (size_t i = 0; i + 2 < pts.size(); ++i) {
    const CurvePoint& a = pts[i];
    const CurvePoint& b = pts[i + 1];
    const CurvePoint& c = pts[i + 2];
    // Current must rise along both segments for a slope to exist.
    if (!(b.amps > a.amps) || !(c.amps > b.amps)) continue;
    const double s1 = std::log(b.volts / a.volts) / std::log(b.amps / a.amps);
    const double s2 = std::log(c.volts / b.volts) / std::log(c.amps / b.amps);
    if (!(s1 > t && s2 <= t)) continue;
    const double m1 = (std::log(a.amps) + std::log(b.amps)) / 2;
    const double m2 = (std::log(b.amps) + std::log(c.amps)) / 2;
    const double ln_i = m1 + (s1 - t) / (s1 - s2) * (m2 - m1);
    k.amps = std::exp(ln_i);
    k.volts = k.amps <= b.amps ? LogLogInterpolate(a.amps, a.volts, b.amps, b.volts, k.amps)
                               : LogLogInterpolate(b.amps, b.volts, c.amps, c.volts, k.amps);
    k.found = std::isfinite(k.volts) && std::isfinite(k.amps);
    k.points = {a, b, c};
    k.slope1 = s1;
    k.slope2 = s2;
    return k;
  }
  return k;
}

// ln(I(1.1 V) / I(V)) - ln 1.5: negative below the knee, positive above.
double IecExcess(const ExcitationCurve& curve, double v) {
  return std::log(curve.CurrentAt(1.1 * v).value / curve.CurrentAt(v).value) - std::log(1.5);
}

KneeCheck FindIecKnee(const ExcitationCurve& curve) {
  KneeCheck k;
  const std::vector<CurvePoint>& pts = curve.points();
  const double top = pts.back().volts / 1.1;
  double lo = 0;
  double hi = 0;
  double prev = pts.front().volts;
  // The first data voltage (or the top) at which the excess turns positive.
  for (size_t i = 1; i <= pts.size(); ++i) {
    const double v = i < pts.size() ? std::fmin(pts[i].volts, top) : top;
    if (v <= prev) continue;
    if (IecExcess(curve, prev) < 0 && IecExcess(curve, v) >= 0) {
      lo = prev;
      hi = v;
      break;
    }
    prev = v;
  }
  if (hi == 0) return k;
  for (int step = 0; step < 200 && hi - lo > 1e-13 * hi; ++step) {
    const double mid = (lo + hi) / 2;
    (IecExcess(curve, mid) < 0 ? lo : hi) = mid;
  }
  const CurveReading at_v = curve.CurrentAt(hi);
  const CurveReading at_11 = curve.CurrentAt(1.1 * hi);
  k.found = at_v.ok && at_11.ok && !at_v.extrapolated && !at_11.extrapolated;
  k.volts = hi;
  k.amps = at_v.value;
  k.points = {at_v.p1, at_v.p2, at_11.p1, at_11.p2};
  return k;
}

}  // namespace

KneeCheck FindKnee(const ExcitationCurve& curve, KneeRule rule) {
  if (curve.points().size() < 3) return KneeCheck();
  switch (rule) {
    case KneeRule::kIeee30:
      return FindIeeeKnee(curve.points(), 30.0);
    case KneeRule::kIeee45:
      return FindIeeeKnee(curve.points(), 45.0);
    case KneeRule::kIec1050:
      return FindIecKnee(curve);
  }
  return KneeCheck();
}

}  // namespace kova
