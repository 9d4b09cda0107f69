// Remote test runs: the plan goes out with "T314", the instrument's lines and
// prompts reach the observer, Continue and Abort act from the user interface,
// and the record arrives in "RunTest.test" only when the run succeeded.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "analysis/read_record.h"
#include "app/run_session.h"
#include "base/file_io.h"
#include "base/path.h"
#include "command_set_rig.h"
#include "device/remote_run.h"
#include "plans/test_plan.h"
#include "records/encode.h"
#include "records/test_record.h"
#include "sim/sim_model.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

using rig::ScriptedLink;
using rig::SimLink;

kvTestPlan MakePlan(int devicetype, int taps) {
  kvTestPlan plan;
  plan.devicetype = devicetype;
  plan.numtests = taps;
  plan.company = "RUN CO";
  plan.kneetype = 2;
  for (int i = 0; i < taps; ++i) {
    plan.taps[i].tapid = i;  // X1-X2, X1-X3, ...
    plan.taps[i].nNamePlateNum = 600 + 100 * i;
    plan.taps[i].fNamePlateDen = 5;
    plan.taps[i].uTestType = kRatioTest | kResistanceTest | kExcitationTest;
    plan.taps[i].fVoltageRange = 800;
    plan.taps[i].fCurrentRange = 2;
    plan.taps[i].szTestNote = "TAP " + std::to_string(i + 1);
  }
  plan.passfail.pfkneepointtype = 3;
  plan.classsettings.tempcelsius = 31.5;
  plan.taporder = "X1-X2,X1-X3,X1-X4";
  plan.EncodeImage(plan.image);
  return plan;
}

// A run that never sleeps, writing into its own folder, whose Continue
// button is pressed as soon as it shows.
struct RunRig {
  RunRig(rig::SimLink& link, kvTestPlan& plan, const std::string& folder)
      : RunRig(link.device, plan, folder) {
    link.OnWait([this] { Act(); });
  }
  RunRig(rig::ScriptedLink& link, kvTestPlan& plan, const std::string& folder)
      : RunRig(link.device, plan, folder) {}
  RunRig(RudDevice& device, kvTestPlan& plan, const std::string& folder)
      : run(device, plan, observer) {
    run.pause = [this](uint32_t ms) {
      pauses.push_back(ms);
      Act();
    };
    run.result_path = PathJoin(folder, "RunTest.test");
  }
  // What the user does while the run waits.
  void Act() {
    if (press_continue && run.waiting()) run.Continue();
    if (on_pump) on_pump();
  }
  rig::RecordingObserver observer;
  RunSession run;
  std::vector<uint32_t> pauses;
  bool press_continue = true;
  std::function<void()> on_pump;
};

// The CRs the instrument received on their own (the probe "B\r" aside).
int LoneCrs(const std::string& received) {
  int n = 0;
  for (size_t i = 0; i < received.size(); ++i) {
    if (received[i] == '\r' && (i == 0 || received[i - 1] != 'B')) ++n;
  }
  return n;
}

bool Has(const std::vector<std::string>& list, const std::string& item) {
  return rig::Count(list, item) > 0;
}

class RunModelTest : public ::testing::TestWithParam<SimModel> {};

TEST_P(RunModelTest, RunWithConnectPromptsGivesTheRecord) {
  const SimModel model = GetParam();
  SimLink link(rig::Options(model));
  const std::string folder = TempFolder("run-" + std::string(SimModelText(model)));
  kvTestPlan plan = MakePlan(SimModelCode(model), model == SimModel::kR5 ? 1 : 2);
  link.prompter.fallback = Answer::Ok;  // the KOVA-R5 start prompt
  RunRig r(link, plan, folder);
  ASSERT_TRUE(r.run.RunTest());
  EXPECT_EQ(r.run.outcome(), RemoteRun::Outcome::kSuccess);
  EXPECT_EQ(link.instrument.RunsCompleted(), 1);
  ASSERT_EQ(link.instrument.RunImages().size(), 1u);
  const std::vector<uint8_t>& sent = link.instrument.RunImages()[0];
  EXPECT_TRUE(std::equal(sent.begin(), sent.end(), plan.image));

  // One Continue for each CONNECT line, each answered by exactly one CR.
  const int taps = plan.numtests;
  EXPECT_EQ(LoneCrs(link.instrument.Received()), taps + (model == SimModel::kR5 ? 1 : 0));
  EXPECT_EQ(std::count(r.observer.continues.begin(), r.observer.continues.end(), true), taps);
  EXPECT_EQ(
      std::count(r.observer.prompts.begin(), r.observer.prompts.end(), std::string(kConnectPrompt)),
      taps);
  EXPECT_TRUE(Has(r.observer.lines, "\r\n"));  // the empty line after Continue
  EXPECT_TRUE(r.pauses.size() >= static_cast<size_t>(taps));
  for (uint32_t ms : r.pauses) EXPECT_LE(ms, 20u);

  TestRecord got;
  ASSERT_TRUE(ReadRecordFile(got, r.run.result_path, RecordDefaults()));
  const int expected_version = model == SimModel::k7100B ? 2 : model == SimModel::k7KA ? 4 : 1;
  EXPECT_EQ(got.deviceversion, expected_version);
  EXPECT_EQ(got.company, "RUN CO");
  EXPECT_EQ(got.numtests, taps);
  EXPECT_EQ(got.passfail.pfkneepointtype, 3);
  EXPECT_EQ(got.classsettings.tempcelsius, 31.5);
  EXPECT_EQ(got.taporder, "X1-X2,X1-X3,X1-X4");
  EXPECT_GT(got.taps[0].graph[5].gpVolts, 0.0);
}

INSTANTIATE_TEST_SUITE_P(AllModels, RunModelTest,
                         ::testing::Values(SimModel::k7100, SimModel::k7100B, SimModel::kR5,
                                           SimModel::k7KA));

TEST(RemoteRunTest, R5PlanOfThreeTapsRunsThreeTimesIntoOneRecord) {
  SimLink link(rig::Options(SimModel::kR5));
  const std::string folder = TempFolder("run-r5-three");
  kvTestPlan plan = MakePlan(kModelR5, 3);
  uint8_t original[kPlanImageCapacity];
  std::memcpy(original, plan.image, sizeof original);
  link.prompter.fallback = Answer::Ok;
  RunRig r(link, plan, folder);
  ASSERT_TRUE(r.run.RunTest());

  const auto& images = link.instrument.RunImages();
  ASSERT_EQ(images.size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(images[i][0], 1) << i;
    std::vector<uint8_t> block(original + 128 + 32 * i, original + 128 + 32 * (i + 1));
    if (i > 0) block[5] &= static_cast<uint8_t>(~0x02);  // only the first tap measures resistance
    EXPECT_TRUE(std::equal(block.begin(), block.end(), images[i].begin() + 128)) << i;
  }
  EXPECT_EQ(images[0][133] & 0x02, 0x02);
  EXPECT_EQ(plan.numtests, 1);
  EXPECT_EQ(rig::Count(link.instrument.Commands(), "T314"), 3);
  EXPECT_EQ(r.observer.status, (std::vector<std::string>{"Executing test #1", "Executing test #2",
                                                         "Executing test #3"}));
  EXPECT_EQ(link.prompter.messages().size(), 3u);  // the start prompt of each run
  EXPECT_EQ(link.prompter.messages()[0].buttons, Buttons::OkCancel);

  // The joined record in memory and on disk.
  for (TestRecord* rec : {&r.run.record(), [&] {
                            static TestRecord back;
                            EXPECT_TRUE(ReadRecordFile(back, r.run.result_path, RecordDefaults()));
                            return &back;
                          }()}) {
    EXPECT_EQ(rec->deviceversion, 1);
    EXPECT_EQ(rec->numtests, 3);
    EXPECT_EQ(rec->rawrecord[4], 3);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(rec->taps[i].nTapConnection, i + 1) << i;
      EXPECT_EQ(rec->taps[i].nNamePlateNum, 600 + 100 * i) << i;
      EXPECT_GT(rec->taps[i].graph[10].gpAmps, 0.0) << i;
    }
  }
}

TEST(RemoteRunTest, R5CorruptPromptIsShownAndCancelled) {
  SimOptions o = rig::Options(SimModel::kR5);
  o.faults.corrupt_prompt = true;
  SimLink link(o);
  const std::string folder = TempFolder("run-r5-corrupt");
  kvTestPlan plan = MakePlan(kModelR5, 1);
  RunRig r(link, plan, folder);
  EXPECT_FALSE(r.run.RunTest());
  EXPECT_EQ(link.prompter.texts(), std::vector<std::string>{"TEST PLAN CORRUPT - CHECKSUM ERROR"});
  EXPECT_TRUE(Has(link.instrument.Commands(), "ESC"));
  EXPECT_EQ(r.pauses, std::vector<uint32_t>{3000});
  EXPECT_EQ(r.observer.cursor, (std::vector<bool>{true, false}));
  EXPECT_FALSE(FileExists(r.run.result_path));
}

TEST(RemoteRunTest, R5CancelAtTheStartPromptEndsWithEsc) {
  SimLink link(rig::Options(SimModel::kR5));
  kvTestPlan plan = MakePlan(kModelR5, 2);
  RunRig r(link, plan, TempFolder("run-r5-cancel"));
  link.prompter.QueueAnswer(Answer::Cancel);
  EXPECT_FALSE(r.run.RunTest());
  EXPECT_EQ(r.run.outcome(), RemoteRun::Outcome::kAborted);
  EXPECT_EQ(link.instrument.RunsCancelled(), 1);
  EXPECT_EQ(link.instrument.RunImages().size(), 1u);  // the second tap never went out
  EXPECT_FALSE(FileExists(r.run.result_path));
}

TEST(RemoteRunTest, AbortInTheDataPhaseKeepsTheOldResult) {
  SimLink link(rig::Options(SimModel::k7100B));
  const std::string folder = TempFolder("run-abort-data");
  kvTestPlan plan = MakePlan(kModel7100BC, 1);
  RunRig r(link, plan, folder);
  WriteFileAtomically(r.run.result_path, std::string("previous run"));
  // Abort while the record text arrives.
  r.observer.on_bytes = [&](size_t bytes) {
    if (!r.run.aborted() && bytes > 3000) r.run.Abort();
  };
  EXPECT_FALSE(r.run.RunTest());
  EXPECT_EQ(r.run.outcome(), RemoteRun::Outcome::kAborted);
  EXPECT_TRUE(link.prompter.messages().empty());  // no read error after Abort
  EXPECT_EQ(r.pauses.back(), 3000u);
  // ESC went out, then the link was checked again.
  const auto& cmds = link.instrument.Commands();
  const auto esc = std::find(cmds.begin(), cmds.end(), "ESC");
  ASSERT_NE(esc, cmds.end());
  EXPECT_NE(std::find(esc, cmds.end(), "W"), cmds.end());
  std::string text;
  ASSERT_TRUE(ReadFileText(r.run.result_path, text));
  EXPECT_EQ(text, "previous run");
}

TEST(RemoteRunTest, AbortWhileWaitingForTheCables) {
  SimLink link(rig::Options(SimModel::k7KA));
  kvTestPlan plan = MakePlan(kModel7KA, 2);
  RunRig r(link, plan, TempFolder("run-abort-wait"));
  r.press_continue = false;
  r.on_pump = [&] {
    if (r.run.waiting()) r.run.Abort();
  };
  EXPECT_FALSE(r.run.RunTest());
  EXPECT_TRUE(link.prompter.messages().empty());
  EXPECT_EQ(link.instrument.RunsCancelled(), 1);
  EXPECT_EQ(LoneCrs(link.instrument.Received()), 0);
  EXPECT_FALSE(FileExists(r.run.result_path));
}

TEST(RemoteRunTest, UploadFailureEndsWithoutEsc) {
  SimLink link(rig::Options(SimModel::k7100));
  kvTestPlan plan = MakePlan(kModel7100BC, 1);
  RunRig r(link, plan, TempFolder("run-upload"));
  EXPECT_FALSE(r.run.RunTest());
  EXPECT_EQ(r.run.outcome(), RemoteRun::Outcome::kUploadFailed);
  EXPECT_EQ(link.prompter.texts(),
            std::vector<std::string>{
                "Test plan type 7100B does not match device 7100 connected to this PC"});
  EXPECT_FALSE(Has(link.instrument.Commands(), "ESC"));
  EXPECT_TRUE(r.pauses.empty());
}

// --- scripted instrument ----------------------------------------------------

std::string SampleRecordText() {
  auto rec = MakeSampleRecord(1, 1, 3);
  return BuildRecordText(*rec);
}

TEST(RemoteRunScriptTest, PrefixesAndExactDataLine) {
  ScriptedLink link;
  link.line.On("T314", "READY GO\r\n");
  link.line.OnImage(1024, "RECEIVED\r\nACCEPTED\r\nDATA \r\nconnect cables\r\n");
  link.line.On("\r", "DONE WITH TAP\r\nDATA\r\n" + SampleRecordText());
  kvTestPlan plan = MakePlan(kModel7100, 1);
  const std::string folder = TempFolder("run-script");
  RunRig r(link, plan, folder);
  ASSERT_TRUE(r.run.RunTest());
  EXPECT_EQ(r.observer.lines, (std::vector<std::string>{"DATA \r\n", "connect cables\r\n", "\r\n",
                                                        "DONE WITH TAP\r\n"}));
  EXPECT_EQ(r.observer.continues, (std::vector<bool>{true, false}));
  EXPECT_EQ(r.observer.prompts, (std::vector<std::string>{kConnectPrompt, ""}));
  EXPECT_EQ(rig::Count(link.line.writes(), "\r"), 1);
  TestRecord got;
  ASSERT_TRUE(ReadRecordFile(got, r.run.result_path, RecordDefaults()));
  EXPECT_EQ(got.company, MakeSampleRecord(1, 1, 3)->company);
}

TEST(RemoteRunScriptTest, MissingDataLineIsAnErrorWithoutEsc) {
  ScriptedLink link;
  link.line.On("T314", "GO\r\n");
  link.line.OnImage(1024, "RECEIVED\r\nACCEPTED\r\nRATIO TEST\r\nDATA\r\n0A0B0C\r\n");
  kvTestPlan plan = MakePlan(kModel7100, 1);
  RunRig r(link, plan, TempFolder("run-missing"));
  EXPECT_FALSE(r.run.RunTest());
  EXPECT_EQ(r.run.outcome(), RemoteRun::Outcome::kLineMissing);
  EXPECT_EQ(link.prompter.texts(), std::vector<std::string>{"Error reading data from device"});
  EXPECT_EQ(link.line.written().find('\x1B'), std::string::npos);
  EXPECT_FALSE(FileExists(r.run.result_path));
}

TEST(RemoteRunScriptTest, R5MissingSecondPromptIsAborted) {
  ScriptedLink link("KOVA-R5A CT TESTER");
  link.line.On("T314", "GO\r\n");
  link.line.OnImage(1024, "RECEIVED\r\nACCEPTED\r\nTEST PLAN LOADED\r\n");
  kvTestPlan plan = MakePlan(kModelR5, 1);
  RunRig r(link, plan, TempFolder("run-r5-missing"));
  EXPECT_FALSE(r.run.RunTest());
  EXPECT_EQ(link.prompter.texts(),
            std::vector<std::string>{"Unable to read test prompt #2 from device"});
  EXPECT_NE(link.line.written().find('\x1B'), std::string::npos);
  EXPECT_EQ(r.pauses, std::vector<uint32_t>{3000});
}

TEST(RemoteRunScriptTest, SaveResultOffKeepsTheRecordInMemory) {
  ScriptedLink link("KOVA-7KA CT ANALYZER");
  auto sample = MakeSampleRecord(4, 2, 5);
  link.line.On("T314", "GO\r\n");
  link.line.OnImage(1024, "RECEIVED\r\nACCEPTED\r\nDATA\r\n" + BuildRecordText(*sample));
  kvTestPlan plan = MakePlan(kModel7KA, 2);
  RunRig r(link, plan, TempFolder("run-nosave"));
  r.run.saveresult = false;
  ASSERT_TRUE(r.run.RunTest());
  EXPECT_FALSE(FileExists(r.run.result_path));
  EXPECT_EQ(r.run.record().deviceversion, 4);
  EXPECT_EQ(r.run.record().numtests, 2);
  EXPECT_EQ(0, std::memcmp(r.run.record().rawrecord, sample->rawrecord, kRawRecordSize));
}

}  // namespace
}  // namespace kova
