// kova library ... from the outside: filling, browsing, the history in its
// three forms, the baseline, pruning, and records the tool saves going in.

#include <signal.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "base/json.h"
#include "library_support/library_records.h"
#include "support/cli_fixture.h"
#include "support/files.h"

namespace kova {
namespace {
namespace fs = std::filesystem;

class LibraryCliTest : public KovaCliTest {
 protected:
  JsonValue Json(const std::vector<std::string>& args) {
    const ProgramResult r = Kova(args);
    EXPECT_EQ(r.exit_code, 0) << r.err;
    JsonValue v;
    std::string error;
    EXPECT_TRUE(JsonValue::Parse(r.out, v, error)) << error << "\n" << r.out;
    return v;
  }
  int64_t Member(const JsonValue& v, const char* name) {
    const JsonValue* m = v.Find(name);
    return m ? m->AsInteger() : -1;
  }
};

TEST_F(LibraryCliTest, FillBrowseAndHistoryInEveryForm) {
  const std::string records = dir_ + "/records";
  const auto paths = WriteLibraryRecords(records, {3, 3, 0, ""});
  ASSERT_TRUE(fs::copy_file(paths[0], dir_ + "/copy.test"));
  fs::create_directories(records + "/bad");
  std::ofstream(records + "/bad/broken.test") << "nonsense";

  JsonValue added = Json({"library", "add", records, dir_ + "/copy.test", "--json"});
  EXPECT_EQ(Member(added, "added"), 9);
  EXPECT_EQ(Member(added, "new_paths"), 1);
  ASSERT_EQ(added.Find("problems")->Size(), 1u);
  EXPECT_EQ(added.Find("problems")->At(0).Find("reason")->AsString(), "not a record file");
  added = Json({"library", "add", records, "--json"});
  EXPECT_EQ(Member(added, "unchanged"), 9);
  EXPECT_EQ(Member(added, "added"), 0);

  const JsonValue stats = Json({"library", "stats", "--json"});
  EXPECT_EQ(Member(stats, "cts"), 3);
  EXPECT_EQ(Member(stats, "records"), 9);
  EXPECT_EQ(Member(stats, "files"), 10);

  EXPECT_EQ(Json({"library", "cts", "--json"}).Size(), 3u);
  EXPECT_EQ(Json({"library", "cts", "--search", "station 1", "--json"}).Size(), 1u);

  const JsonValue h = Json({"library", "history", "sn00001", "--tap", "X1-X5", "--json"});
  EXPECT_EQ(h.Find("serialnumber")->AsString(), "SN00001");
  const JsonValue& tests = *h.Find("tests");
  ASSERT_EQ(tests.Size(), 3u);
  EXPECT_TRUE(tests.At(0).Find("vs_baseline")->Find("rct75_percent")->IsNull());
  EXPECT_FALSE(tests.At(2).Find("vs_baseline")->Find("rct75_percent")->IsNull());
  EXPECT_FALSE(tests.At(2).Find("vs_previous")->Find("excitation_percent")->IsNull());

  const ProgramResult csv = Kova({"library", "history", "SN00001", "--csv"});
  ASSERT_EQ(csv.exit_code, 0) << csv.err;
  EXPECT_EQ(csv.out.rfind("Date,Test,Knee V,", 0), 0u) << csv.out;
  EXPECT_NE(csv.out.find("Rct 75\xc2\xb0"
                         "C"),
            std::string::npos);                                    // UTF-8
  EXPECT_EQ(std::count(csv.out.begin(), csv.out.end(), '\n'), 7);  // header + 2 taps x 3

  const ProgramResult text = Kova({"library", "history", "SN00001", "--tap", "X1-X5"});
  ASSERT_EQ(text.exit_code, 0) << text.err;
  EXPECT_NE(text.out.find("KOVA SIM SN00001, STATION 1, FEEDER 1"), std::string::npos);
}

TEST_F(LibraryCliTest, BaselinePruneAndFailures) {
  const std::string records = dir_ + "/records";
  const auto paths = WriteLibraryRecords(records, {1, 3, 0, ""});
  ASSERT_EQ(Kova({"library", "add", records}).exit_code, 0);

  ASSERT_EQ(Kova({"library", "baseline", paths[1]}).exit_code, 0);
  JsonValue h = Json({"library", "history", "SN00000", "--tap", "X1-X5", "--json"});
  EXPECT_TRUE(h.Find("tests")->At(1).Find("baseline")->AsBool());
  EXPECT_TRUE(h.Find("tests")->At(1).Find("vs_baseline")->Find("ratio_turns")->IsNull());

  fs::remove(paths[2]);
  EXPECT_EQ(Member(Json({"library", "prune", "--json"}), "removed_files"), 1);
  h = Json({"library", "history", "SN00000", "--tap", "X1-X5", "--json"});
  EXPECT_EQ(h.Find("tests")->Size(), 2u);

  struct Failure {
    std::vector<std::string> args;
    std::string message;
  } failures[] = {
      {{"library", "history", "NOPE"}, "No CT with serial number \"NOPE\""},
      {{"library", "baseline", paths[2]}, "no such file"},
      {{"library", "baseline", dir_ + "/other.test"}, "no such file"},
      {{"library", "stats", "--library", dir_ + "/no/such/dir/\x01/x.sqlite"}, ""},
      {{"library", "stats", "--library", "postgresql:///nodb?host=" + dir_ + "/nosocket"},
       "Cannot open the library"},
  };
  for (const Failure& f : failures) {
    const ProgramResult r = Kova(f.args);
    if (f.message.empty()) continue;  // only that it does not crash
    EXPECT_EQ(r.exit_code, 1) << f.args[1];
    EXPECT_NE(r.err.find(f.message), std::string::npos) << r.err;
  }
}

TEST_F(LibraryCliTest, ARecordTheToolSavesIsFiled) {
  const auto paths = WriteLibraryRecords(dir_ + "/in", {1, 1, 4, ""});
  const std::string out = dir_ + "/saved/converted.test";
  fs::create_directories(dir_ + "/saved");
  const ProgramResult r = Kova({"record", "convert", paths[0], "-o", out});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  // The library beside the tool's own settings file.
  ASSERT_TRUE(fs::exists(dir_ + "/kova-library.sqlite"));
  const JsonValue h = Json({"library", "history", "SN00004", "--json"});
  ASSERT_EQ(h.Find("tests")->Size(), 2u);
  EXPECT_EQ(h.Find("tests")->At(0).Find("file")->AsString(), out);
}

}  // namespace
}  // namespace kova

namespace kova {
namespace {

// SIGTERM (a service manager or `kill` stopping the tool) cancels an import
// as Ctrl-C does: the records read until then are filed, the tool ends as
// stopped by the signal, and the next import adds exactly the rest.
TEST_F(LibraryCliTest, SigtermStopsAnImportAndTheLibraryStaysWhole) {
  const std::string records = dir_ + "/records";
  const size_t total = WriteLibraryRecords(records, {400, 2, 0, ""}).size();
  const std::string library = dir_ + "/kova-library.sqlite";  // beside the settings
  const std::string out = dir_ + "/add.out", err = dir_ + "/add.err";
  const pid_t pid =
      StartProgram(BuiltProgram("kova"), {"library", "add", records, "--json"}, env_, out, err);
  ASSERT_GT(pid, 0);
  // The signal is caught from before the library is opened.
  for (int i = 0; i < 1000 && !fs::exists(library); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  ASSERT_TRUE(fs::exists(library)) << Slurp(err);
  // Usually part of the way through; the whole import takes some 10 times longer
  // here, and one stopped before its first file must be as consistent.
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  kill(pid, SIGTERM);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status)) << "ended by the signal itself";
  EXPECT_EQ(WEXITSTATUS(status), 128 + SIGTERM);
  EXPECT_NE(Slurp(err).find("Import cancelled"), std::string::npos) << Slurp(err);
  JsonValue first;
  std::string error;
  ASSERT_TRUE(JsonValue::Parse(Slurp(out), first, error)) << error;
  EXPECT_TRUE(first.Find("cancelled")->AsBool());
  const int64_t filed = Member(first, "added");
  EXPECT_LT(filed, static_cast<int64_t>(total));

  // What the summary said went in is in, and the rest follows.
  EXPECT_EQ(Member(Json({"library", "stats", "--json"}), "records"), filed);
  const JsonValue second = Json({"library", "add", records, "--json"});
  EXPECT_EQ(Member(second, "unchanged"), filed);
  EXPECT_EQ(Member(second, "added"), static_cast<int64_t>(total) - filed);
  EXPECT_FALSE(second.Find("cancelled")->AsBool());
}

}  // namespace
}  // namespace kova
