#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>

#include "assess/explain.h"
#include "assess/knee_check.h"
#include "assess/loglog_curve.h"
#include "assess_fixtures.h"

namespace kova {
namespace {

// A core that saturates: the magnetising current grows more slowly than the
// voltage at low flux, and steeply above about 500 V.
double Saturating(double v) { return 0.01 * std::pow(v / 100, 0.7) + 0.05 * std::pow(v / 500, 14); }

bool SameTo4Figures(double a, double b) {
  return std::fabs(a - b) <= 0.5e-4 * std::fabs(b);  // 4 significant figures
}

const Explanation* Find(const TestExplanation& t, const std::string& quantity) {
  for (const Explanation& x : t.items) {
    if (x.quantity == quantity) return &x;
  }
  return nullptr;
}

double Input(const Explanation& x, const std::string& name) {
  for (const ExplainInput& in : x.inputs) {
    if (in.name == name) return in.value;
  }
  ADD_FAILURE() << "no input " << name;
  return 0;
}

TEST(LogLogCurve, ReadsBetweenAndBeyondItsPoints) {
  const ExcitationCurve curve({{100, 0.01}, {0, 5}, {400, 0.16}, {200, 0.04}, {200, 9}});
  ASSERT_EQ(curve.points().size(), 3u);  // zero voltage and a repeated voltage dropped
  struct Case {
    double volts, amps;
    bool extrapolated;
  } cases[] = {{100, 0.01, false},
               {150, 0.0225, false},
               {400, 0.16, false},
               {50, 0.0025, true},
               {800, 0.64, true}};
  for (const Case& c : cases) {
    const CurveReading i = curve.CurrentAt(c.volts);
    ASSERT_TRUE(i.ok);
    EXPECT_NEAR(i.value, c.amps, 1e-12 * c.amps) << c.volts;
    EXPECT_EQ(i.extrapolated, c.extrapolated) << c.volts;
    const CurveReading v = curve.VoltageAt(c.amps);
    EXPECT_NEAR(v.value, c.volts, 1e-9 * c.volts) << c.amps;
  }
  EXPECT_FALSE(ExcitationCurve({{100, 0.01}}).CurrentAt(100).ok);
  EXPECT_FALSE(curve.CurrentAt(-1).ok);
}

// The listed points of each knee reproduce it by hand, and the knee lies
// where the rule puts it on the true curve.
TEST(KneeExplanation, ListedPointsReproduceEachKnee) {
  auto rec = CurveRecord(Saturating, 20, 700, 64);
  const TestExplanation t = ExplainTest(*rec, 1, nullptr, nullptr);
  for (const char* name : {"IEEE 30 Deg knee point", "IEEE 45 Deg knee point"}) {
    const Explanation* x = Find(t, name);
    ASSERT_NE(x, nullptr) << name;
    ASSERT_EQ(x->points.size(), 3u) << name;
    const CurvePoint a = x->points[0], b = x->points[1], c = x->points[2];
    const double tan_a = Input(*x, "tan a");
    // The parabola through (ln I, ln V - tan a ln I) of the three points.
    const double x1 = std::log(a.amps), x2 = std::log(b.amps), x3 = std::log(c.amps);
    const double f1 = std::log(a.volts) - tan_a * x1, f2 = std::log(b.volts) - tan_a * x2,
                 f3 = std::log(c.volts) - tan_a * x3;
    EXPECT_GT(f2, f1);
    EXPECT_GT(f2, f3);
    const double num = (x2 - x1) * (x2 - x1) * (f2 - f3) - (x2 - x3) * (x2 - x3) * (f2 - f1);
    const double den = (x2 - x1) * (f2 - f3) - (x2 - x3) * (f2 - f1);
    const double ik = std::exp(x2 - 0.5 * num / den);
    const CurvePoint& lo = ik <= b.amps ? a : b;
    const CurvePoint& hi = ik <= b.amps ? b : c;
    const double vk = lo.volts * std::pow(ik / lo.amps, std::log(hi.volts / lo.volts) /
                                                            std::log(hi.amps / lo.amps));
    EXPECT_TRUE(SameTo4Figures(ik, Input(*x, "recomputed knee current"))) << name;
    EXPECT_TRUE(SameTo4Figures(vk, Input(*x, "recomputed knee voltage"))) << name;
    EXPECT_EQ(x->interpolation, "linear in log-log");
  }
  const Explanation* iec = Find(t, "IEC 10/50 knee point");
  ASSERT_NE(iec, nullptr);
  // Two stretches of the curve, a point they share listed once.
  const size_t n = iec->points.size();
  ASSERT_TRUE(n == 3 || n == 4) << n;
  // ln I = ln I1 + a (ln V - ln V1) below, ln I3 + b (ln 1.1V - ln V3) above;
  // their difference is ln 1.5.
  const CurvePoint p1 = iec->points[0], p2 = iec->points[1], p3 = iec->points[n - 2],
                   p4 = iec->points[n - 1];
  if (n == 4) {
    EXPECT_FALSE(p2.volts == p3.volts && p2.amps == p3.amps) << "a point twice";
  }
  const double sa = std::log(p2.amps / p1.amps) / std::log(p2.volts / p1.volts);
  const double sb = std::log(p4.amps / p3.amps) / std::log(p4.volts / p3.volts);
  const double ln_v = (std::log(1.5) - std::log(p3.amps) + sb * std::log(p3.volts) -
                       sb * std::log(1.1) + std::log(p1.amps) - sa * std::log(p1.volts)) /
                      (sb - sa);
  const double vk = std::exp(ln_v);
  EXPECT_TRUE(SameTo4Figures(vk, Input(*iec, "recomputed knee voltage")));
  // On the true curve the rule holds within the reading error of 64 points.
  EXPECT_NEAR(Saturating(1.1 * vk) / Saturating(vk), 1.5, 0.03);
}

TEST(KneeCheck, OrderOfTheKneesAndCurvesWithoutOne) {
  auto rec = CurveRecord(Saturating, 20, 700, 64);
  const ExcitationCurve curve = ExcitationCurve::FromTap(*rec, rec->taps[0]);
  const KneeCheck k30 = FindKnee(curve, KneeRule::kIeee30);
  const KneeCheck k45 = FindKnee(curve, KneeRule::kIeee45);
  const KneeCheck k10 = FindKnee(curve, KneeRule::kIec1050);
  ASSERT_TRUE(k30.found && k45.found && k10.found);
  // The 45 degree tangent is reached before the 30 degree one.
  EXPECT_LT(k45.volts, k30.volts);
  EXPECT_LT(k45.amps, k30.amps);
  // Currents stored to 10 uA make the bottom of the curve a staircase; the
  // knees stay where they were.
  auto coarse =
      CurveRecord([](double v) { return std::round(Saturating(v) * 1e5) / 1e5; }, 20, 700, 64);
  const ExcitationCurve stairs = ExcitationCurve::FromTap(*coarse, coarse->taps[0]);
  const std::pair<KneeRule, const KneeCheck*> fine_knees[] = {
      {KneeRule::kIeee30, &k30}, {KneeRule::kIeee45, &k45}, {KneeRule::kIec1050, &k10}};
  for (const auto& [rule, fine_knee] : fine_knees) {
    const KneeCheck& fine = *fine_knee;
    const KneeCheck k = FindKnee(stairs, rule);
    ASSERT_TRUE(k.found) << KneeRuleName(rule);
    EXPECT_NEAR(k.volts, fine.volts, 0.01 * fine.volts) << KneeRuleName(rule);
  }
  // A straight line that never bends as far as 45 degrees has no knee.
  auto line = CurveRecord(PowerLaw(100, 0.01, 0.8), 10, 500);
  const ExcitationCurve line_curve = ExcitationCurve::FromTap(*line, line->taps[0]);
  for (KneeRule r : {KneeRule::kIeee30, KneeRule::kIeee45, KneeRule::kIec1050}) {
    EXPECT_FALSE(FindKnee(line_curve, r).found) << KneeRuleName(r);
  }
}

TEST(Explanation, InputsNameTheirOrigin) {
  auto rec = CurveRecord(Saturating, 20, 700, 64);
  rec->classsettings.tempcelsius = 25.0;  // what a record carries without a reading
  rec->taps[0].fWindingRes = 1000;
  const TestExplanation t = ExplainTest(*rec, 1, nullptr, nullptr);
  const Explanation* rct = Find(t, "winding resistance at 75 degC");
  ASSERT_NE(rct, nullptr);
  EXPECT_EQ(rct->result, "1.1927 ohm");
  ASSERT_GE(rct->inputs.size(), 2u);
  EXPECT_EQ(rct->inputs[0].origin, Origin::kMeasured);
  EXPECT_EQ(rct->inputs[1].origin, Origin::kDefault);
  rec->classsettings.tempcelsius = 30.0;
  EXPECT_EQ(Find(ExplainTest(*rec, 1, nullptr, nullptr), "winding resistance at 75 degC")
                ->inputs[1]
                .origin,
            Origin::kPlan);
  const RecordExplanation all = ExplainRecord(*rec, 0, nullptr, nullptr);
  EXPECT_FALSE(all.program_version.empty());
  const std::string dump = ExplanationJson(all).Dump();
  EXPECT_NE(dump.find("\"origin\":\"measured\""), std::string::npos);
  EXPECT_NE(ExplanationLines(all).front().find(all.program_version), std::string::npos);
}

}  // namespace
}  // namespace kova

namespace kova {
namespace {

// A damaged record's non-finite values read "N/A" in the working, as on
// the rest of the report; words that merely contain the letters stay.
TEST(ExplainLines, NonFiniteValuesShowAsNotAvailable) {
  const std::vector<std::string> in = {"recomputed nan V at -nan A", "ratio inf, -inf %, +INF",
                                       "information: infinity", "nano 1.5 inferred", ""};
  const std::vector<std::string> want = {"recomputed N/A V at N/A A", "ratio N/A, N/A %, N/A",
                                         "information: N/A", "nano 1.5 inferred", ""};
  EXPECT_EQ(WithoutNonFinite(in), want);
}

}  // namespace
}  // namespace kova
