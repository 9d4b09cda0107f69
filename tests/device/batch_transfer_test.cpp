// Downloads of stored tests and plans into files: the names, the overwrite
// question, the result rules, and that a failed fetch never leaves a partial
// file or replaces a good one.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "analysis/read_record.h"
#include "app/batch_transfer.h"
#include "base/codepage.h"
#include "base/file_io.h"
#include "base/format.h"
#include "base/named_choice.h"
#include "base/path.h"
#include "command_set_rig.h"
#include "device/command_set.h"
#include "plans/test_plan.h"
#include "records/test_record.h"
#include "sim/sim_model.h"
#include "support/files.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

using rig::ScriptedLink;
using rig::SimLink;

DirectoryEntry Entry(int number, const char* datetime) {
  DirectoryEntry e;
  e.number = number;
  std::strncpy(e.datetime, datetime, sizeof e.datetime - 1);
  return e;
}

std::string ReadText(const std::string& path) {
  std::string text;
  ReadFileText(path, text);
  return text;
}

// A batch that never sleeps and never changes the process's folder.
struct Batch {
  explicit Batch(RudDevice& device) : transfer(device, observer) {
    transfer.pause = [this](uint32_t ms) { pauses.push_back(ms); };
    transfer.current_folder = [] { return std::string("/start"); };
  }
  rig::RecordingObserver observer;
  BatchTransfer transfer;
  std::vector<uint32_t> pauses;
};

TEST(DownloadNameTest, PrefixDateAndNumber) {
  EXPECT_EQ(DownloadFileName("Test", Entry(5, "12/31/19 10:20:30")), "Test-123119-005.tst-kova7k");
  EXPECT_EQ(DownloadFileName("", Entry(12, "01/02/20 08:00:00")), "010220-012.tst-kova7k");
  EXPECT_EQ(DownloadFileName("A", Entry(3, "1/2/2020")), "A-122020-003.tst-kova7k");
  EXPECT_EQ(DownloadFileName("A", Entry(1234, "")), "A--1234.tst-kova7k");
  // The instrument's text cannot lead out of the chosen folder.
  EXPECT_EQ(DownloadDatePart("..\\..\\x:y*"), ".._.._x_y_");
}

TEST(DownloadNameTest, ItemsFollowTheSelectionInListOrder) {
  ScriptedLink link;
  link.device.UseDirectory({Entry(4, "12/31/19 10:20:30"), Entry(9, "01/02/20 08:00:00"),
                            Entry(11, "02/03/21 07:00:00")});
  std::vector<TransferItem> items;
  EXPECT_FALSE(MakeDownloadItems(link.device, "Test", {}, items));
  EXPECT_EQ(link.prompter.texts(), std::vector<std::string>{"Please select test first"});
  ASSERT_TRUE(MakeDownloadItems(link.device, "Test", {2, 0, 7}, items));
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0].number, 11);
  EXPECT_EQ(items[0].name, "Test-020321-011.tst-kova7k");
  EXPECT_EQ(items[1].number, 4);
}

class DownloadModelTest : public ::testing::TestWithParam<SimModel> {};

TEST_P(DownloadModelTest, SeveralTestsArriveAsRecordFiles) {
  SimLink link(rig::Options(GetParam(), 4));
  const std::string folder = TempFolder("download-" + std::string(SimModelText(GetParam())));
  ASSERT_TRUE(link.device.GetDirectory(false));
  std::vector<TransferItem> items;
  ASSERT_TRUE(MakeDownloadItems(link.device, "Test", {0, 2, 3}, items));
  Batch b(link.device);
  for (const TransferItem& item : items) b.transfer.AddItem(item.number, item.name);
  link.prompter.QueueText(folder);
  const std::filesystem::path before = std::filesystem::current_path();
  ASSERT_TRUE(b.transfer.RunTransfers());
  EXPECT_EQ(std::filesystem::current_path(), before);  // files by full path only
  EXPECT_EQ(b.pauses, (std::vector<uint32_t>{200, 200, 200}));
  EXPECT_TRUE(link.prompter.messages().empty());
  ASSERT_EQ(b.transfer.written().size(), 3u);
  EXPECT_EQ(b.transfer.lastfile(), PathJoin(folder, items[2].name));
  EXPECT_EQ(b.observer.status, (std::vector<std::string>{"Test 1", "Test 3", "Test 4"}));
  for (size_t i = 0; i < items.size(); ++i) {
    TestRecord got;
    ASSERT_TRUE(ReadRecordFile(got, PathJoin(folder, items[i].name), RecordDefaults()))
        << items[i].name;
    const TestRecord* want = link.instrument.StoredTest(items[i].number);
    EXPECT_EQ(got.deviceversion, SimDeviceVersion(GetParam()));
    EXPECT_EQ(0, std::memcmp(got.rawrecord, want->rawrecord, kRawRecordSize));
    EXPECT_EQ(got.company, want->company);
    EXPECT_EQ(got.taps[0].graph[3].gpVolts, want->taps[0].graph[3].gpVolts);
  }
  // Each test is selected, then sent.
  const auto& cmds = link.instrument.Commands();
  EXPECT_EQ(rig::Count(cmds, "L003"), 1);
  EXPECT_EQ(rig::Count(cmds, "R"), 3);
  EXPECT_GT(b.observer.last_bytes, 1000u);
}

TEST_P(DownloadModelTest, StoredPlansArriveAsPlanFiles) {
  SimLink link(rig::Options(GetParam(), 1, 3));
  const std::string folder = TempFolder("plans-" + std::string(SimModelText(GetParam())));
  Batch b(link.device);
  b.transfer.planmode = true;
  b.transfer.prefix = "plan";
  b.transfer.AddItem(1);
  b.transfer.AddItem(3);
  link.prompter.QueueText(folder);
  ASSERT_TRUE(b.transfer.RunTransfers());
  EXPECT_EQ(FilesIn(folder), (std::vector<std::string>{"plan1.plan", "plan3.plan"}));
  kvTestPlan plan;
  ASSERT_TRUE(plan.Load(PathJoin(folder, "plan3.plan")));
  EXPECT_EQ(plan.devicetype, SimModelCode(GetParam()));
  const std::vector<uint8_t>& slot = link.instrument.PlanSlot(3);
  EXPECT_TRUE(std::equal(slot.begin(), slot.end(), plan.image));
}

INSTANTIATE_TEST_SUITE_P(AllModels, DownloadModelTest,
                         ::testing::Values(SimModel::k7100, SimModel::k7100C, SimModel::kR5,
                                           SimModel::k7KA));

TEST(DownloadSimTest, OverUsb) {
  SimLink link(rig::Options(SimModel::k7100B, 2), /*over_usb=*/true);
  const std::string folder = TempFolder("download-usb");
  Batch b(link.device);
  ASSERT_TRUE(b.transfer.DownloadRecord(2, PathJoin(folder, "two.test")));
  TestRecord got;
  ASSERT_TRUE(ReadRecordFile(got, PathJoin(folder, "two.test"), RecordDefaults()));
  EXPECT_EQ(0,
            std::memcmp(got.rawrecord, link.instrument.StoredTest(2)->rawrecord, kRawRecordSize));
}

TEST(DownloadSimTest, ResendFetchesTheCurrentTestWithoutSelecting) {
  SimLink link(rig::Options(SimModel::k7100B, 3));
  const std::string folder = TempFolder("resend");
  Batch b(link.device);
  b.transfer.resendmode = true;
  b.transfer.AddItem(-1, PathJoin(folder, "RunTest.test"));
  ASSERT_TRUE(b.transfer.RunTransfers());
  EXPECT_EQ(b.transfer.lastfile(), PathJoin(folder, "RunTest.test"));
  EXPECT_TRUE(link.prompter.messages().empty());  // no folder question
  EXPECT_EQ(b.observer.status, std::vector<std::string>{"The instrument's current test"});
  for (const std::string& c : link.instrument.Commands()) EXPECT_NE(c[0], 'L') << c;
  TestRecord got;
  ASSERT_TRUE(ReadRecordFile(got, PathJoin(folder, "RunTest.test"), RecordDefaults()));
  EXPECT_EQ(got.company, link.instrument.StoredTest(3)->company);
}

// The chosen folder becomes the current one; a relative name must still
// lead to it, not to a folder of that name inside it.
TEST(DownloadSimTest, RelativeFolderBecomesTheCurrentFolder) {
  SimLink link(rig::Options(SimModel::k7100, 1));
  const std::string base = TempFolder("relative");
  ASSERT_TRUE(MakeFolders(PathJoin(base, "out")));
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(base);
  rig::RecordingObserver observer;
  BatchTransfer transfer(link.device, observer);
  transfer.pause = [](uint32_t) {};
  transfer.AddItem(1, "one.test");
  link.prompter.QueueText("out");
  const bool ok = transfer.RunTransfers();
  const std::filesystem::path after = std::filesystem::current_path();
  std::filesystem::current_path(before);
  EXPECT_TRUE(ok);
  // The folder is resolved; the process's current folder stays.
  EXPECT_EQ(after, std::filesystem::path(base));
  EXPECT_EQ(transfer.folder(), PathJoin(base, "out"));
  EXPECT_EQ(FilesIn(PathJoin(base, "out")), std::vector<std::string>{"one.test"});
  EXPECT_EQ(transfer.lastfile(), PathJoin(PathJoin(base, "out"), "one.test"));
}

TEST(DownloadSimTest, CancelledFolderChoiceEndsWellWithoutFiles) {
  SimLink link(rig::Options(SimModel::k7100));
  Batch b(link.device);
  b.transfer.AddItem(1, "one.test");
  EXPECT_TRUE(b.transfer.RunTransfers());
  EXPECT_EQ(b.transfer.lastfile(), "");
  EXPECT_TRUE(link.instrument.Commands().empty());
}

TEST(DownloadSimTest, LastItemDecidesTheResult) {
  SimLink link(rig::Options(SimModel::k7100B, 2));
  const std::string folder = TempFolder("last-fails");
  Batch b(link.device);
  b.transfer.AddItem(1, "a.test");
  b.transfer.AddItem(2, "b.test");
  b.transfer.AddItem(9, "c.test");
  link.prompter.QueueText(folder);
  EXPECT_FALSE(b.transfer.RunTransfers());
  EXPECT_EQ(FilesIn(folder), (std::vector<std::string>{"a.test", "b.test"}));
  EXPECT_EQ(b.transfer.lastfile(), PathJoin(folder, "b.test"));
  EXPECT_EQ(link.prompter.texts(),
            std::vector<std::string>{"Can't load test 9, test 009 not found"});

  // A failure in the middle does not decide: the batch goes on.
  Batch again(link.device);
  again.transfer.AddItem(9, "c.test");
  again.transfer.AddItem(1, "d.test");
  link.prompter.QueueText(folder);
  EXPECT_TRUE(again.transfer.RunTransfers());
}

TEST(DownloadSimTest, NotFoundFault) {
  SimOptions o = rig::Options(SimModel::k7KA, 2);
  o.faults.not_found = true;
  SimLink link(o);
  Batch b(link.device);
  EXPECT_FALSE(b.transfer.DownloadRecord(1, PathJoin(TempFolder("nf"), "x.test")));
  EXPECT_EQ(link.prompter.texts(),
            std::vector<std::string>{"Can't load test 1, test 001 not found"});
}

// --- the overwrite question ----------------------------------------------------

struct OverwriteCase {
  std::string folder;
  std::unique_ptr<SimLink> link;
  std::unique_ptr<Batch> batch;

  explicit OverwriteCase(const std::string& name) {
    folder = TempFolder(name);
    link = std::make_unique<SimLink>(rig::Options(SimModel::k7100, 3));
    batch = std::make_unique<Batch>(link->device);
    for (int n = 1; n <= 3; ++n) {
      const std::string file = "t" + std::to_string(n) + ".test";
      batch->transfer.AddItem(n, file);
      WriteFileAtomically(PathJoin(folder, file), std::string("old"));
    }
    link->prompter.QueueText(folder);
  }
  std::string Old(int n) const {
    return ReadText(PathJoin(folder, "t" + std::to_string(n) + ".test"));
  }
};

TEST(OverwriteTest, YesForAll) {
  OverwriteCase c("ow-yes");
  c.link->prompter.QueueAnswer(Answer::Yes);
  EXPECT_TRUE(c.batch->transfer.RunTransfers());
  ASSERT_EQ(c.link->prompter.messages().size(), 1u);
  EXPECT_EQ(c.link->prompter.messages()[0].text, "Overwrite file t1.test");
  EXPECT_EQ(c.link->prompter.messages()[0].buttons, Buttons::YesNoCancel);
  for (int n = 1; n <= 3; ++n) EXPECT_NE(c.Old(n), "old");
}

TEST(OverwriteTest, NoWithANewNameAsksAgainLater) {
  OverwriteCase c("ow-no");
  c.link->prompter.QueueAnswer(Answer::No);
  c.link->prompter.QueueText("abc");
  c.link->prompter.QueueAnswer(Answer::No);       // t2: no name given -> skipped
  c.link->prompter.QueueAnswer(Answer::Cancel);   // t3: stop
  EXPECT_TRUE(c.batch->transfer.RunTransfers());  // abc.test was the last attempted
  EXPECT_EQ(FilesIn(c.folder),
            (std::vector<std::string>{"abc.test", "t1.test", "t2.test", "t3.test"}));
  for (int n = 1; n <= 3; ++n) EXPECT_EQ(c.Old(n), "old");
  EXPECT_EQ(c.batch->transfer.lastfile(), PathJoin(c.folder, "abc.test"));
  EXPECT_EQ(c.link->prompter.messages().size(), 3u);
}

TEST(OverwriteTest, ATypedNameThatExistsIsAskedFor) {
  OverwriteCase c("ow-typed");
  c.batch->transfer.AddItem(1, "t1.test");  // a fourth item, t1 again
  c.link->prompter.QueueAnswer(Answer::No);
  c.link->prompter.QueueText("t2");  // exists as well
  c.link->prompter.QueueAnswer(Answer::Cancel);
  EXPECT_TRUE(c.batch->transfer.RunTransfers());
  EXPECT_EQ(c.link->prompter.texts(),
            (std::vector<std::string>{"Overwrite file t1.test", "Overwrite file t2.test"}));
  EXPECT_EQ(c.Old(2), "old");
  EXPECT_TRUE(c.link->instrument.Commands().empty());
}

TEST(OverwriteTest, CancelAfterAFailureKeepsTheFailure) {
  OverwriteCase c("ow-cancel");
  c.link->instrument.SetFaults([] {
    SimFaults f;
    f.not_found = true;
    return f;
  }());
  c.link->prompter.QueueAnswer(Answer::Yes);
  EXPECT_FALSE(c.batch->transfer.RunTransfers());
  for (int n = 1; n <= 3; ++n) EXPECT_EQ(c.Old(n), "old");
}

// --- what a failed fetch leaves behind -------------------------------------------

TEST(FailedFetchTest, StallMidRecordKeepsTheOldFile) {
  SimLink link(rig::Options(SimModel::k7100B, 2));
  const std::string folder = TempFolder("stall");
  const std::string path = PathJoin(folder, "keep.test");
  WriteFileAtomically(path, std::string("good old record"));
  ASSERT_TRUE(link.device.EnsureConnected(true));
  SimFaults f;
  f.stall_after = link.instrument.BytesSent() + 4000;  // well inside the record text
  link.instrument.SetFaults(f);
  Batch b(link.device);
  EXPECT_FALSE(b.transfer.DownloadRecord(1, path));
  EXPECT_EQ(b.transfer.laststatus().code, DeviceCode::kGarbled);
  EXPECT_EQ(link.prompter.texts(), std::vector<std::string>{"Error reading data from device"});
  EXPECT_EQ(ReadText(path), "good old record");
  EXPECT_EQ(FilesIn(folder), std::vector<std::string>{"keep.test"});
}

TEST(FailedFetchTest, GarbledRecordIsNotWritten) {
  ScriptedLink link("KOVA-7100B");
  link.line.On("L001", "TEST 001 LOADED\r\n");
  link.line.On("R", "0a0b0c0dzz\r\nGRAPH\r\nDONE\r\n");
  const std::string folder = TempFolder("garbled");
  Batch b(link.device);
  EXPECT_FALSE(b.transfer.DownloadRecord(1, PathJoin(folder, "g.test")));
  EXPECT_EQ(link.prompter.texts(), std::vector<std::string>{"Error reading data from device"});
  EXPECT_TRUE(FilesIn(folder).empty());
}

TEST(FailedFetchTest, EndlessRecordTextIsRefused) {
  ScriptedLink link;
  std::string flood;
  const std::string line(200, 'A');
  while (flood.size() <= kMaxRecordTextBytes) flood += line + "\r\n";
  link.line.On("R", flood + "DONE\r\n");
  const std::string folder = TempFolder("flood");
  Batch b(link.device);
  b.transfer.resendmode = true;
  EXPECT_FALSE(b.transfer.DownloadRecord(1, PathJoin(folder, "f.test")));
  EXPECT_EQ(link.prompter.texts(), std::vector<std::string>{"Error reading data from device"});
  EXPECT_TRUE(FilesIn(folder).empty());
}

TEST(FailedFetchTest, UnwritableFileIsNamedWithTheReason) {
  SimLink link(rig::Options(SimModel::k7100, 1));
  Batch b(link.device);
  const std::string path = PathJoin(TempFolder("nowrite"), "no/such/dir/x.test");
  EXPECT_FALSE(b.transfer.DownloadRecord(1, path));
  EXPECT_EQ(b.transfer.laststatus().code, DeviceCode::kWriteFailed);
  EXPECT_EQ(b.transfer.laststatus().file, path);
  EXPECT_EQ(link.prompter.texts(),
            std::vector<std::string>{"Can't write file " + path + ": the folder is gone"});
}

// Abort ends the batch wherever it comes: no file of the item it hit, no
// later item, no read error shown, and the count for "Download aborted".
TEST(FailedFetchTest, AbortEndsTheBatch) {
  struct Case {
    const char* name;
    size_t abort_at_item;  // during this item's reply (0-based)
    std::vector<std::string> kept;
  };
  const Case cases[] = {
      {"first", 0, {}},
      {"third", 2, {"1.test", "2.test"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SimLink link(rig::Options(SimModel::k7100B, 5));
    const std::string folder = TempFolder(std::string("abort-batch-") + c.name);
    Batch b(link.device);
    for (int n = 1; n <= 5; ++n) b.transfer.AddItem(n, std::to_string(n) + ".test");
    link.prompter.QueueText(folder);
    bool pressed = false;
    // The Abort button acts while the item's reply arrives.
    b.observer.on_bytes = [&](size_t bytes) {
      if (!pressed && b.observer.started.size() == c.abort_at_item + 1 && bytes > 2000) {
        pressed = true;
        b.transfer.Abort();
      }
    };
    b.transfer.RunTransfers();
    EXPECT_TRUE(pressed);
    EXPECT_TRUE(b.transfer.aborted());
    EXPECT_EQ(FilesIn(folder), c.kept);
    EXPECT_TRUE(link.prompter.texts().empty());
    EXPECT_EQ(DownloadAbortedText(b.transfer.written().size(), b.transfer.items().size()),
              "Download aborted: " + std::to_string(c.kept.size()) + " of 5 saved");
    // The next operation is not hit by the old Abort.
    link.prompter.QueueText(folder);
    Batch again(link.device);
    again.transfer.AddItem(5, "5.test");
    EXPECT_TRUE(again.transfer.RunTransfers());
  }
}

// --- plan replies ------------------------------------------------------------------

TEST(PlanReplyTest, HexLinesBecomeTheImage) {
  ScriptedLink link;
  link.line.On("x004", "0a 1B\r\nff\r\nDONE\r\n");
  const std::string path = PathJoin(TempFolder("plan-hex"), "p.plan");
  Batch b(link.device);
  ASSERT_TRUE(b.transfer.DownloadPlan(4, path));
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(ReadFileBytes(path, bytes));
  kvTestPlan plan;
  ASSERT_TRUE(plan.Load(path));
  EXPECT_EQ(plan.devicetype, kModel7100);
  EXPECT_EQ(plan.image[0], 0x0A);
  EXPECT_EQ(plan.image[1], 0x1B);
  EXPECT_EQ(plan.image[2], 0xFF);
  EXPECT_EQ(plan.image[3], 0x00);
}

TEST(PlanReplyTest, EmptyOddOrOversizedRepliesAreNoPlan) {
  const std::string folder = TempFolder("plan-bad");
  const std::string too_long(2 * kPlanImageCapacity + 2, 'a');
  for (const std::string& reply : {std::string("DONE\r\n"), std::string("0a1\r\nDONE\r\n"),
                                   too_long + "\r\nDONE\r\n", std::string("0a1b\r\n")}) {
    ScriptedLink link;
    link.line.On("x001", reply);
    Batch b(link.device);
    EXPECT_FALSE(b.transfer.DownloadPlan(1, PathJoin(folder, "bad.plan"))) << reply.size();
    EXPECT_EQ(link.prompter.texts(), std::vector<std::string>{"Error reading data from RUDM"});
  }
  EXPECT_TRUE(FilesIn(folder).empty());
}

TEST(PlanReplyTest, PlanNumbersBeyondThreeDigitsAreRefused) {
  ScriptedLink link;
  Batch b(link.device);
  EXPECT_FALSE(b.transfer.DownloadPlan(1000, "never.plan"));
  EXPECT_EQ(link.prompter.texts(),
            std::vector<std::string>{"Plan number 1000 is out of range (0 to 999)"});
  EXPECT_TRUE(link.line.written().empty());
}

TEST(BatchLimitsTest, AtMost512Items) {
  ScriptedLink link;
  Batch b(link.device);
  for (int i = 0; i < 512; ++i) ASSERT_TRUE(b.transfer.AddItem(i, "x"));
  EXPECT_FALSE(b.transfer.AddItem(512, "x"));
  EXPECT_EQ(b.transfer.items().size(), 512u);
}

}  // namespace
}  // namespace kova

namespace kova {
namespace {

// The overwrite question's buttons say what they do; each leads where its
// name says, and Skip goes on without asking for a name.
class ChoosingPrompter : public ScriptedPrompter, public NamedChoice {
 public:
  explicit ChoosingPrompter(size_t pick) : pick_(pick) {}
  size_t Choose(const std::string& caption, const std::string& text,
                const std::vector<std::string>& buttons, size_t escape) override {
    asked = caption + ": " + text;
    names = buttons;
    cancel = escape;
    return pick_;
  }
  std::string asked;
  std::vector<std::string> names;
  size_t cancel = 0;

 private:
  size_t pick_;
};

TEST(OverwriteTest, NamedButtonsDoWhatTheySay) {
  const struct {
    size_t pick;
    const char* typed;  // the answer to "New Filename", if asked
    OverwriteReply::Kind kind;
    const char* new_name;
  } cases[] = {
      {kOverwriteYes, "x", OverwriteReply::kReplaceAll, ""},
      {kOverwriteRename, "abc", OverwriteReply::kNewName, "abc"},
      {kOverwriteRename, "Pr\374f", OverwriteReply::kNewName, "Pr\374f"},
      {kOverwriteRename, "", OverwriteReply::kSkip, ""},  // no name given
      {kOverwriteSkip, "never asked", OverwriteReply::kSkip, ""},
      {kOverwriteSkipAll, "never asked", OverwriteReply::kSkipAll, ""},
      {kOverwriteCancel, "x", OverwriteReply::kCancel, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pick);
    ChoosingPrompter prompter(c.pick);
    prompter.QueueText(c.typed);
    PrompterQuestions questions(prompter);
    const OverwriteReply reply = questions.AskOverwrite("t1.test");
    EXPECT_EQ(prompter.asked, "KOVA-7100: Overwrite file t1.test");
    EXPECT_EQ(prompter.names,
              (std::vector<std::string>{"Yes", "Rename\x85", "Skip", "Skip All", "Cancel"}));
    EXPECT_EQ(prompter.cancel, kOverwriteCancel);
    EXPECT_EQ(reply.kind, c.kind);
    EXPECT_EQ(reply.new_name, Cp1252ToSystemName(c.new_name));  // the typed text names a file
  }
}

// The answers across a batch of three tests whose files all exist: each is
// asked for until an answer covers the rest.
TEST(OverwriteTest, AnswersThatCoverTheRest) {
  struct Questions : TransferQuestions {
    bool ChooseFolder(const std::string&, std::string& folder) override {
      folder = into;
      return true;
    }
    OverwriteReply AskOverwrite(const std::string& file_name) override {
      asked.push_back(file_name);
      OverwriteReply r;
      r.kind = replies.empty() ? OverwriteReply::kCancel : replies.front();
      if (!replies.empty()) replies.erase(replies.begin());
      return r;
    }
    std::string into;
    std::vector<OverwriteReply::Kind> replies;
    std::vector<std::string> asked;
  };
  using K = OverwriteReply;
  const struct {
    const char* what;
    std::vector<OverwriteReply::Kind> replies;
    std::vector<std::string> asked;
    std::vector<bool> replaced;  // t1..t3
  } cases[] = {
      {"skip all at once", {K::kSkipAll}, {"t1.test"}, {false, false, false}},
      {"skip, then skip all",
       {K::kSkip, K::kSkipAll},
       {"t1.test", "t2.test"},
       {false, false, false}},
      {"skip, then yes", {K::kSkip, K::kReplaceAll}, {"t1.test", "t2.test"}, {false, true, true}},
      {"skip each",
       {K::kSkip, K::kSkip, K::kSkip},
       {"t1.test", "t2.test", "t3.test"},
       {false, false, false}},
  };
  int n = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SimLink link(rig::Options(SimModel::k7100, 3));
    rig::RecordingObserver observer;
    Questions questions;
    questions.into = TempFolder(Format("ow-cover-%d", n++));
    questions.replies = c.replies;
    BatchTransfer transfer(link.device, observer, &questions);
    transfer.pause = [](uint32_t) {};
    for (int t = 1; t <= 3; ++t) {
      const std::string file = Format("t%d.test", t);
      transfer.AddItem(t, file);
      WriteFileAtomically(PathJoin(questions.into, file), std::string("old"));
    }
    transfer.RunTransfers();
    EXPECT_EQ(questions.asked, c.asked);
    for (int t = 1; t <= 3; ++t) {
      EXPECT_EQ(ReadText(PathJoin(questions.into, Format("t%d.test", t))) != "old",
                c.replaced[t - 1])
          << t;
    }
  }
}

}  // namespace
}  // namespace kova
