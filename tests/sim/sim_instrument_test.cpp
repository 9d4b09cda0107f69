// The simulated instrument's side of every exchange the program relies on,
// and its faults.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "analysis/read_record.h"
#include "analysis/taps.h"
#include "plans/test_plan.h"
#include "records/record_text.h"
#include "sim/sim_instrument.h"

namespace kova {
namespace {

SimOptions Options(SimModel model, int tests = 3) {
  SimOptions o;
  o.model = model;
  o.tests = tests;
  o.seed = 21;
  return o;
}

std::vector<std::string> Lines(const std::string& text) { return SplitRecordLines(text); }

std::string Ask(SimInstrument& sim, const std::string& bytes, uint32_t now = 0) {
  sim.Receive(bytes, now);
  return sim.TakeAllOutput();
}

std::string PlanHex(SimModel model, const std::vector<int>& tap_codes, int test_type) {
  kvTestPlan plan;
  plan.devicetype = SimModelCode(model);
  plan.company = "REMOTE CO";
  plan.numtests = static_cast<int>(tap_codes.size());
  for (size_t i = 0; i < tap_codes.size(); ++i) {
    plan.taps[i].tapid = tap_codes[i] - 1;
    plan.taps[i].nNamePlateNum = 600;
    plan.taps[i].fNamePlateDen = 5;
    plan.taps[i].uTestType = test_type;
    plan.taps[i].fVoltageRange = 800;
    plan.taps[i].fCurrentRange = 2;
  }
  plan.EncodeImage(plan.image);
  return plan.ImageLinkText();
}

TEST(SimProtocol, ProbeAndIdentification) {
  SimInstrument sim(Options(SimModel::k7100C));
  EXPECT_EQ(Ask(sim, "B\r"), "ACK\r\n");
  EXPECT_EQ(Ask(sim, "W"), "KOVA-7100C CT ANALYZER FW 4.05\r\n");
  EXPECT_EQ(sim.Commands(), (std::vector<std::string>{"B", "CR", "W"}));
}

TEST(SimProtocol, TestDirectoryFollowsTheGrammar) {
  SimInstrument sim(Options(SimModel::k7KA, 2));
  const std::vector<std::string> lines = Lines(Ask(sim, "d"));
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), "#1");
  EXPECT_EQ(lines[1][2], '/');  // the date line
  EXPECT_EQ(lines.back(), "DONE");
  int entries = 0;
  for (const std::string& l : lines) {
    if (l[0] == '#') ++entries;
    if (l.rfind("COMPANY=", 0) == 0) {
      EXPECT_EQ(l.substr(8), sim.StoredTest(entries)->company);
    }
  }
  EXPECT_EQ(entries, 2);
}

TEST(SimProtocol, LoadAndSendAStoredTest) {
  SimInstrument sim(Options(SimModel::k7100B, 3));
  EXPECT_EQ(Ask(sim, "L002"), "TEST 002 LOADED\r\n");
  const std::string text = Ask(sim, "R");
  auto rec = std::make_unique<TestRecord>();
  rec->deviceversion = 2;
  ASSERT_TRUE(ReadRecordText(*rec, text, RecordDefaults()));
  EXPECT_EQ(rec->serialnumber, sim.StoredTest(2)->serialnumber);
  EXPECT_EQ(Lines(text).back(), "DONE");
  EXPECT_EQ(Ask(sim, "L009"), "TEST 009 NOT FOUND\r\n");
  EXPECT_EQ(Ask(sim, "L000"), "TEST 000 NOT FOUND\r\n");
}

TEST(SimProtocol, StoredPlansGoOutAsHexAndComeBackIntoSlots) {
  SimInstrument sim(Options(SimModel::k7100B));
  // Fetch slot 1: hex lines, then DONE, giving the slot's image.
  std::string hex;
  for (const std::string& line : Lines(Ask(sim, "x001"))) {
    if (line != "DONE") hex += line;
  }
  std::vector<uint8_t> image(1024);
  size_t count = 0;
  ASSERT_TRUE(HexToBytes(hex, image.data(), image.size(), count));
  EXPECT_EQ(count, 1024u);
  EXPECT_EQ(image, sim.PlanSlot(1));
  EXPECT_EQ(Ask(sim, "x077"), "DONE\r\n");  // an empty slot

  // Store into slot 77: GO first, then the image, then two closing lines.
  const std::string plan = PlanHex(SimModel::k7100B, {4, 1}, kRatioTest);
  const std::vector<std::string> go = Lines(Ask(sim, "r077"));
  ASSERT_EQ(go.size(), 1u);
  EXPECT_NE(go[0].find("GO"), std::string::npos);
  EXPECT_EQ(Ask(sim, plan.substr(0, 1000)), "");
  EXPECT_EQ(Lines(Ask(sim, plan.substr(1000))).size(), 2u);
  EXPECT_EQ(BytesToHex(sim.PlanSlot(77).data(), sim.PlanSlot(77).size()), plan);
  // The plan directory lists the new slot.
  const std::string dir = Ask(sim, "p");
  EXPECT_NE(dir.find("#77\r\nTESTS=2\r\nCOMPANY=REMOTE CO\r\n"), std::string::npos);
  EXPECT_EQ(Ask(sim, "r200"), "SLOT 200 NOT VALID\r\n");
}

TEST(SimRun, ARunWaitsAtEachConnectLineAndEndsWithTheRecord) {
  SimInstrument sim(Options(SimModel::k7100, 0));
  EXPECT_NE(Ask(sim, "T314").find("GO"), std::string::npos);
  std::vector<std::string> lines =
      Lines(Ask(sim, PlanHex(SimModel::k7100, {4, 2}, kRatioTest | kExcitationTest)));
  ASSERT_EQ(lines.size(), 3u);  // two closing lines, then the first CONNECT
  EXPECT_EQ(lines[2].rfind("CONNECT", 0), 0u);
  EXPECT_EQ(sim.state(), SimInstrument::State::kConnectWait);
  EXPECT_EQ(Ask(sim, "B"), "");  // nothing but CR or ESC moves it on

  lines = Lines(Ask(sim, "\r"));
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back().rfind("CONNECT", 0), 0u);  // the second tap
  EXPECT_NE(lines.back().find("X1-X3"), std::string::npos);

  const std::string rest = Ask(sim, "\r");
  const size_t data = rest.find("DATA\r\n");
  ASSERT_NE(data, std::string::npos);
  EXPECT_EQ(sim.RunsCompleted(), 1);
  auto rec = std::make_unique<TestRecord>();
  rec->deviceversion = 1;
  ASSERT_TRUE(ReadRecordText(*rec, rest.substr(data + 6), RecordDefaults()));
  ASSERT_EQ(rec->numtests, 2);
  EXPECT_EQ(rec->taps[0].nTapConnection, 4);
  EXPECT_EQ(rec->taps[1].nTapConnection, 2);
  EXPECT_EQ(rec->taps[0].nNamePlateNum, 600);
  EXPECT_EQ(rec->company, "REMOTE CO");
  EXPECT_EQ(rec->taps[0].fWindingRes, 0);  // not asked for
  // The result is kept: the next "R" sends it again.
  EXPECT_EQ(sim.StoredTestCount(), 1);
  EXPECT_EQ(Ask(sim, "R"), rest.substr(data + 6));
  EXPECT_EQ(sim.RunImages().size(), 1u);
}

TEST(SimRun, ProgressLinesArePacedByTheClock) {
  SimOptions o = Options(SimModel::k7KA, 0);
  o.step_ms = 100;
  SimInstrument sim(o);
  Ask(sim, "T314", 1000);
  Ask(sim, PlanHex(SimModel::k7KA, {4}, kRatioTest), 1000);
  EXPECT_EQ(sim.NextStepAt(), 1100);
  sim.Advance(1099);
  EXPECT_EQ(sim.TakeAllOutput(), "");
  sim.Advance(1100);
  EXPECT_EQ(sim.TakeAllOutput().rfind("CONNECT", 0), 0u);
  sim.Receive("\r", 2000);
  sim.Advance(2100);
  EXPECT_EQ(sim.TakeAllOutput(), "X1-X5 RATIO TEST\r\n");
  sim.Advance(5000);
  EXPECT_NE(sim.TakeAllOutput().find("DATA\r\n"), std::string::npos);
}

TEST(SimRun, TheR5PromptsTwiceAndWaitsForCr) {
  SimInstrument sim(Options(SimModel::kR5, 0));
  Ask(sim, "T314");
  const std::vector<std::string> lines =
      Lines(Ask(sim, PlanHex(SimModel::kR5, {4}, kRatioTest | kResistanceTest)));
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[2].find("CORRUPT"), std::string::npos);
  EXPECT_EQ(sim.state(), SimInstrument::State::kPromptWait);
  EXPECT_EQ(Lines(Ask(sim, "\r")).back().rfind("CONNECT", 0), 0u);
}

TEST(SimRun, EscCancelsARun) {
  SimInstrument sim(Options(SimModel::k7100B, 0));
  Ask(sim, "T314");
  Ask(sim, PlanHex(SimModel::k7100B, {4}, kRatioTest));
  EXPECT_EQ(Ask(sim, "\x1b"), "TEST CANCELLED\r\n");
  EXPECT_EQ(sim.state(), SimInstrument::State::kIdle);
  EXPECT_EQ(sim.RunsCancelled(), 1);
  EXPECT_EQ(sim.RunsCompleted(), 0);
  EXPECT_EQ(Ask(sim, "B"), "ACK\r\n");
}

TEST(SimRun, PanelControl) {
  SimInstrument sim(Options(SimModel::k7100));
  EXPECT_EQ(Ask(sim, "X"), "");
  EXPECT_TRUE(sim.PanelControl());
  Ask(sim, "W");
  EXPECT_FALSE(sim.PanelControl());
}

TEST(SimFaultsTest, FaultsParseFromTheirNames) {
  SimFaults f;
  EXPECT_TRUE(ParseSimFault("stall=12", f));
  EXPECT_EQ(f.stall_after, 12);
  EXPECT_TRUE(ParseSimFault("garble", f));
  EXPECT_TRUE(ParseSimFault("not-found", f));
  EXPECT_TRUE(ParseSimFault("corrupt-prompt", f));
  EXPECT_TRUE(ParseSimFault("wrong-model", f));
  EXPECT_TRUE(ParseSimFault("silent", f));
  EXPECT_TRUE(f.garble && f.not_found && f.corrupt_prompt && f.wrong_model && f.silent);
  EXPECT_FALSE(ParseSimFault("stall=", f));
  EXPECT_FALSE(ParseSimFault("stall=-1", f));
  EXPECT_FALSE(ParseSimFault("loud", f));
}

TEST(SimFaultsTest, EachFaultDoesWhatItSays) {
  SimOptions o = Options(SimModel::kR5);
  o.faults.silent = true;
  SimInstrument silent(o);
  EXPECT_EQ(Ask(silent, "B\rW"), "");
  EXPECT_EQ(silent.Commands(), (std::vector<std::string>{"B", "CR", "W"}));

  o.faults = SimFaults();
  o.faults.stall_after = 10;
  SimInstrument stall(o);
  EXPECT_EQ(Ask(stall, "B\rW"), "ACK\r\nKOVA-");
  EXPECT_EQ(Ask(stall, "W"), "");

  o.faults = SimFaults();
  o.faults.garble = true;
  SimInstrument garble(o);
  const std::string garbled = Ask(garble, "W");
  EXPECT_EQ(garbled.size(), SimIdentification(SimModel::kR5).size() + 2);
  EXPECT_NE(garbled, SimIdentification(SimModel::kR5) + "\r\n");
  EXPECT_EQ(garbled.substr(garbled.size() - 2), "\r\n");

  o.faults = SimFaults();
  o.faults.not_found = true;
  SimInstrument missing(o);
  EXPECT_EQ(Ask(missing, "L001"), "TEST 001 NOT FOUND\r\n");

  o.faults = SimFaults();
  o.faults.wrong_model = true;
  SimInstrument foreign(o);
  EXPECT_EQ(Ask(foreign, "W").find("KOVA"), std::string::npos);

  o.faults = SimFaults();
  o.faults.corrupt_prompt = true;
  SimInstrument corrupt(o);
  Ask(corrupt, "T314");
  const std::vector<std::string> lines = Lines(Ask(corrupt, PlanHex(SimModel::kR5, {4}, 1)));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_NE(lines[2].find("CORRUPT"), std::string::npos);
  EXPECT_EQ(corrupt.state(), SimInstrument::State::kIdle);
}

TEST(SimProtocol, AnIncompleteCommandIsDroppedForTheNextOne) {
  SimInstrument sim(Options(SimModel::k7100));
  EXPECT_EQ(Ask(sim, "L0W"), SimIdentification(SimModel::k7100) + "\r\n");
  EXPECT_EQ(Ask(sim, "T999"), "");  // not a run command
  EXPECT_EQ(sim.state(), SimInstrument::State::kIdle);
}

}  // namespace
}  // namespace kova
