#include "analysis/excitation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kova {
namespace {

// A burden row of the metering calculation: power factor 0.9.
BurdenRow MeteringBurden(double z) {
  BurdenRow row;
  row.Z = z;
  row.Rb = 0.9 * z;
  row.Xb = std::sqrt(0.19) * z;
  return row;
}

class Interpolation : public ::testing::Test {
 protected:
  void SetUp() override {
    rec_.deviceversion = 2;
    // Decreasing voltage, as the instrument stores them.
    Point(0, 100, 0.01, 10);
    Point(1, 75, 0.0075, 12);
    Point(2, 50, 0.005, 20);
  }
  void Point(int i, double v, double a, double p) {
    tap_.dpVolts[i] = v;
    tap_.dpAmps[i] = a;
    tap_.dpPhase[i] = p;
  }
  TestRecord rec_;
  TapTest tap_;
  RcfPoint out_;
};

TEST(KneeType, NamesAndStoredCodes) {
  TestRecord rec;
  rec.KneeTypeName(1);
  EXPECT_EQ(rec.kneetypestr, "IEEE 30 Deg");
  rec.KneeTypeName(2);
  EXPECT_EQ(rec.kneetype, 2);
  EXPECT_EQ(rec.kneetypestr, "IEEE 45 Deg");
  for (int code : {0, 3, 7}) {
    rec.KneeTypeName(code);
    EXPECT_EQ(rec.kneetype, 3);
    EXPECT_EQ(rec.kneetypestr, "IEC 10/50");
  }
}

TEST_F(Interpolation, HalfwayBetweenTwoPoints) {
  Point(1, 50, 0.005, 20);  // two points only
  Point(2, 0, 0, 0);
  InterpolateAt(rec_, tap_, MeteringBurden(1.0), 75, out_, 1.0);
  ASSERT_EQ(out_.found, 1);
  EXPECT_DOUBLE_EQ(out_.V1, 50);
  EXPECT_DOUBLE_EQ(out_.V2, 100);
  EXPECT_DOUBLE_EQ(out_.I, 0.0075);
  EXPECT_DOUBLE_EQ(out_.Phs, 15);
  EXPECT_EQ(out_.trace,
            "Interpolated 100% vsec 75.000 (VtgPt1 50.00 VtgPt2 100.00) (Ipt1 0.0050  Ipt2 "
            "0.0100) I 0.0075  (PhsPt1 20.00 PhsPt2 10.00 Phs 15.00)\n");
  EXPECT_EQ(rec_.calctext, out_.trace);
}

TEST_F(Interpolation, AVoltageOnAPointTakesItAsTheLowerPoint) {
  InterpolateAt(rec_, tap_, MeteringBurden(1.0), 75, out_, 0.1);
  ASSERT_EQ(out_.found, 1);
  EXPECT_DOUBLE_EQ(out_.V1, 75);
  EXPECT_DOUBLE_EQ(out_.V2, 100);
  EXPECT_DOUBLE_EQ(out_.I, 0.0075);
  EXPECT_DOUBLE_EQ(out_.Phs, 12);
  EXPECT_EQ(out_.trace.rfind("Interpolated 10% vsec 75.000", 0), 0u);
}

TEST_F(Interpolation, AboveTheHighestPointIsNotFound) {
  out_.RCF = 1.234;
  InterpolateAt(rec_, tap_, MeteringBurden(1.0), 150, out_, 1.0);
  EXPECT_EQ(out_.found, 0);
  EXPECT_EQ(out_.trace, "Interpolated 100% Point not found.  Point#1=found, Point#2=not found\n");
  EXPECT_EQ(out_.rcftext, "N/A");
  EXPECT_EQ(out_.RCF, 1.234);  // kept

  InterpolateAt(rec_, tap_, MeteringBurden(1.0), 10, out_, 0.1);
  EXPECT_EQ(out_.trace, "Interpolated 10% Point not found.  Point#1=not found, Point#2=found\n");
  EXPECT_EQ(rec_.calctext,
            "Interpolated 100% Point not found.  Point#1=found, Point#2=not found\n"
            "Interpolated 10% Point not found.  Point#1=not found, Point#2=found\n");
}

TEST_F(Interpolation, RcfAtTheBurdenAngle) {
  const BurdenRow row = MeteringBurden(0.5);
  const double angle = BurdenAngleDegrees(row.Rb, row.Xb);
  EXPECT_NEAR(angle, 64.158, 0.001);
  for (int i = 0; i < 3; ++i) tap_.dpPhase[i] = angle;
  for (double k : {1.0, 0.1}) {
    InterpolateAt(rec_, tap_, row, 60, out_, k);
    ASSERT_EQ(out_.found, 1);
    EXPECT_NEAR(out_.theta, 0, 1e-12);
    EXPECT_DOUBLE_EQ(out_.I, 0.006);
    EXPECT_NEAR(out_.RCF, 1 + 0.006 / (5 * k), 1e-12);
    EXPECT_EQ(out_.rcftext, k == 1.0 ? "1.001" : "1.012");
  }
}

TEST_F(Interpolation, ThetaAtAnotherAngle) {
  for (int i = 0; i < 3; ++i) tap_.dpPhase[i] = 30;
  const BurdenRow row = MeteringBurden(1.0);
  InterpolateAt(rec_, tap_, row, 60, out_, 1.0);
  const double theta = 30 - std::atan(0.9 / std::sqrt(0.19)) * 180 / kPi;
  EXPECT_NEAR(out_.theta, theta, 1e-12);
  EXPECT_NEAR(out_.RCF, (5 + 0.006 * std::cos(theta * kPi / 180)) / 5, 1e-12);
}

TEST_F(Interpolation, ABurdenWithoutReactanceStaysFinite) {
  BurdenRow row;
  row.Rb = 1;
  row.Xb = 0;
  EXPECT_EQ(BurdenAngleDegrees(1, 0), 90);
  EXPECT_EQ(BurdenAngleDegrees(-1, 0), -90);
  EXPECT_EQ(BurdenAngleDegrees(0, 0), 0);
  InterpolateAt(rec_, tap_, row, 60, out_, 1.0);
  ASSERT_EQ(out_.found, 1);
  EXPECT_TRUE(std::isfinite(out_.theta));
  EXPECT_TRUE(std::isfinite(out_.RCF));
  row.Rb = 0;
  InterpolateAt(rec_, tap_, row, 60, out_, 1.0);
  EXPECT_TRUE(std::isfinite(out_.RCF));
}

TEST_F(Interpolation, PointsThatAreNotNumbersAreNeverUsed) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  Point(3, 40, nan, 0);   // lower than 50 V but unusable
  tap_.dpVolts[4] = inf;  // would be the upper point of anything
  tap_.dpAmps[4] = 1;
  InterpolateAt(rec_, tap_, MeteringBurden(1.0), 45, out_, 1.0);
  EXPECT_EQ(out_.found, 0);
  EXPECT_EQ(out_.trace, "Interpolated 100% Point not found.  Point#1=not found, Point#2=found\n");
  InterpolateAt(rec_, tap_, MeteringBurden(1.0), 60, out_, 1.0);
  EXPECT_EQ(out_.found, 1);
  EXPECT_DOUBLE_EQ(out_.V2, 75);
  EXPECT_EQ(rec_.calctext.find("nan"), std::string::npos);
  EXPECT_EQ(rec_.calctext.find("inf"), std::string::npos);
}

TEST_F(Interpolation, BothPointsFoundButNoValueSaysWhy) {
  Point(0, 100, 1.7e308, 10);  // finite points whose difference is not
  Point(1, 75, -1.7e308, 12);
  InterpolateAt(rec_, tap_, MeteringBurden(1.0), 80, out_, 1.0);
  EXPECT_EQ(out_.found, 0);
  EXPECT_EQ(out_.rcftext, "N/A");
  EXPECT_EQ(out_.trace, "Interpolated 100% Point found, value cannot be formed (vsec 80.000)\n");
}

TEST_F(Interpolation, OnlyTheModelsPointsAreScanned) {
  rec_.deviceversion = 1;  // 32 points
  Point(2, 0, 0, 0);
  Point(40, 50, 0.005, 20);  // beyond 32: not a point of this model
  InterpolateAt(rec_, tap_, MeteringBurden(1.0), 60, out_, 1.0);
  EXPECT_EQ(out_.found, 0);
  rec_.deviceversion = 4;  // 52 points
  InterpolateAt(rec_, tap_, MeteringBurden(1.0), 60, out_, 1.0);
  EXPECT_EQ(out_.found, 1);
  Point(40, 0, 0, 0);
  Point(55, 50, 0.005, 20);
  InterpolateAt(rec_, tap_, MeteringBurden(1.0), 60, out_, 1.0);
  EXPECT_EQ(out_.found, 0);
}

}  // namespace
}  // namespace kova
