#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "analysis/class_calc.h"
#include "analysis/compute_derived.h"
#include "analysis/excitation.h"
#include "analysis/read_record.h"
#include "analysis/taps.h"
#include "records/test_record.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

std::unique_ptr<TestRecord> Relaying(std::initializer_list<const char*> taps) {
  auto rec = std::make_unique<TestRecord>();
  rec->deviceversion = 1;
  rec->numtests = 0;
  for (const char* name : taps) {
    TapTest& tap = rec->taps[rec->numtests++];
    tap.nTapConnection = TapCodeFromName(name);
    tap.uTestType = kRatioTest | kResistanceTest | kExcitationTest;
  }
  rec->classsettings.tempcelsius = 25.0;
  rec->classsettings.ratedcurrent = 5.0;
  return rec;
}

TEST(ComputeDerived, TemperatureCorrection) {
  auto rec = Relaying({"X1-X5"});
  rec->taps[0].fWindingRes = 1000;
  ComputeDerived(*rec);
  EXPECT_EQ(rec->classdone, 1);
  EXPECT_DOUBLE_EQ(rec->Tmeas, 25);
  EXPECT_DOUBLE_EQ(rec->Rmeas, 1.0);
  EXPECT_DOUBLE_EQ(rec->Rct75, 309.5 / 259.5);
}

TEST(ComputeDerived, ImpossibleTemperatureCalculatesNoClass) {
  for (double t : {-234.5, -300.0, std::nan("")}) {
    auto rec = Relaying({"X1-X5"});
    rec->taps[0].fWindingRes = 1000;
    rec->taps[0].dpVolts[0] = 5000;
    rec->taps[0].dpAmps[0] = 0.1;
    rec->classsettings.tempcelsius = t;
    ComputeDerived(*rec);
    EXPECT_EQ(rec->classdone, 0) << t;
    EXPECT_EQ(rec->Rct75, 0) << t;
    EXPECT_EQ(rec->classresult, "N/A") << t;
    for (const BurdenRow& row : rec->rows) EXPECT_TRUE(std::isfinite(row.Vsec));
    EXPECT_NE(rec->calctext.find("cannot be corrected"), std::string::npos);
  }
}

TEST(ComputeDerived, WholeWindingTapIsPreferred) {
  auto rec = Relaying({"X1-X2", "X2-X3"});
  ComputeDerived(*rec);
  EXPECT_EQ(rec->tapmode, "Single Tap");
  EXPECT_EQ(rec->classtap, "X1-X2");
  EXPECT_EQ(rec->classdone, 1);

  rec = Relaying({"X1-X2", "X2-X3", "X1-X5"});
  rec->taps[0].fWindingRes = 200;
  rec->taps[2].fWindingRes = 400;
  ComputeDerived(*rec);
  EXPECT_EQ(rec->tapmode, "Multi Tap");
  EXPECT_EQ(rec->classtap, "X1-X5");
  EXPECT_DOUBLE_EQ(rec->Rmeas, 0.4);

  rec = Relaying({"X2-X3", "X1-X4"});
  ComputeDerived(*rec);
  EXPECT_EQ(rec->classdone, 0);
  EXPECT_EQ(rec->classresult, "N/A");
  EXPECT_EQ(rec->tapmode, "Single Tap");
  EXPECT_EQ(rec->classtap, "");
}

TEST(ComputeDerived, RelayingRowsForFiveAmps) {
  auto rec = Relaying({"X1-X5"});
  rec->taps[0].fWindingRes = 259.5;  // Rct75 0.3095 ohms at 25 degC
  ComputeDerived(*rec);
  const char* names[] = {"C10", "C20", "C50", "C100", "C200", "C400", "C800"};
  const double z[] = {0.1, 0.2, 0.5, 1.0, 2.0, 4.0, 8.0};
  EXPECT_DOUBLE_EQ(rec->IRated, 5.0);
  EXPECT_DOUBLE_EQ(rec->vmultiple, 20.0);
  for (int i = 0; i < kBurdenRows; ++i) {
    const BurdenRow& row = rec->rows[i];
    const double pf = i < 3 ? 0.9 : 0.5;
    EXPECT_EQ(row.name, names[i]);
    EXPECT_DOUBLE_EQ(row.Z, z[i]);
    EXPECT_DOUBLE_EQ(row.Rb, z[i] * pf);
    EXPECT_DOUBLE_EQ(row.Xb, z[i] * std::sqrt(1 - pf * pf));
    EXPECT_DOUBLE_EQ(row.Ztot, std::hypot(row.Rb + 0.3095, row.Xb));
    EXPECT_DOUBLE_EQ(row.Vsec, 100 * row.Ztot);
    EXPECT_DOUBLE_EQ(row.Vsec10, row.Vsec * 0.1);
  }
}

TEST(ComputeDerived, RelayingRowsForOneAmp) {
  auto rec = Relaying({"X1-X5"});
  rec->classsettings.ratedcurrent = 1.0;
  ComputeDerived(*rec);
  const char* names[] = {"C50", "C100", "C250", "C500", "C1000", "C2000", "C4000"};
  const double z[] = {2.5, 5.0, 12.5, 25.0, 50.0, 100.0, 200.0};
  EXPECT_DOUBLE_EQ(rec->IRated, 1.0);
  for (int i = 0; i < kBurdenRows; ++i) {
    EXPECT_EQ(rec->rows[i].name, names[i]);
    EXPECT_DOUBLE_EQ(rec->rows[i].Rb, z[i] * 0.5);
    EXPECT_NEAR(rec->rows[i].Vsec, 20 * z[i], 1e-9);
  }
  // Anything but exactly 5 A counts as 1 A.
  rec->classsettings.ratedcurrent = 4.999;
  ComputeDerived(*rec);
  EXPECT_DOUBLE_EQ(rec->IRated, 1.0);
}

TEST(ComputeDerived, HighestClassTheCurveReachesBelowTwoAmps) {
  auto rec = Relaying({"X1-X5"});
  TapTest& tap = rec->taps[0];
  tap.dpVolts[0] = 900;  // above C800's 800 V, but at 2 A
  tap.dpAmps[0] = 2.0;
  tap.dpVolts[1] = 450;  // above C400's 400 V
  tap.dpAmps[1] = 0.5;
  ComputeDerived(*rec);
  EXPECT_EQ(rec->classresult, "C400");
  EXPECT_EQ(tap.tapclass, "C400");

  tap.dpAmps[0] = 1.999;
  ComputeDerived(*rec);
  EXPECT_EQ(rec->classresult, "C800");

  // A point exactly at the row's voltage does not reach it.
  tap.dpVolts[0] = rec->rows[5].Vsec;
  tap.dpVolts[1] = 0;
  ComputeDerived(*rec);
  EXPECT_EQ(rec->classresult, "C200");

  // Points past the model's 32 are not looked at.
  tap.dpVolts[0] = tap.dpVolts[1] = 0;
  tap.dpVolts[40] = 900;
  tap.dpAmps[40] = 0.1;
  ComputeDerived(*rec);
  EXPECT_EQ(rec->classresult, "N/A");
  EXPECT_EQ(tap.tapclass, "");
  rec->deviceversion = 2;
  ComputeDerived(*rec);
  EXPECT_EQ(rec->classresult, "C800");
}

// A model 2 metering record whose curve is V = 100 I, with the phase at the
// metering burden's angle, so RCF = 1 + I / (5 K).
std::unique_ptr<TestRecord> Metering(int tests) {
  auto rec = std::make_unique<TestRecord>();
  rec->deviceversion = 2;
  rec->numtests = tests;
  rec->classsettings.ctusage = 2;
  rec->classsettings.tempcelsius = 25;
  rec->classsettings.ratedcurrent = 1.0;  // ignored: metering is on 5 A
  const double angle = BurdenAngleDegrees(0.9, std::sqrt(0.19));
  for (int t = 0; t < tests; ++t) {
    TapTest& tap = rec->taps[t];
    tap.nTapConnection = t == 0 ? 4 : 1;
    for (int i = 0; i < kMaxDataPoints; ++i) {
      tap.dpVolts[i] = 100 * std::pow(0.8, i);
      tap.dpAmps[i] = tap.dpVolts[i] / 100;
      tap.dpPhase[i] = angle;
    }
  }
  return rec;
}

TEST(ComputeDerived, MeteringRowsAndClasses) {
  auto rec = Metering(2);
  ComputeDerived(*rec);
  EXPECT_EQ(rec->classdone, 1);
  EXPECT_DOUBLE_EQ(rec->IRated, 5.0);
  EXPECT_DOUBLE_EQ(rec->vmultiple, 1.0);
  EXPECT_EQ(rec->classresult, "N/A");
  EXPECT_EQ(rec->classtap, "X1-X2");  // the last test
  const char* names[] = {"B-0.1", "B-0.2", "B-0.5", "B-0.9", "B-1.8"};
  const double z[] = {0.1, 0.2, 0.5, 1.0, 2.0};
  // RCF at 100 %: 1.001, 1.002, 1.005, 1.010, 1.020.
  const char* classes[] = {"0.3", "0.3", "0.6", "1.2", "N/A"};
  const TapTest& tap = rec->taps[0];
  std::string expected_trace;
  for (int j = 0; j < 5; ++j) {
    const BurdenRow& row = tap.taprows[j];
    EXPECT_EQ(row.name, names[j]);
    EXPECT_DOUBLE_EQ(row.Z, z[j]);
    EXPECT_DOUBLE_EQ(row.Rb, 0.9 * z[j]);
    EXPECT_DOUBLE_EQ(row.Xb, std::sqrt(0.19) * z[j]);
    EXPECT_NEAR(row.Vsec, 5 * z[j], 1e-12);  // no winding resistance
    ASSERT_EQ(row.rcf100.found, 1);
    ASSERT_EQ(row.rcf10.found, 1);
    EXPECT_NEAR(row.rcf100.RCF, 1 + row.Vsec / 100 / 5, 1e-9);
    EXPECT_NEAR(row.rcf10.RCF, 1 + row.Vsec10 / 100 / 0.5, 1e-9);
    EXPECT_EQ(row.meteringclass, classes[j]) << j;
    EXPECT_EQ(
        row.rowtext.rfind("Class " + row.name + " Metering " + row.meteringclass + " Bmag=", 0),
        0u);
    EXPECT_EQ(row.rowtext, row.rowtext.substr(0, row.rowtext.find('\n') + 1) + row.rcf100.trace +
                               row.rcf10.trace + "\n");
    expected_trace +=
        "RCF(10%)=" + row.rcf10.rcftext + ", RCF(100%)=" + row.rcf100.rcftext + "\n" + row.rowtext;
  }
  EXPECT_EQ(tap.taptrace, expected_trace);
  EXPECT_EQ(tap.taprows[5].name, "");
  EXPECT_EQ(tap.taprows[3].rowtext.substr(0, tap.taprows[3].rowtext.find('\n')),
            "Class B-0.9 Metering 1.2 Bmag=1.00, Br=0.90, Bi=0.44, Btot=1.000, "
            "Vsec(10%)=0.500, Vsec(100%)=5.000");
  EXPECT_EQ(rec->calctext.rfind("\r\n                TEST CALCULATIONS\r\n\r\nTest X1-X5\r\n\r\n"
                                "Interpolated 100% vsec 0.500",
                                0),
            0u);
  EXPECT_NE(rec->calctext.find("Test X1-X2\r\n\r\n"), std::string::npos);
  // The relaying table is not used.
  EXPECT_EQ(rec->rows[0].name, "");
}

TEST(ComputeDerived, MeteringWithAMissingPointHasNoClass) {
  auto rec = Metering(1);
  TapTest& tap = rec->taps[0];
  // Nothing at or below 0.05 V: B-0.1's 10 % point has no lower point.
  for (int i = 0; i < kMaxDataPoints; ++i) {
    if (tap.dpVolts[i] <= 0.06) tap.dpVolts[i] = tap.dpAmps[i] = 0;
  }
  ComputeDerived(*rec);
  const BurdenRow& row = tap.taprows[0];
  EXPECT_EQ(row.rcf100.found, 1);
  EXPECT_EQ(row.rcf10.found, 0);
  EXPECT_EQ(row.meteringclass, "N/A");
  EXPECT_EQ(row.rcf10.rcftext, "N/A");
  EXPECT_EQ(tap.taptrace.rfind("RCF(10%)=N/A, RCF(100%)=1.001\n", 0), 0u);
  EXPECT_NE(row.rowtext.find("Interpolated 10% Point not found.  Point#1=not found, Point#2=found"),
            std::string::npos);
  EXPECT_EQ(tap.taprows[1].meteringclass, "0.3");
}

TEST(ComputeDerived, MeteringClassBoundaries) {
  EXPECT_STREQ(MeteringClass(1.003, 0.994), "0.3");
  EXPECT_STREQ(MeteringClass(0.997, 1.0059), "0.3");
  EXPECT_STREQ(MeteringClass(1.0, 1.006), "0.6");  // the 10 % limit is exclusive
  EXPECT_STREQ(MeteringClass(1.006, 0.988), "0.6");
  EXPECT_STREQ(MeteringClass(1.0, 1.012), "1.2");
  EXPECT_STREQ(MeteringClass(0.988, 0.976), "1.2");
  EXPECT_STREQ(MeteringClass(1.0, 1.024), "N/A");
  EXPECT_STREQ(MeteringClass(1.0121, 1.0), "N/A");
}

TEST(ComputeDerived, RunningTwiceGivesTheSameFigures) {
  auto rec = Metering(2);
  ComputeDerived(*rec);
  const std::string calc = rec->calctext;
  const std::string trace = rec->taps[1].taptrace;
  ComputeDerived(*rec);
  EXPECT_EQ(rec->calctext, calc);
  EXPECT_EQ(rec->taps[1].taptrace, trace);

  // Switching to relaying leaves nothing of the metering figures behind.
  rec->classsettings.ctusage = 1;
  ComputeDerived(*rec);
  EXPECT_EQ(rec->calctext, "");
  EXPECT_EQ(rec->taps[0].taptrace, "");
  EXPECT_EQ(rec->taps[0].taprows[0].name, "");
}

TEST(ComputeDerived, RunsWhenARecordFileIsRead) {
  auto sample = MakeSampleRecord(2, 3, 7);
  sample->classsettings.ctusage = 2;
  const std::string path = TempFolder("derived") + "/metering.test";
  ASSERT_TRUE(sample->WriteRecordFile(path));
  auto rec = std::make_unique<TestRecord>();
  ASSERT_TRUE(ReadRecordFile(*rec, path, RecordDefaults()));
  EXPECT_EQ(rec->classdone, 1);
  EXPECT_EQ(rec->taps[2].taprows[4].name, "B-1.8");
  EXPECT_NE(rec->calctext.find("Test X1-X3\r\n\r\n"), std::string::npos);
  EXPECT_FALSE(rec->taps[0].taptrace.empty());
}

}  // namespace
}  // namespace kova
