// The simulated transformer: ratios from the terminal turns, a saturating
// curve, and knee points that meet their definitions on that curve.

#include <gtest/gtest.h>

#include <cmath>

#include "sim/ct_model.h"

namespace kova {
namespace {

// Slope of log V over log I on the curve at `volts` (equal decades).
double LogLogSlope(const CtModel& ct, int turns, double volts) {
  const double h = 1e-4;
  const double v1 = volts * (1 - h), v2 = volts * (1 + h);
  return (std::log10(v2) - std::log10(v1)) / (std::log10(ct.ExcitationCurrent(turns, v2)) -
                                              std::log10(ct.ExcitationCurrent(turns, v1)));
}

TEST(CtModel, TapRatiosAddUpAlongTheWinding) {
  for (uint32_t seed = 1; seed <= 20; ++seed) {
    const CtModel ct = CtModel::FromSeed(seed);
    // X1-X5 = X1-X2 + X2-X3 + X3-X4 + X4-X5, and so on.
    EXPECT_EQ(ct.Turns(4), ct.Turns(1) + ct.Turns(5) + ct.Turns(8) + ct.Turns(10));
    EXPECT_EQ(ct.Turns(7), ct.Turns(5) + ct.Turns(8) + ct.Turns(10));
    EXPECT_EQ(ct.Turns(3), ct.Turns(2) + ct.Turns(8));
    for (int code = 1; code <= 10; ++code) {
      EXPECT_GT(ct.Turns(code), 0);
      EXPECT_EQ(ct.NameplatePrimary(code), std::lround(ct.Turns(code) * ct.SecondaryAmps()));
      EXPECT_NEAR(ct.TurnsRatio(code) / ct.Turns(code), 1.0, 0.005);
    }
    EXPECT_EQ(ct.Turns(0), 0);
    EXPECT_EQ(ct.Turns(11), 0);
  }
}

TEST(CtModel, TheCurveSaturates) {
  const CtModel ct = CtModel::FromSeed(3);
  const int turns = ct.Turns(4);
  double last = 0;
  for (double v = 1; v < 3000; v *= 1.3) {
    const double i = ct.ExcitationCurrent(turns, v);
    EXPECT_GT(i, last);
    last = i;
  }
  // Steep below the knee, flat above it.
  const double knee = ct.Knee45(turns).volts;
  EXPECT_GT(LogLogSlope(ct, turns, knee / 4), 1.2);
  EXPECT_LT(LogLogSlope(ct, turns, knee * 1.5), 0.2);
  EXPECT_NEAR(ct.VoltageAtCurrent(turns, ct.ExcitationCurrent(turns, 123.0)), 123.0, 1e-6);
}

TEST(CtModel, KneePointsMeetTheirDefinitions) {
  for (uint32_t seed = 1; seed <= 10; ++seed) {
    const CtModel ct = CtModel::FromSeed(seed);
    for (int code : {1, 4, 9}) {
      const int turns = ct.Turns(code);
      const KneePoint k45 = ct.Knee45(turns), k30 = ct.Knee30(turns), k10 = ct.Knee1050(turns);
      EXPECT_NEAR(LogLogSlope(ct, turns, k45.volts), 1.0, 1e-3);
      EXPECT_NEAR(LogLogSlope(ct, turns, k30.volts), std::tan(30.0 * 3.141592653589793 / 180.0),
                  1e-3);
      EXPECT_NEAR(ct.ExcitationCurrent(turns, 1.1 * k10.volts) / k10.amps, 1.5, 1e-6);
      EXPECT_NEAR(k45.amps, ct.ExcitationCurrent(turns, k45.volts), 1e-12);
      // The 30 degree tangent lies higher on the curve than the 45 degree one.
      EXPECT_LT(k45.volts, k30.volts);
      // A knee scales with the turns; its current falls with them.
      const int fewer = ct.Turns(1);
      EXPECT_NEAR(ct.Knee45(fewer).volts / k45.volts, double(fewer) / turns, 1e-6);
    }
  }
}

TEST(CtModel, ResistanceGrowsWithTurnsAndSeedsRepeat) {
  const CtModel a = CtModel::FromSeed(11), b = CtModel::FromSeed(11), c = CtModel::FromSeed(12);
  EXPECT_LT(a.WindingResistance(a.Turns(1)), a.WindingResistance(a.Turns(4)));
  EXPECT_EQ(a.WindingResistance(a.Turns(4)), b.WindingResistance(b.Turns(4)));
  EXPECT_EQ(a.SerialNumber(), b.SerialNumber());
  EXPECT_NE(a.SerialNumber(), c.SerialNumber());
}

}  // namespace
}  // namespace kova
