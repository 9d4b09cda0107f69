#pragma once
// The knee points found again from the measured curve, by the rule of each
// knee type, with the few points each was found between, so that anyone can
// redo the arithmetic by hand. The instrument's own knee points stay what
// the report shows; these are the program's check of them.

#include <string>
#include <vector>

#include "assess/loglog_curve.h"

namespace kova {

enum class KneeRule { kIeee30, kIeee45, kIec1050 };

// "IEEE 30 Deg", "IEEE 45 Deg", "IEC 10/50".
const char* KneeRuleName(KneeRule rule);

struct KneeCheck {
  bool found = false;
  double volts = 0;
  double amps = 0;
  // IEEE: the three points of the two segments whose slopes bracket the
  // tangent. IEC: the two points bracketing the knee voltage, then the two
  // bracketing 1.1 x the knee voltage.
  std::vector<CurvePoint> points;
  // IEEE: the slopes d(log V)/d(log I) of the two segments.
  double slope1 = 0, slope2 = 0;
};

// IEEE 30/45 degrees: the point where the tangent of the curve on log-log
// axes of equal decades rises at that angle over the current axis. Each
// segment's slope s = ln(V2/V1) / ln(I2/I1) is taken at the middle of the
// segment in ln I; between the first two neighbouring segments whose slopes
// cross tan(angle), ln I of the knee is interpolated linearly in the slope,
// and its voltage is read off the curve.
// IEC 10/50: the voltage at which 10 % more voltage needs 50 % more current,
// I(1.1 Vk) = 1.5 I(Vk), both read off the curve.
KneeCheck FindKnee(const ExcitationCurve& curve, KneeRule rule);

}  // namespace kova
