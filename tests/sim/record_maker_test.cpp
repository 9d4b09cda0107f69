// Records of the simulated instrument: made from the transformer model,
// encoded in each model's layout, and read back by the program's own parser
// exactly as made.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "analysis/read_record.h"
#include "records/record_layout.h"
#include "sim/record_maker.h"

namespace kova {
namespace {

const SimModel kModels[] = {SimModel::k7100, SimModel::k7100B, SimModel::k7100C, SimModel::kR5,
                            SimModel::k7KA};

TEST(SimRecords, TheRecordTextParsesBackToTheSameRecord) {
  for (SimModel model : kModels) {
    for (int index = 0; index < 4; ++index) {
      auto made = MakeStoredTest(model, 42, index);
      ASSERT_EQ(made->deviceversion, SimDeviceVersion(model));
      auto parsed = std::make_unique<TestRecord>();
      parsed->deviceversion = made->deviceversion;
      ASSERT_TRUE(ReadRecordText(*parsed, SimRecordText(*made), RecordDefaults()));
      const size_t length = LayoutFor(made->deviceversion).length;
      EXPECT_EQ(std::memcmp(parsed->rawrecord, made->rawrecord, length), 0) << SimModelText(model);
      EXPECT_EQ(parsed->numtests, made->numtests);
      EXPECT_EQ(parsed->company, made->company);
      EXPECT_EQ(parsed->testdatetime, made->testdatetime);
      for (int t = 0; t < made->numtests; ++t) {
        EXPECT_EQ(parsed->taps[t].nTapConnection, made->taps[t].nTapConnection);
        EXPECT_EQ(parsed->taps[t].burdentable, made->taps[t].burdentable);
        for (int g = 0; g < kGraphPointsPerTap; ++g) {
          EXPECT_DOUBLE_EQ(parsed->taps[t].graph[g].gpVolts, made->taps[t].graph[g].gpVolts);
          EXPECT_DOUBLE_EQ(parsed->taps[t].graph[g].gpAmps, made->taps[t].graph[g].gpAmps);
        }
      }
    }
  }
}

TEST(SimRecords, MeasurementsFollowThePhysics) {
  for (SimModel model : kModels) {
    auto rec = MakeStoredTest(model, 5, 1);
    const int points = LayoutFor(rec->deviceversion).datapoints;
    for (int t = 0; t < rec->numtests; ++t) {
      const TapTest& tap = rec->taps[t];
      // Data points in decreasing voltage, current falling with them.
      for (int i = 1; i < points; ++i) {
        EXPECT_LT(tap.dpVolts[i], tap.dpVolts[i - 1]);
        EXPECT_LE(tap.dpAmps[i], tap.dpAmps[i - 1] * 1.02);
      }
      // Ratio near the nameplate; phase near 0 or near 180.
      const double nameplate = tap.nNamePlateNum / tap.fNamePlateDen;
      EXPECT_NEAR(tap.fTestRatio / nameplate, 1.0, 0.006);
      EXPECT_LT(std::min(std::fabs(tap.fTestPhase), 180.0 - std::fabs(tap.fTestPhase)), 0.1);
      EXPECT_GT(tap.fWindingRes, 0);
      // The IEEE 45 degree knee lies below the 30 degree one when both were reached.
      if (tap.fKneeVtg45 > 0 && tap.fKneeVtg30 > 0) {
        EXPECT_LT(tap.fKneeVtg45, tap.fKneeVtg30);
      }
      if (rec->deviceversion == 2 || rec->deviceversion == 4) {
        EXPECT_GT(tap.dpPhase[0], 0);
      } else {
        EXPECT_EQ(tap.dpPhase[0], 0);
      }
    }
  }
}

TEST(SimRecords, TheR5StoresOneTapAndTheBCModelsBurdenAndInsulation) {
  EXPECT_EQ(MakeStoredTest(SimModel::kR5, 9, 0)->numtests, 1);
  auto b = MakeStoredTest(SimModel::k7100B, 9, 0);  // even tests carry both
  EXPECT_EQ(b->burdenenabled, 1);
  EXPECT_EQ(b->insulationenabled, 1);
  EXPECT_GT(b->B200fBurdenMeasVA, 0);
  EXPECT_NEAR(b->B200fMeggerL, b->B200fMeggerMeasV / b->B200fMeggerOhms, 0.02);
  EXPECT_FALSE(b->taps[0].burdentable.empty());
  auto a = MakeStoredTest(SimModel::k7100, 9, 0);
  EXPECT_EQ(a->burdenenabled, 0);
  EXPECT_EQ(a->B200fBurdenMeasVA, 0);
}

TEST(SimRecords, WindingResistanceGrowsWithTheTapsTurns) {
  const CtModel ct = CtModel::FromSeed(77);
  SimTestHeader header;
  std::vector<SimTapPlan> taps(2);
  taps[0].tap_code = 4;  // X1-X5, the whole winding
  taps[1].tap_code = 5;  // X2-X3, the shortest section
  auto rec = MeasureTest(SimModel::k7KA, ct, header, taps, 1);
  EXPECT_GT(rec->taps[0].fWindingRes, rec->taps[1].fWindingRes);
  EXPECT_GT(rec->taps[0].fTestRatio, rec->taps[1].fTestRatio);
}

TEST(SimRecords, UnselectedTestsAreNotMeasured) {
  const CtModel ct = CtModel::FromSeed(1);
  std::vector<SimTapPlan> taps(1);
  taps[0].test_type = kExcitationTest;
  auto rec = MeasureTest(SimModel::k7100, ct, SimTestHeader(), taps, 1);
  EXPECT_GT(rec->taps[0].fTestPhase, 360);  // not measured
  EXPECT_EQ(rec->taps[0].fWindingRes, 0);
  EXPECT_GT(rec->taps[0].dpVolts[0], 0);
}

TEST(SimRecords, TheSweepStopsAtTheTapsLimits) {
  const CtModel ct = CtModel::FromSeed(4);
  std::vector<SimTapPlan> taps(1);
  taps[0].voltage_range = 100;
  taps[0].current_range = 25;
  auto rec = MeasureTest(SimModel::k7KA, ct, SimTestHeader(), taps, 1);
  EXPECT_LE(rec->taps[0].dpVolts[0], 100.5);
  taps[0].voltage_range = 2000;
  taps[0].current_range = 0.1;
  rec = MeasureTest(SimModel::k7KA, ct, SimTestHeader(), taps, 1);
  EXPECT_LE(rec->taps[0].dpAmps[0], 0.1 * 1.01);
}

}  // namespace
}  // namespace kova
