#include "assess/knee_check.h"

#include <cmath>
#include <utility>
#include <vector>

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

double KneeMerit(const CurvePoint& p, double t) { return std::log(p.volts) - t * std::log(p.amps); }

}  // namespace

double ParabolaVertex(double x1, double y1, double x2, double y2, double x3, double y3) {
  const double d1 = (x2 - x1) * (y2 - y3);
  const double d3 = (x2 - x3) * (y2 - y1);
  const double den = d1 - d3;
  if (den == 0) return x2;
  const double x = x2 - 0.5 * ((x2 - x1) * d1 - (x2 - x3) * d3) / den;
  return std::fmin(std::fmax(x, x1), x3);
}

namespace {

KneeCheck FindIeeeKnee(const std::vector<CurvePoint>& pts, double degrees) {
  KneeCheck k;
  const double t = std::tan(degrees * kPi / 180.0);
  // Where the tangent has slope t, ln V - t ln I is largest.
  size_t b = 0;
  for (size_t i = 1; i < pts.size(); ++i) {
    if (KneeMerit(pts[i], t) > KneeMerit(pts[b], t)) b = i;
  }
  if (b == 0 || b + 1 == pts.size()) return k;  // the curve never bends that far
  const CurvePoint& pa = pts[b - 1];
  const CurvePoint& pb = pts[b];
  const CurvePoint& pc = pts[b + 1];
  const double ln_i = ParabolaVertex(std::log(pa.amps), KneeMerit(pa, t), std::log(pb.amps),
                                     KneeMerit(pb, t), std::log(pc.amps), KneeMerit(pc, t));
  k.amps = std::exp(ln_i);
  k.volts = k.amps <= pb.amps ? LogLogInterpolate(pa.amps, pa.volts, pb.amps, pb.volts, k.amps)
                              : LogLogInterpolate(pb.amps, pb.volts, pc.amps, pc.volts, k.amps);
  k.found = std::isfinite(k.volts) && std::isfinite(k.amps);
  k.points = {pa, pb, pc};
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
  // The data voltages up to the top, then from the top down the first
  // step whose lower end is below the rule and upper end is not: the last
  // crossing, so the resolution of the smallest currents cannot fake one.
  std::vector<double> volts;
  for (const CurvePoint& p : pts) {
    if (p.volts < top) volts.push_back(p.volts);
  }
  volts.push_back(top);
  double lo = 0;
  double hi = 0;
  for (size_t i = volts.size() - 1; i > 0; --i) {
    if (IecExcess(curve, volts[i - 1]) < 0 && IecExcess(curve, volts[i]) >= 0) {
      lo = volts[i - 1];
      hi = volts[i];
      break;
    }
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
  // Only points of strictly rising current: a staircase of equal currents
  // at the bottom of the curve has no slope to read.
  std::vector<CurvePoint> pts;
  for (const CurvePoint& p : curve.points()) {
    if (pts.empty() || p.amps > pts.back().amps) pts.push_back(p);
  }
  const ExcitationCurve rising(std::move(pts));
  if (rising.points().size() < 3) return KneeCheck();
  switch (rule) {
    case KneeRule::kIeee30:
      return FindIeeeKnee(rising.points(), 30.0);
    case KneeRule::kIeee45:
      return FindIeeeKnee(rising.points(), 45.0);
    case KneeRule::kIec1050:
      return FindIecKnee(rising);
  }
  return KneeCheck();
}

KneeRule RecordKneeRule(const TestRecord& rec) { return KneeRuleOfType(rec.kneetype); }

CurvePoint RecordKnee(const TestRecord& rec, const TapTest& tap) {
  return TapKnee(rec.kneetype, tap);
}

}  // namespace kova
