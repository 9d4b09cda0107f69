#include <gtest/gtest.h>

#include "plans/plan_from_record.h"
#include "plans/test_plan.h"
#include "records/test_record.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

TEST(PlanFromRecord, DeviceTypeFollowsTheRecordsInstrument) {
  const struct {
    int deviceversion;
    int devicetype;
  } cases[] = {{1, 0}, {2, 2}, {3, 1}, {4, 0}};
  for (const auto& c : cases) {
    auto rec = MakeSampleRecord(c.deviceversion, 2);
    kvTestPlan plan;
    ASSERT_TRUE(PlanFromRecord(*rec, plan)) << c.deviceversion;
    EXPECT_EQ(plan.devicetype, c.devicetype) << c.deviceversion;
  }
}

TEST(PlanFromRecord, TapEntriesFromTheTestsThatRun) {
  auto rec = MakeSampleRecord(2, 4);
  rec->taps[1].uTestType = kBurdenTest;  // none of the three tests: no entry
  rec->taps[2].uTestType = kExcitationTest | kResistanceTest | kInsulationTest;
  rec->taps[2].bDoBurdenTest = 1;
  rec->taps[2].fBurdenVA = 15;
  rec->taps[2].fCosPhi = 0.8;
  rec->taps[2].fSecCurrent = 5;
  rec->taps[2].fVoltageRange = 1200;
  rec->taps[2].fCurrentRange = 2;
  rec->taps[2].szTestNote = "CHECK";
  rec->taporder = "X1-X3,X1-X5";
  rec->kneetype = 3;
  kvTestPlan plan;
  ASSERT_TRUE(PlanFromRecord(*rec, plan));
  ASSERT_EQ(plan.numtests, 3);
  EXPECT_EQ(plan.taps[0].tapid, rec->taps[0].nTapConnection - 1);
  EXPECT_EQ(plan.taps[1].tapid, rec->taps[2].nTapConnection - 1);
  EXPECT_EQ(plan.taps[1].uTestType, kExcitationTest | kResistanceTest);
  EXPECT_DOUBLE_EQ(plan.taps[1].nNamePlateNum, rec->taps[2].nNamePlateNum);
  EXPECT_EQ(plan.taps[1].szTestNote, "CHECK");
  EXPECT_EQ(plan.kneetype, 3);
  EXPECT_EQ(plan.company, rec->company);
  EXPECT_EQ(plan.taporder, "X1-X3,X1-X5");
  // The image is built, and a new plan's blocks are kept.
  EXPECT_EQ(plan.image[0], 3);
  EXPECT_EQ(plan.image[128 + 64 + 6], 120);
  EXPECT_EQ(plan.image[128 + 64 + 7], 20);
  EXPECT_EQ(plan.image[128 + 64 + 30], 80);
  EXPECT_EQ(plan.passfail.pfcustomdeviation, 1);
  EXPECT_DOUBLE_EQ(plan.classsettings.tempcelsius, 25.0);
}

TEST(PlanFromRecord, NothingToRunLeavesThePlanAlone) {
  auto rec = MakeSampleRecord(1, 2);
  rec->taps[0].uTestType = 0;
  rec->taps[1].uTestType = kBurdenTest | kInsulationTest;
  kvTestPlan plan;
  plan.company = "KEEP";
  EXPECT_FALSE(PlanFromRecord(*rec, plan));
  EXPECT_EQ(plan.company, "KEEP");
  rec->numtests = 0;
  EXPECT_FALSE(PlanFromRecord(*rec, plan));
}

TEST(PlanFromRecord, AtMostTheFirstTenTests) {
  auto rec = MakeSampleRecord(1, 14);
  kvTestPlan plan;
  ASSERT_TRUE(PlanFromRecord(*rec, plan));
  EXPECT_EQ(plan.numtests, 10);
  EXPECT_EQ(plan.image[0], 10);
}

}  // namespace
}  // namespace kova
