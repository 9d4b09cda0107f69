// The device link's seams and the faults found in review: one model type
// with its conversions, a foreign device refused, the model asked once per
// connection, replies that are cut, late or wrong, and file name prefixes.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/batch_transfer.h"
#include "base/file_io.h"
#include "base/instrument_model.h"
#include "base/path.h"
#include "command_set_rig.h"
#include "device/command_set.h"
#include "device/record_reply.h"
#include "plans/test_plan.h"

namespace kova {
namespace {

using rig::ScriptedLink;

std::string Folder(const std::string& name) {
  const std::string f = (std::filesystem::temp_directory_path() / ("kova-review-" + name)).string();
  std::filesystem::remove_all(f);
  std::filesystem::create_directories(f);
  return f;
}

TEST(InstrumentModelTest, EveryNumberingConvertsThroughOneType) {
  const struct {
    InstrumentModel model;
    int code, deviceversion;
    const char *shortname, *title, *identification;
  } cases[] = {
      {InstrumentModel::k7100, 0, 1, "7100", " KOVA-7100", "KOVA-7100A CT ANALYZER"},
      {InstrumentModel::kR5, 1, 3, "7100 R5", " KOVA-R5", "KOVA-R5A CT TESTER"},
      {InstrumentModel::k7100BC, 2, 2, "7100B", " KOVA-7100B/C", "KOVA-7100C CT ANALYZER"},
      {InstrumentModel::k7KA, 4, 4, "7KA", " KOVA-7KA", "KOVA-7KA CT ANALYZER"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.title);
    EXPECT_EQ(ModelCodeOf(c.model), c.code);
    EXPECT_EQ(DeviceVersionOf(c.model), c.deviceversion);
    EXPECT_EQ(ModelFromCodeOr7100(c.code), c.model);
    EXPECT_EQ(ModelFromDeviceVersion(c.deviceversion), c.model);
    EXPECT_EQ(ShortModelName(c.model), c.shortname);
    EXPECT_EQ(ModelTitleName(c.model), c.title);
    InstrumentModel got = InstrumentModel::k7100;
    ASSERT_TRUE(ModelFromIdentification(c.identification, got));
    EXPECT_EQ(got, c.model);
  }
  InstrumentModel m;
  EXPECT_FALSE(ModelFromCode(3, m));  // the KOVA-7KC folder only
  EXPECT_FALSE(ModelFromIdentification("ACME-9000 POWER METER V1.0", m));
  EXPECT_EQ(PlanTypeOfDeviceVersion(3), kPlanKovaR5);
}

TEST(ForeignDeviceTest, AnAnswerThatNamesNoKovaModelIsRefusedAndNothingIsWritten) {
  ScriptedLink link("ACME-9000 POWER METER V1.0");
  EXPECT_FALSE(link.device.EnsureConnected(true));
  ASSERT_EQ(link.prompter.texts().size(), 1u);
  EXPECT_NE(link.prompter.texts()[0].find("ACME-9000"), std::string::npos);

  const std::string folder = Folder("foreign");
  rig::RecordingObserver observer;
  BatchTransfer batch(link.device, observer);
  batch.AddItem(1, "x.tst-kova7k");
  link.prompter.QueueText(folder);
  EXPECT_FALSE(batch.RunTransfers());
  batch.planmode = true;
  link.prompter.QueueText(folder);
  EXPECT_FALSE(batch.RunTransfers());
  EXPECT_TRUE(std::filesystem::is_empty(folder));
  EXPECT_EQ(rig::Count(link.line.writes(), "R"), 0);
  EXPECT_EQ(rig::Count(link.line.writes(), "x001"), 0);
}

TEST(ModelOncePerConnectionTest, TheModelIsAskedOnceAndAskedAgainAfterReconnect) {
  ScriptedLink link("KOVA-7100B CT ANALYZER");
  ASSERT_TRUE(link.device.EnsureConnected(true));
  EXPECT_TRUE(link.device.Is7100BC());
  EXPECT_FALSE(link.device.IsR5());
  EXPECT_FALSE(link.device.Is7KA());
  EXPECT_TRUE(link.device.EnsureConnected(true));
  EXPECT_EQ(link.device.ModelCode(), kModel7100BC);
  EXPECT_EQ(rig::Count(link.line.writes(), "W"), 1);
  ASSERT_TRUE(link.device.Reconnect());
  EXPECT_EQ(rig::Count(link.line.writes(), "W"), 2);
}

// Replies that go wrong: each row is one reply to one command.
TEST(BadReplyTest, APlanOfMoreTapsThanAnyPlanHoldsIsRefusedAndNotWritten) {
  ScriptedLink link;
  std::string image(1024, '0');
  image[0] = '0';
  image[1] = 'b';  // 11 taps
  link.line.On("x001", image + "\r\nDONE\r\n");
  const std::string folder = Folder("plan11");
  rig::RecordingObserver observer;
  BatchTransfer batch(link.device, observer);
  EXPECT_FALSE(batch.DownloadPlan(1, PathJoin(folder, "p.plan")));
  EXPECT_EQ(link.prompter.texts(), std::vector<std::string>{"Error reading data from RUDM"});
  EXPECT_FALSE(FileExists(PathJoin(folder, "p.plan")));
}

TEST(BadReplyTest, AnOverlongRecordIsReadToItsEndSoNothingOfItStaysQueued) {
  ScriptedLink link;
  std::string reply;
  const std::string line(200, 'A');
  while (reply.size() < kMaxRecordTextBytes + 4096) reply += line + "\r\n";
  reply += "DONE\r\n";
  link.line.On("R", reply);
  ASSERT_TRUE(link.device.SendText("R"));
  std::string text;
  EXPECT_EQ(ReadRecordReply(link.device, text, nullptr), ReplyEnd::kTooLong);
  EXPECT_EQ(link.line.BytesWaiting(), 0);
}

TEST(BadReplyTest, LinesBeforeGoAreSkippedHoweverManyCome) {
  ScriptedLink link;
  std::string chatter;
  for (int i = 0; i < 100; ++i) chatter += "BUSY\r\n";
  link.line.On("r005", chatter + "GO\r\n");
  link.line.OnImage(1024, "OK\r\nSTORED\r\n");
  kvTestPlan plan;
  plan.devicetype = kPlanKova7100;
  EXPECT_TRUE(link.device.UploadPlan(plan, "r005"));
  EXPECT_TRUE(link.prompter.messages().empty());
}

TEST(BadReplyTest, AnInstrumentThatAnswersTheProbeButNotWIsToldOnce) {
  ScriptedLink link;
  rig::ScriptedSerial& line = link.line;
  line = rig::ScriptedSerial();
  line.On("B\r", "ACK\r\n");
  kvTestPlan plan;
  EXPECT_FALSE(link.device.UploadPlan(plan, "r005"));
  EXPECT_EQ(link.prompter.texts(), std::vector<std::string>{kNoIdentification});
}

TEST(PrefixTest, APrefixThatLeadsOutOfTheFolderIsRefused) {
  const struct {
    const char* prefix;
    bool safe;
  } cases[] = {{"Test", true}, {"", true},      {"a.b", true}, {"../x", false},
               {"..", false},  {"a\\b", false}, {"c:x", false}};
  for (const auto& c : cases) EXPECT_EQ(PrefixIsSafe(c.prefix), c.safe) << c.prefix;

  ScriptedLink link;
  DirectoryEntry one;
  one.number = 1;
  link.device.UseDirectory({one});
  std::vector<TransferItem> items;
  EXPECT_FALSE(MakeDownloadItems(link.device, "../../x", {0}, items));
  EXPECT_TRUE(items.empty());
  EXPECT_EQ(link.prompter.texts().size(), 1u);
}

TEST(DirectoryColumnsTest, TheTypeColumnFollowsTx44) {
  EXPECT_TRUE(DirectoryShowsTestType("KOVA-7100C TX44 FW 4.05"));
  EXPECT_FALSE(DirectoryShowsTestType("KOVA-7100C CT ANALYZER"));
}

}  // namespace
}  // namespace kova
