#include "analysis/excitation.h"

#include <cmath>

#include "base/format.h"

namespace kova {

KneeRule KneeRuleOfType(int kneetype) {
  if (kneetype == 1) return KneeRule::kIeee30;
  if (kneetype == 2) return KneeRule::kIeee45;
  return KneeRule::kIec1050;
}

CurvePoint KneeOf(KneeRule rule, const CurvePoint& ieee30, const CurvePoint& ieee45,
                  const CurvePoint& iec1050) {
  switch (rule) {
    case KneeRule::kIeee30:
      return ieee30;
    case KneeRule::kIeee45:
      return ieee45;
    case KneeRule::kIec1050:
      break;
  }
  return iec1050;
}

CurvePoint TapKneeByRule(KneeRule rule, const TapTest& tap) {
  return KneeOf(rule, {tap.fKneeVtg30, tap.fKneeCur30}, {tap.fKneeVtg45, tap.fKneeCur45},
                {tap.fKneeVtg10, tap.fKneeCur10});
}

CurvePoint TapKnee(int kneetype, const TapTest& tap) {
  return TapKneeByRule(KneeRuleOfType(kneetype), tap);
}

int InterpolationPointCount(const TestRecord& rec) {
  if (rec.deviceversion == 4) return 52;
  if (rec.deviceversion == 2) return 64;
  return 32;
}

double BurdenAngleDegrees(double rb, double xb) {
  if (xb == 0) {
    if (rb > 0) return 90.0;
    if (rb < 0) return -90.0;
    return 0.0;
  }
  return std::atan(rb / xb) * 180 / kPi;
}

void InterpolateAt(TestRecord& rec, const TapTest& tap, const BurdenRow& row, double vsec,
                   RcfPoint& out, double k) {
  // Read the burden before `out` (which may live in `row`) is written.
  const double rb = row.Rb;
  const double xb = row.Xb;
  out.found = 0;
  const int n = InterpolationPointCount(rec);
  auto usable = [&tap](int i) {
    return std::isfinite(tap.dpVolts[i]) && std::isfinite(tap.dpAmps[i]) &&
           std::isfinite(tap.dpPhase[i]);
  };
  bool have_upper = false;
  bool have_lower = false;
  for (int i = 0; i < n; ++i) {
    const int j = n - 1 - i;
    if (!have_upper && usable(j) && tap.dpVolts[j] > vsec) {
      out.V2 = tap.dpVolts[j];
      out.I2 = tap.dpAmps[j];
      out.P2 = tap.dpPhase[j];
      have_upper = true;
    }
    if (!have_lower && usable(i) && tap.dpVolts[i] > 0 && tap.dpVolts[i] <= vsec) {
      out.V1 = tap.dpVolts[i];
      out.I1 = tap.dpAmps[i];
      out.P1 = tap.dpPhase[i];
      have_lower = true;
    }
  }
  const int percent = k == 1.0 ? 100 : 10;
  const std::string label = Format("Interpolated %d%%", percent);

  bool found = have_upper && have_lower;
  if (found) {
    const double d = vsec - out.V1;
    const double span = out.V2 - out.V1;
    const double current = (out.I2 - out.I1) * d / span + out.I1;
    const double phase = (out.P2 - out.P1) * d / span + out.P1;
    const double theta = phase - BurdenAngleDegrees(rb, xb);
    const double five_k = 5 * k;
    const double rcf = 1 / (five_k / (std::cos(theta * kPi / 180) * current + five_k));
    // The lower point is at or below vsec and the upper above it, so the span
    // is positive; the check keeps a damaged curve from printing "nan".
    found = span > 0 && std::isfinite(current) && std::isfinite(phase) && std::isfinite(theta) &&
            std::isfinite(rcf);
    if (found) {
      out.found = 1;
      out.I = current;
      out.Phs = phase;
      out.theta = theta;
      out.RCF = rcf;
      out.trace = Format(
          "%s vsec %.3lf (VtgPt1 %.2lf VtgPt2 %.2lf) (Ipt1 %.4lf  Ipt2 %.4lf) I %.4lf  "
          "(PhsPt1 %.2lf PhsPt2 %.2lf Phs %.2lf)\n",
          label.c_str(), vsec, out.V1, out.V2, out.I1, out.I2, out.I, out.P1, out.P2, out.Phs);
      out.rcftext = Format("%.3lf", out.RCF);
    }
  }
  if (!found && have_upper && have_lower) {
    // Both points are there, but the figures made from them are not numbers
    // (a damaged curve): say so instead of "not found".
    out.trace =
        Format("%s Point found, value cannot be formed (vsec %.3lf)\n", label.c_str(), vsec);
    out.rcftext = "N/A";
  } else if (!found) {
    out.trace = Format("%s Point not found.  Point#1=%s, Point#2=%s\n", label.c_str(),
                       have_lower ? "found" : "not found", have_upper ? "found" : "not found");
    out.rcftext = "N/A";
  }
  rec.calctext += out.trace;
}

}  // namespace kova
