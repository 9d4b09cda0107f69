// A headless Chromium against `kova serve` on a free loopback port: the
// fleet's rows, a CT's history and pictures and a record's pages are in the
// DOM the browser builds, and the pictures the screenshots show. Every
// process started here dies with the test (the parent-death signal), and
// the browser has a time limit of its own.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <regex>
#include <thread>

#include "base/file_io.h"
#include "library/library_import.h"
#include "library_stores/open_library.h"
#include "library_support/library_records.h"
#include "support/record_fixtures.h"
#include "support/run_program.h"
#include "web/web_text.h"

namespace kova {
namespace {

const char* kChromium = "/usr/bin/chromium";

// `command` run so that it gets SIGKILL when its parent dies.
std::vector<std::string> DiesWithParent(std::vector<std::string> command) {
  command.insert(command.begin(), {"--pdeathsig", "KILL"});
  return command;
}

class BrowserTest : public testing::Test {
 protected:
  void SetUp() override {
    if (access(kChromium, X_OK) != 0) GTEST_SKIP() << "no Chromium at " << kChromium;
    folder_ = TempFolder("browser");
    LibraryRecordSet set;
    set.cts = 6;
    set.tests_per_ct = 3;
    set.stations = 3;
    paths_ = WriteLibraryRecords(folder_ + "/records", set);
    StoreOutcome outcome;
    {
      auto store = OpenLibrary(folder_ + "/lib.sqlite", outcome, LibraryUse::kFile);
      ASSERT_TRUE(store) << outcome.detail;
      ASSERT_EQ(ImportRecordFiles(*store, paths_, RecordDefaults()).added, 18);
    }
    err_ = folder_ + "/serve.err";
    server_ = StartProgram("/usr/bin/setpriv",
                           DiesWithParent({BuiltProgram("kova"), "serve", "--library",
                                           folder_ + "/lib.sqlite", "--listen", "127.0.0.1:0"}),
                           {"KOVA_SETTINGS=" + folder_ + "/settings.ini"}, "", err_);
    ASSERT_GT(server_, 0);
    // The port it took is in its first line.
    const std::regex said("read-only at (http://127\\.0\\.0\\.1:[0-9]+)/");
    for (int i = 0; i < 200 && url_.empty(); ++i) {
      std::string text;
      std::smatch m;
      if (ReadFileText(err_, text) && std::regex_search(text, m, said)) url_ = m[1];
      if (url_.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_FALSE(url_.empty()) << "kova serve did not start";
  }
  void TearDown() override {
    if (server_ > 0) {
      kill(server_, SIGTERM);
      int status = 0;
      waitpid(server_, &status, 0);
      // Ctrl-C and SIGTERM stop it as a finished run.
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }
  }

  // The browser's DOM of `path`; with `screenshot` also a picture of it.
  std::string Dom(const std::string& path, const std::string& screenshot = "", int height = 1000) {
    static int n = 0;
    std::vector<std::string> args = {
        "--headless",
        "--no-sandbox",
        "--disable-gpu",
        "--no-first-run",
        "--disable-extensions",
        "--disable-dev-shm-usage",
        "--hide-scrollbars",
        "--window-size=1280," + std::to_string(height),
        "--user-data-dir=" + folder_ + "/chromium" + std::to_string(n++)};
    args.push_back(screenshot.empty() ? "--dump-dom" : "--screenshot=" + screenshot);
    args.push_back(url_ + path);
    // setpriv --pdeathsig KILL timeout -k 5 60 setpriv --pdeathsig KILL chromium ...
    std::vector<std::string> command =
        DiesWithParent({"/usr/bin/timeout", "-k", "5", "60", "/usr/bin/setpriv", "--pdeathsig",
                        "KILL", kChromium});
    command.insert(command.end(), args.begin(), args.end());
    const ProgramResult r = RunProgram("/usr/bin/setpriv", command, {"HOME=" + folder_});
    EXPECT_EQ(r.exit_code, 0) << r.err.substr(0, 2000);
    return r.out;
  }
  static size_t Count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
  }

  std::string folder_, err_, url_;
  std::vector<std::string> paths_;
  pid_t server_ = -1;
};

TEST_F(BrowserTest, TheFleetACtAndARecordShowInTheBrowser) {
  const std::string fleet = Dom("/");
  EXPECT_EQ(Count(fleet, "<tr class=\"ct "), 6u) << fleet.substr(0, 3000);
  EXPECT_NE(fleet.find("6 CTs:"), std::string::npos);
  EXPECT_NE(fleet.find("SN00005"), std::string::npos);
  EXPECT_NE(fleet.find("id=\"station-chart\""), std::string::npos);

  const std::string sorted = Dom("/?sort=serial&desc=1&limit=2");
  EXPECT_EQ(Count(sorted, "<tr class=\"ct "), 2u);
  EXPECT_LT(sorted.find("SN00005"), sorted.find("SN00004"));
  EXPECT_EQ(sorted.find("SN00000"), std::string::npos);

  const std::string ct_path = "/ct/" + CtUrlId(CtKey("KOVA SIM", LibrarySerial(2)));
  const std::string ct = Dom(ct_path);
  EXPECT_NE(ct.find("CT SN00002"), std::string::npos);
  EXPECT_EQ(Count(ct, "<tr class=\"test "), 6u);  // two taps of three tests
  EXPECT_GE(Count(ct, "<svg"), 4u);               // a trend and an overlay a tap
  const std::smatch m = [&] {
    std::smatch found;
    static const std::regex record("href=\"(/record/[0-9a-f]{64})\"");
    std::regex_search(ct, found, record);
    return found;
  }();
  ASSERT_FALSE(m.empty());

  const std::string record = Dom(m[1]);
  EXPECT_NE(record.find("Page 1 of"), std::string::npos);
  EXPECT_NE(record.find("id=\"download\""), std::string::npos);
  EXPECT_GE(Count(record, "<svg"), 2u);

  // The pictures: kept where KOVA_SCREENSHOT_DIR says (for docs/), else
  // only checked to be pictures.
  const char* keep = std::getenv("KOVA_SCREENSHOT_DIR");
  const std::string dir = keep ? keep : folder_;
  struct Shot {
    std::string path, name;
    int height;
  } const shots[] = {{"/", "web-fleet.png", 720}, {ct_path, "web-ct.png", 2000}};
  for (const Shot& shot : shots) {
    const std::string png = dir + "/" + shot.name;
    Dom(shot.path, png, shot.height);
    std::string bytes;
    ASSERT_TRUE(ReadFileText(png, bytes)) << png;
    EXPECT_EQ(bytes.substr(1, 3), "PNG");
    EXPECT_GT(bytes.size(), 20000u) << png;  // more than an empty page
  }

  // A log line a request.
  std::string log;
  ASSERT_TRUE(ReadFileText(err_, log));
  EXPECT_NE(log.find("GET / 200 "), std::string::npos) << log;
  EXPECT_NE(log.find("GET /static/kova.css 200 "), std::string::npos) << log;
  EXPECT_NE(log.find("GET " + ct_path + " 200 "), std::string::npos) << log;
}

}  // namespace
}  // namespace kova
