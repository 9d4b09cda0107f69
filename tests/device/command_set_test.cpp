// The instrument's command set: directory grammar, test selection, plan
// upload and panel control, against the simulated instrument and against
// scripted replies.

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "command_set_rig.h"
#include "device/command_set.h"
#include "device/directory_grammar.h"
#include "device/rud_device.h"
#include "plans/test_plan.h"
#include "sim/sim_model.h"

namespace kova {
namespace {

using rig::ScriptedLink;
using rig::SimLink;

std::string Text(const char* field) { return std::string(field); }

struct Table {
  DirectoryEntry entries[kMaxDirectoryEntries];
  int count = -1;
};

TEST(DirectoryGrammarTest, ReadsEntriesKeysAndDates) {
  Table t;
  DirectoryGrammar g(t.entries, kMaxDirectoryEntries, t.count);
  EXPECT_EQ(t.count, 0);
  for (const char* line :
       {"#3", "12/31/19 10:20:30", "COMPANY=ACME", "", "#12", "company=acme", "station=North=Yard",
        "TESTS=4 taps", "Knee=IEEE 30 Deg", "UNKNOWN=1", "no equals sign", "OPERATOR=JD", "SN=A1",
        "MFR=M", "MODEL=X", "KVA=10", "TEST=OPEN 1", "CIRCUIT=C"}) {
    EXPECT_EQ(g.Apply(line), DirectoryGrammar::Step::kMore) << line;
  }
  EXPECT_EQ(g.Apply("done"), DirectoryGrammar::Step::kDone);
  ASSERT_EQ(t.count, 2);
  EXPECT_EQ(t.entries[0].number, 3);
  EXPECT_EQ(Text(t.entries[0].datetime), "12/31/19 10:20:30");
  EXPECT_EQ(Text(t.entries[0].company), "ACME");
  EXPECT_EQ(t.entries[1].number, 12);
  EXPECT_EQ(Text(t.entries[1].company), "acme");  // keys in any case, values as sent
  EXPECT_EQ(Text(t.entries[1].station), "North=Yard");
  EXPECT_EQ(t.entries[1].tests, 4);
  EXPECT_EQ(Text(t.entries[1].knee), "IEEE 30 Deg");
  EXPECT_EQ(Text(t.entries[1].operator_), "JD");
  EXPECT_EQ(Text(t.entries[1].sn), "A1");
  EXPECT_EQ(Text(t.entries[1].mfr), "M");
  EXPECT_EQ(Text(t.entries[1].model), "X");
  EXPECT_EQ(Text(t.entries[1].kva), "10");
  EXPECT_EQ(Text(t.entries[1].testtype), "OPEN 1");
  EXPECT_EQ(Text(t.entries[1].circuit), "C");
  EXPECT_EQ(Text(t.entries[1].datetime), "");
  EXPECT_EQ(t.entries[2].number, 0);  // untouched entries stay zero
}

TEST(DirectoryGrammarTest, EdgeLinesFollowTheGrammar) {
  Table t;
  DirectoryGrammar g(t.entries, kMaxDirectoryEntries, t.count);
  // Before the first "#" the lines fill the first entry; the "#" line
  // itself is not examined for keys; a key is the whole text before "=".
  g.Apply("COMPANY=EARLY");
  g.Apply("#7 COMPANY=IGNORED");
  g.Apply("01/02/20 STATION=S1");
  EXPECT_EQ(t.count, 1);
  EXPECT_EQ(t.entries[0].number, 7);
  EXPECT_EQ(Text(t.entries[0].company), "EARLY");
  EXPECT_EQ(Text(t.entries[0].datetime), "01/02/20 STATION=S1");
  EXPECT_EQ(Text(t.entries[0].station), "");
}

TEST(DirectoryGrammarTest, LongValuesKeep39Characters) {
  Table t;
  DirectoryGrammar g(t.entries, kMaxDirectoryEntries, t.count);
  const std::string long_value(60, 'Q');
  g.Apply("#1");
  g.Apply("COMPANY=" + long_value);
  g.Apply("12/31/19 " + long_value);
  EXPECT_EQ(Text(t.entries[0].company), std::string(39, 'Q'));
  EXPECT_EQ(std::string(t.entries[0].datetime).size(), 39u);
  EXPECT_EQ(t.entries[0].datetime[39], '\0');
}

TEST(DirectoryGrammarTest, StopsAtTheCapacityAndClearsOldEntries) {
  Table t;
  t.entries[5].number = 99;
  {
    DirectoryGrammar g(t.entries, kMaxDirectoryEntries, t.count);
    EXPECT_EQ(t.entries[5].number, 0);
    for (int i = 1; i <= kMaxDirectoryEntries; ++i) {
      ASSERT_EQ(g.Apply("#" + std::to_string(i)), DirectoryGrammar::Step::kMore);
    }
    EXPECT_EQ(g.Apply("#151"), DirectoryGrammar::Step::kLimit);
  }
  EXPECT_EQ(t.count, kMaxDirectoryEntries);
  EXPECT_EQ(t.entries[kMaxDirectoryEntries - 1].number, 150);
}

TEST(DirectoryGrammarTest, NumbersReadLikeTheInstrumentWritesThem) {
  EXPECT_EQ(ReadDecimal("42"), 42);
  EXPECT_EQ(ReadDecimal("  17 tests"), 17);
  EXPECT_EQ(ReadDecimal("-3"), -3);
  EXPECT_EQ(ReadDecimal("x12"), 0);
  EXPECT_EQ(ReadDecimal(""), 0);
  EXPECT_EQ(ReadDecimal("99999999999999999999"), INT_MAX);
  EXPECT_EQ(ReadDecimal("-99999999999"), INT_MIN);
}

TEST(NumberCommandTest, CarriesThreeDigitsOrRefuses) {
  std::string c;
  ASSERT_TRUE(NumberCommand('L', 7, c));
  EXPECT_EQ(c, "L007");
  ASSERT_TRUE(NumberCommand('x', 999, c));
  EXPECT_EQ(c, "x999");
  ASSERT_TRUE(NumberCommand('r', 0, c));
  EXPECT_EQ(c, "r000");
  EXPECT_FALSE(NumberCommand('L', 1000, c));
  EXPECT_FALSE(NumberCommand('L', -1, c));
}

// --- against the simulated instrument, every model --------------------------

class ModelTest : public ::testing::TestWithParam<SimModel> {};

TEST_P(ModelTest, DirectoriesListStoredTestsAndPlans) {
  SimLink link(rig::Options(GetParam(), 4, 3));
  ASSERT_TRUE(link.device.GetDirectory(false));
  ASSERT_EQ(link.device.entrycount(), 4);
  for (int i = 0; i < 4; ++i) {
    const DirectoryEntry& e = link.device.entry(i);
    const TestRecord* rec = link.instrument.StoredTest(i + 1);
    ASSERT_NE(rec, nullptr);
    EXPECT_EQ(e.number, i + 1);
    EXPECT_EQ(Text(e.datetime), rec->testdatetime.substr(0, 39));
    EXPECT_EQ(Text(e.company), rec->company);
    EXPECT_EQ(e.tests, rec->numtests);
  }
  ASSERT_TRUE(link.device.GetDirectory(true));
  EXPECT_EQ(link.device.entrycount(), 3);
  EXPECT_EQ(link.device.entry(2).number, 3);
  EXPECT_EQ(link.device.entry(3).number, 0);  // the test entries are gone
  EXPECT_TRUE(link.prompter.messages().empty());
}

TEST_P(ModelTest, UploadSendsTheImageAsLowerCaseHex) {
  SimLink link(rig::Options(GetParam()));
  kvTestPlan plan;
  plan.devicetype = SimModelCode(GetParam());
  plan.numtests = 1;
  plan.company = "UPLOAD CO";
  plan.taps[0].tapid = 3;
  plan.EncodeImage(plan.image);
  ASSERT_TRUE(TransferPlanToSlot(link.device, plan, 9));
  const std::string hex = plan.ImageLinkText();
  EXPECT_EQ(hex.size(), plan.devicetype == kModel7100BC ? 2048u : 1024u);
  EXPECT_NE(link.instrument.Received().find("r009" + hex), std::string::npos);
  const std::vector<uint8_t>& slot = link.instrument.PlanSlot(9);
  ASSERT_EQ(slot.size(), plan.ImageSize());
  EXPECT_TRUE(std::equal(slot.begin(), slot.end(), plan.image));
  ASSERT_EQ(link.prompter.waits().size(), 1u);
  EXPECT_EQ(link.prompter.waits()[0], "Transferring test plan ...\r\rPlease wait.");
}

TEST_P(ModelTest, PanelControlGoesOutWithoutACheck) {
  SimLink link(rig::Options(GetParam()));
  ASSERT_TRUE(link.device.ReturnToPanel());
  EXPECT_TRUE(link.instrument.PanelControl());
  EXPECT_EQ(link.instrument.Commands(), std::vector<std::string>{"X"});
}

INSTANTIATE_TEST_SUITE_P(AllModels, ModelTest,
                         ::testing::Values(SimModel::k7100, SimModel::k7100B, SimModel::kR5,
                                           SimModel::k7KA));

TEST(CommandSetSimTest, DirectoryOverUsb) {
  SimLink link(rig::Options(SimModel::k7KA, 2), /*over_usb=*/true);
  ASSERT_TRUE(link.device.GetDirectory(false));
  EXPECT_EQ(link.device.entrycount(), 2);
  EXPECT_EQ(link.device.entry(1).number, 2);
  EXPECT_TRUE(link.serial_backend.OpenLog().empty());
}

TEST(CommandSetSimTest, WrongModelPlanIsRefusedWithBothNames) {
  SimLink link(rig::Options(SimModel::k7100));
  kvTestPlan plan;
  plan.devicetype = kModel7KA;
  EXPECT_FALSE(link.device.UploadPlan(plan, "r001"));
  ASSERT_EQ(link.prompter.texts().size(), 1u);
  EXPECT_EQ(link.prompter.texts()[0],
            "Test plan type 7KA does not match device 7100 connected to this PC");
  EXPECT_EQ(link.prompter.messages()[0].caption, "KOVA-7100");
  EXPECT_EQ(link.instrument.Received().find("r001"), std::string::npos);
}

TEST(CommandSetSimTest, SlotsOutsideTheInstrumentAreRefused) {
  SimLink link(rig::Options(SimModel::k7100));
  kvTestPlan plan;
  plan.devicetype = kModel7100;
  EXPECT_FALSE(TransferPlanToSlot(link.device, plan, 129));
  EXPECT_FALSE(TransferPlanToSlot(link.device, plan, 0));
  EXPECT_TRUE(link.device.TransferPlan(plan, 1000));  // the dialog form has no result
  EXPECT_EQ(link.prompter.texts(),
            (std::vector<std::string>{"Plan slot 129 is out of range (1 to 128)",
                                      "Plan slot 0 is out of range (1 to 128)",
                                      "Plan slot 1000 is out of range (1 to 128)"}));
  EXPECT_TRUE(link.instrument.Commands().empty());
}

TEST(CommandSetSimTest, SilentInstrumentIsNotAvailable) {
  SimOptions o = rig::Options(SimModel::k7100B);
  o.faults.silent = true;
  SimLink link(o);
  EXPECT_FALSE(link.device.GetDirectory(false));
  ASSERT_EQ(link.prompter.texts().size(), 1u);
  EXPECT_EQ(link.prompter.texts()[0].rfind("Device not available (", 0), 0u);
}

// --- scripted replies -------------------------------------------------------

TEST(CommandSetScriptTest, LoadTestSendsFourBytesAndReadsTheAnswer) {
  ScriptedLink link;
  link.line.On("L007", "TEST 007 LOADED\r\n", 1);
  link.line.On("L007", "Test Not Found\r\n", 1);
  EXPECT_TRUE(link.device.LoadTest(7));
  EXPECT_FALSE(link.device.LoadTest(7));
  EXPECT_EQ(link.prompter.texts(), std::vector<std::string>{"Can't load test 7, test not found"});
  EXPECT_EQ(rig::Count(link.line.writes(), "L007"), 2);
}

TEST(CommandSetScriptTest, LoadTestRefusesNumbersThreeDigitsCannotCarry) {
  ScriptedLink link;
  EXPECT_FALSE(link.device.LoadTest(1000));
  EXPECT_EQ(link.prompter.texts(),
            std::vector<std::string>{"Can't load test 1000, number out of range"});
  EXPECT_TRUE(link.line.written().empty());
}

TEST(CommandSetScriptTest, DirectoryLimitKeeps150Entries) {
  ScriptedLink link;
  std::string reply;
  for (int i = 1; i <= 151; ++i) reply += "#" + std::to_string(i) + "\r\nCOMPANY=C\r\n";
  link.line.On("d", reply + "DONE\r\n");
  EXPECT_TRUE(link.device.GetDirectory(false));
  EXPECT_EQ(link.device.entrycount(), 150);
  EXPECT_EQ(link.prompter.texts(), std::vector<std::string>{"Directory limit of 150 exceeded"});
}

TEST(CommandSetScriptTest, DirectoryCutShortKeepsWhatArrived) {
  ScriptedLink link;
  link.line.On("p", "#4\r\nCOMPANY=PART\r\n#5\r\n");
  EXPECT_FALSE(link.device.GetDirectory(true));
  EXPECT_EQ(link.device.entrycount(), 2);
  EXPECT_EQ(Text(link.device.entry(0).company), "PART");
  EXPECT_TRUE(link.prompter.messages().empty());  // a silent failure
}

// Lines without "GO" are skipped until the instrument's time-out; then the
// user is told, and no image goes out.
TEST(CommandSetScriptTest, UploadWithoutGoEndsWithAMessage) {
  ScriptedLink link;
  std::string chatter;
  for (int i = 0; i < 100; ++i) chatter += "BUSY\r\n";
  link.line.On("r002", chatter);
  kvTestPlan plan;
  plan.devicetype = kModel7100;
  EXPECT_FALSE(link.device.UploadPlan(plan, "r002"));
  EXPECT_EQ(link.prompter.texts(), std::vector<std::string>{kNoGo});
  EXPECT_EQ(link.line.written().find("0000"), std::string::npos);  // no image went out
}

TEST(CommandSetScriptTest, UploadClosingLinesAreRequired) {
  kvTestPlan plan;
  plan.devicetype = kModel7100;
  {
    ScriptedLink link;
    link.line.On("r002", "GO\r\n");
    link.line.OnImage(1024, "RECEIVED\r\n");
    EXPECT_FALSE(link.device.UploadPlan(plan, "r002"));
    EXPECT_EQ(link.prompter.texts(),
              std::vector<std::string>{"Unable to transfer testplan to device (no response)"});
  }
  {
    ScriptedLink link;
    link.line.On("r002", "READY - GO\r\n");
    link.line.OnImage(1024, "RECEIVED\r\nSTORED\r\n");
    EXPECT_TRUE(link.device.UploadPlan(plan, "r002"));
    EXPECT_TRUE(link.prompter.messages().empty());
  }
}

}  // namespace
}  // namespace kova
