#include "app/edit_test_model.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "analysis/read_record.h"
#include "app/override_command.h"
#include "app/plan_save.h"
#include "base/file_io.h"
#include "base/path.h"
#include "plans/test_plan.h"
#include "records/record_layout.h"
#include "records/test_record.h"
#include "support/record_fixtures.h"
#include "support/scripted_prompter.h"

namespace kova {
namespace {

std::unique_ptr<TestRecord> Reloaded(TestRecord& rec, const std::string& name) {
  const std::string path = PathJoin(TempFolder("edit_test"), name);
  EXPECT_TRUE(rec.WriteRecordFile(path));
  auto again = std::make_unique<TestRecord>();
  EXPECT_TRUE(ReadRecordFile(*again, path, RecordDefaults()));
  return again;
}

TEST(EditTest, OpensOneRowPerTestAndNeedsAnInstrumentToRepeat) {
  auto rec = MakeSampleRecord(1, 3);
  EditTestModel m;
  m.Open(*rec, -1);
  EXPECT_EQ(m.rowcount, 3);
  EXPECT_EQ(m.rows[0].label, "X1-X5");
  EXPECT_EQ(m.rows[3].label, "");
  for (int i = 0; i < 3; ++i) {
    EXPECT_FALSE(m.rows[i].repeat_enabled);
    EXPECT_FALSE(m.rows[i].edit_enabled);
  }
  EXPECT_FALSE(m.repeat_enabled);
  m.SetRepeat(0, true);
  EXPECT_FALSE(m.rows[0].repeat);

  m.Open(*rec, kPlanKova7100);
  m.SetRepeat(0, true);
  m.SetTest(0, TestColumn::kExcitation, true);
  m.SetTest(0, TestColumn::kWinding, true);
  EXPECT_TRUE(m.repeat_enabled);
  EXPECT_TRUE(m.rows[0].tests_enabled && m.rows[0].edit_enabled);
  m.Open(*rec, kPlanKovaR5);
  m.SetRepeat(0, true);
  m.SetTest(0, TestColumn::kExcitation, true);
  m.SetTest(0, TestColumn::kWinding, true);
  EXPECT_FALSE(m.rows[0].winding);
  EXPECT_EQ(m.rows[0].voltage.entries.size(), 4u);
}

// Header and nameplate edits reach the binary record, so a reload of the
// record file shows them.
TEST(EditTest, EditsSurviveTheRecordFile) {
  for (int model : {1, 2, 3, 4}) {
    auto rec = MakeSampleRecord(model, 2);
    EditTestModel m;
    m.Open(*rec, -1);
    m.company = "New Company";
    m.comment = "A comment longer than twenty";
    m.kneemarker = 2;
    m.rows[1].primary = "1500";
    m.rows[1].secondary = "5";
    m.rows[1].note = "retested";
    m.temperature = "40";
    std::string error;
    ASSERT_TRUE(m.Apply(*rec, error)) << error;
    EXPECT_EQ(rec->comment, "A comment longer tha");
    auto again = Reloaded(*rec, "edit" + std::to_string(model) + ".test");
    SCOPED_TRACE("model " + std::to_string(model));
    EXPECT_EQ(again->company, "New Company");
    EXPECT_EQ(again->kneetype, 3);
    EXPECT_EQ(again->taps[1].nNamePlateNum, 1500);
    EXPECT_EQ(again->taps[1].fNamePlateDen, 5);
    EXPECT_EQ(again->taps[1].szTestNote, "retested");
    EXPECT_EQ(again->classsettings.tempcelsius, 40);
  }
}

TEST(EditTest, AnEditThatDoesNotFitChangesNothing) {
  auto rec = MakeSampleRecord(1, 2);
  const std::string company = rec->company;
  EditTestModel m;
  m.Open(*rec, -1);
  m.company = "Changed";
  m.rows[0].primary = "70000";
  std::string error;
  EXPECT_FALSE(m.Apply(*rec, error));
  EXPECT_EQ(error, "Nameplate primary of test 1 (X1-X5) must be from 0 to 65535.");
  EXPECT_EQ(rec->company, company);
}

TEST(EditTest, RatioErrorValuesReachTheRecordAtOnce) {
  auto rec = MakeSampleRecord(1, 2);
  EditTestModel m;
  m.Open(*rec, -1);  // no instrument counts as a KOVA-7100
  bool warn = false;
  std::string error;
  ASSERT_TRUE(m.SetRatioError(*rec, 1, {1, 30, 0.5, 1.0}, warn, error)) << error;
  EXPECT_TRUE(warn);
  EXPECT_EQ(m.rows[1].current.entries[static_cast<size_t>(m.rows[1].current.selected)], "1");
  EXPECT_FALSE(m.rows[1].current_enabled);
  // The dialog is cancelled afterwards: the values stay, in the file too.
  auto again = Reloaded(*rec, "ratio.test");
  EXPECT_EQ(again->taps[1].bDoBurdenTest, 1);
  EXPECT_EQ(again->taps[1].fBurdenVA, 30);
  EXPECT_EQ(again->taps[1].fCosPhi, 0.5);
}

TEST(EditTest, SaveToTestPlanTakesTheTypeFromTheRecord) {
  const struct { int model, type; } cases[] = {{1, 0}, {2, 2}, {3, 1}, {4, 0}};
  for (const auto& c : cases) {
    auto rec = MakeSampleRecord(c.model, 3);
    EditTestModel m;
    m.Open(*rec, -1);
    m.rows[2].note = "from dialog";
    kvTestPlan plan;
    std::string error;
    ASSERT_TRUE(m.BuildSavePlan(*rec, plan, error)) << error;
    EXPECT_EQ(plan.devicetype, c.type);
    EXPECT_EQ(plan.numtests, 3);
    EXPECT_EQ(plan.taps[2].tapid, rec->taps[2].nTapConnection - 1);
    EXPECT_EQ(plan.taps[2].szTestNote, "from dialog");
    EXPECT_EQ(plan.burdencurrent, 0);
    for (int i = 0; i < 3; ++i) {
      m.rows[i].ratio = m.rows[i].excitation = m.rows[i].winding = false;
    }
    EXPECT_FALSE(m.BuildSavePlan(*rec, plan, error));
    EXPECT_EQ(error, kNoTestsSelected);
  }
}

TEST(EditTest, RepeatPlanHoldsTheChosenTapsAndThePlanWideTests) {
  auto rec = MakeSampleRecord(2, 3);
  rec->B200fBurdenReqCur = 5;
  rec->B200fMeggerReqV = 1000;
  rec->burdenenabled = rec->insulationenabled = 1;
  EditTestModel m;
  m.Open(*rec, kPlanKova7100BC);
  kvTestPlan plan;
  std::vector<int> sources;
  std::string error;
  EXPECT_FALSE(m.BuildRepeatPlan(*rec, plan, sources, error));
  EXPECT_EQ(error, kNoTestsSelected);
  m.SetRunBurden(true);
  ASSERT_TRUE(m.BuildRepeatPlan(*rec, plan, sources, error)) << error;
  EXPECT_EQ(plan.numtests, 1);
  EXPECT_EQ(plan.taps[0].uTestType, kBurdenTest);
  EXPECT_EQ(sources, std::vector<int>{-1});
  EXPECT_EQ(plan.burdencurrent, 50);
  EXPECT_EQ(plan.insulationvoltage, 100);
  m.SetRepeat(2, true);
  m.SetRunInsulation(true);
  ASSERT_TRUE(m.BuildRepeatPlan(*rec, plan, sources, error)) << error;
  EXPECT_EQ(sources, std::vector<int>{2});
  EXPECT_EQ(plan.taps[0].uTestType & (kBurdenTest | kInsulationTest),
            kBurdenTest | kInsulationTest);
}

TEST(EditTest, MergeReplacesTheRepeatedBlockAndKeepsThePlanWideBits) {
  auto rec = MakeSampleRecord(2, 3, 1);
  auto run = MakeSampleRecord(2, 1, 9);
  // The record's test 1 had the burden bit; the run's block has neither bit.
  rec->taps[1].uTestType |= kBurdenTest;
  run->taps[0].uTestType &= ~(kBurdenTest | kInsulationTest);
  run->taps[0].burdentable = "new table\r\n";
  run->B200fBurdenMeasVA = 12.5;
  Reencode(*rec);
  Reencode(*run);
  std::string error;
  auto merged = std::make_unique<TestRecord>(*rec);
  ASSERT_TRUE(MergeRepeatResult(*merged, *run, {1}, false, false, error)) << error;
  const RecordLayout& lay = LayoutFor(2);
  const size_t b1 = lay.base + lay.stride;
  EXPECT_EQ(std::memcmp(merged->rawrecord + b1, run->rawrecord + lay.base, 543), 0);
  EXPECT_EQ(merged->taps[1].uTestType, run->taps[0].uTestType | kBurdenTest);
  EXPECT_EQ(merged->taps[1].fTestRatio, run->taps[0].fTestRatio);
  EXPECT_EQ(merged->taps[0].fTestRatio, rec->taps[0].fTestRatio);
  EXPECT_EQ(merged->B200fBurdenMeasVA, rec->B200fBurdenMeasVA);
  EXPECT_EQ(merged->taps[1].burdentable, rec->taps[1].burdentable);

  ASSERT_TRUE(MergeRepeatResult(*rec, *run, {1}, true, false, error)) << error;
  EXPECT_EQ(rec->taps[1].uTestType, run->taps[0].uTestType);
  EXPECT_EQ(rec->B200fBurdenMeasVA, 12.5);
  EXPECT_EQ(rec->taps[1].burdentable, "new table\r\n");
}

TEST(EditTest, MergeRefusesAnotherLayoutOrMissingTests) {
  auto rec = MakeSampleRecord(1, 3);
  const std::string company = rec->company;
  auto other = MakeSampleRecord(4, 1);
  auto r5 = MakeSampleRecord(3, 1);
  std::string error;
  EXPECT_FALSE(MergeRepeatResult(*rec, *other, {0}, false, false, error));
  EXPECT_FALSE(MergeRepeatResult(*rec, *r5, {0, 1}, false, false, error));
  EXPECT_TRUE(MergeRepeatResult(*rec, *r5, {2}, false, false, error)) << error;
}

TEST(EditTest, RepeatTestsLeavesTheRecordAloneWhenTheRunFails) {
  auto rec = MakeSampleRecord(1, 2);
  auto before = std::make_unique<TestRecord>(*rec);
  EditTestModel m;
  m.Open(*rec, kPlanKova7100);
  m.SetRepeat(1, true);
  m.company = "Edited first";
  ScriptedPrompter prompter;
  int runs = 0;
  EXPECT_FALSE(RepeatTests(
      m, *rec, [&](kvTestPlan&, TestRecord&) { return ++runs, false; }, prompter));
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(std::memcmp(rec->rawrecord, before->rawrecord, kRawRecordSize), 0);

  auto measured = MakeSampleRecord(1, 1, 7);
  kvTestPlan sent;
  ASSERT_TRUE(RepeatTests(
      m, *rec,
      [&](kvTestPlan& plan, TestRecord& result) {
        sent = plan;
        result = *measured;
        return true;
      },
      prompter));
  EXPECT_EQ(sent.numtests, 1);
  EXPECT_EQ(sent.taps[0].tapid, before->taps[1].nTapConnection - 1);
  EXPECT_EQ(rec->taps[1].fTestRatio, measured->taps[0].fTestRatio);
  EXPECT_EQ(rec->company, "Edited first");
}

TEST(Override, OnlyOnAPageOfOneTestOfA32PointRecord) {
  auto rec = MakeSampleRecord(1, 2);
  std::string why;
  EXPECT_FALSE(CanOverride(*rec, -1, why));
  EXPECT_FALSE(CanOverride(*MakeSampleRecord(2, 1), 0, why));
  EXPECT_TRUE(CanOverride(*rec, 1, why));
  OverrideFields f;
  f.point = "1";
  f.current = "0.5";
  f.voltage = "100";
  std::string error;
  ASSERT_TRUE(ApplyOverride(*rec, 1, f, error)) << error;
  EXPECT_EQ(rec->taps[1].dpVolts[31], 100);
  f.voltage = "abc";
  EXPECT_FALSE(ApplyOverride(*rec, 1, f, error));
  f.voltage = "1";
  f.point = "1e300";
  EXPECT_FALSE(ApplyOverride(*rec, 1, f, error));
}

TEST(PlanSave, AnExistingFileIsReplacedOnlyAfterYes) {
  const std::string folder = TempFolder("plan_save");
  const std::string first = PathJoin(folder, "a.plan");
  const std::string second = PathJoin(folder, "b");
  ASSERT_TRUE(WriteFileAtomically(first, std::string("old")));
  kvTestPlan plan;
  std::string path;
  {  // No asks again; then a new name (".plan" added).
    ScriptedPrompter p;
    p.QueueText(first);
    p.QueueAnswer(Answer::No);
    p.QueueText(second);
    EXPECT_EQ(SavePlanAsking(plan, p, folder, path), PlanSaveOutcome::kSaved);
    EXPECT_EQ(path, second + ".plan");
  }
  {  // Cancel writes nothing.
    ScriptedPrompter p;
    p.QueueText(first);
    p.QueueAnswer(Answer::Cancel);
    EXPECT_EQ(SavePlanAsking(plan, p, folder, path), PlanSaveOutcome::kCancelled);
    std::string text;
    ASSERT_TRUE(ReadFileText(first, text));
    EXPECT_EQ(text, "old");
    ASSERT_EQ(p.messages().size(), 1u);
    EXPECT_EQ(p.messages()[0].text, OverwriteQuestion(first));
  }
  {  // Yes replaces it with the plan.
    ScriptedPrompter p;
    p.QueueText(first);
    p.QueueAnswer(Answer::Yes);
    EXPECT_EQ(SavePlanAsking(plan, p, folder, path), PlanSaveOutcome::kSaved);
    kvTestPlan again;
    EXPECT_TRUE(again.Load(first));
  }
}

}  // namespace
}  // namespace kova
