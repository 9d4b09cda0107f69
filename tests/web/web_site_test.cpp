// The web site over a real library, on SQLite and on PostgreSQL, opened
// read-only: every route's answer, the record texts escaped on every page,
// the same CSV and JSON as the command line, and nothing written.

#include <gtest/gtest.h>
#include <libxml/parser.h>

#include <filesystem>

#include "base/codepage.h"
#include "base/file_io.h"
#include "base/format.h"
#include "library/fleet.h"
#include "library/history_table.h"
#include "library/library_import.h"
#include "library_support/library_records.h"
#include "platform/test_app.h"
#include "store_fixture.h"
#include "support/run_program.h"
#include "web/web_site.h"
#include "web/web_text.h"

namespace kova {
namespace {

// In the stations' names (the record keeps 20 characters): markup,
// quotes and an ampersand in those of CTs 0 and 1, a control byte and a
// letter of Windows-1252 in those of CTs 2 and 3.
const std::string kHostile = "<script>&\"'";
const std::string kHostileBytes = " \x01\xE9";

class WebSiteTest : public StoreTest {
 protected:
  void SetUp() override {
    StoreTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    TestApp();
    LibraryRecordSet set;
    set.cts = 2;
    set.tests_per_ct = 3;
    set.stations = 2;
    set.station_extra = kHostile;
    paths_ = WriteLibraryRecords(folder_ + "/records", set);
    set.first_ct = 2;
    set.station_extra = kHostileBytes;
    for (const std::string& p : WriteLibraryRecords(folder_ + "/records", set)) paths_.push_back(p);
    ASSERT_EQ(paths_.size(), 12u);
    const ImportSummary s = ImportRecordFiles(*store_, paths_, RecordDefaults());
    ASSERT_TRUE(s.store.ok()) << s.store.detail;
    ASSERT_EQ(s.added, 12);
    ASSERT_TRUE(store_
                    ->KeepProfile(CtKey("KOVA SIM", LibrarySerial(1)),
                                  R"({"class":"5P","isr":1,"alf":20,"burden_va":10})")
                    .ok());
    store_.reset();
    StoreOutcome outcome;
    reader_ = OpenLibrary(location_, outcome, LibraryUse::kReadOnly);
    ASSERT_TRUE(reader_) << outcome.detail;
    WebSiteOptions options;
    options.today = [] { return std::string("2026-06-01"); };
    options.bands = reader_->StateBands();
    site_ = std::make_unique<WebSite>(*reader_, options);
  }

  WebResponse Get(const std::string& target, const std::string& method = "GET") {
    return site_->Answer({method, target});
  }
  std::string HashOf(const std::string& path) {
    std::string hash, why;
    EXPECT_TRUE(RecordFileHash(path, hash, why)) << why;
    return hash;
  }

  std::vector<std::string> paths_;
  std::unique_ptr<SqlRecordStore> reader_;
  std::unique_ptr<WebSite> site_;
};

// Every inline picture is well-formed XML.
void ExpectSvgsParse(const std::string& body, const std::string& target) {
  size_t at = 0, count = 0;
  while ((at = body.find("<svg", at)) != std::string::npos) {
    const size_t end = body.find("</svg>", at);
    ASSERT_NE(end, std::string::npos) << target;
    const std::string svg = body.substr(at, end + 6 - at);
    xmlDocPtr doc = xmlReadMemory(svg.data(), static_cast<int>(svg.size()), "page.svg", nullptr,
                                  XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    EXPECT_NE(doc, nullptr) << target << " picture " << count;
    xmlFreeDoc(doc);
    at = end;
    ++count;
  }
}

TEST_P(WebSiteTest, EveryRouteAnswersWithItsStatusAndEscapedTexts) {
  const std::string ct1 = "/ct/" + CtUrlId(CtKey("KOVA SIM", LibrarySerial(1)));
  const std::string record = "/record/" + HashOf(paths_[4]);
  const std::string station = "STATION 1&lt;script&gt;&amp;&quot;&#39;";
  const std::string station3 = "STATION 1 \xEF\xBF\xBD\xC3\xA9";
  struct Case {
    std::string target;
    int status;
    std::string type;  // start of the content type
    std::vector<std::string> holds;
  } cases[] = {
      {"/",
       200,
       "text/html",
       {"4 CTs:", "id=\"station-chart\"", "<svg", station, station3, "SN00003"}},
      {"/?station=" + PercentEncode(Cp1252ToUtf8("STATION 1" + kHostileBytes)) + "&sort=serial",
       200,
       "text/html",
       {"1 to 1 of 1 CTs", "SN00003", "&#9650;"}},
      {"/?station=" + PercentEncode(Cp1252ToUtf8("STATION 1" + kHostile)) + "&sort=serial&desc=1",
       200,
       "text/html",
       {"1 to 1 of 1 CTs", "SN00001", "&#9660;"}},
      {"/?limit=1&offset=2", 200, "text/html", {"3 to 3 of 4 CTs", "rel=\"prev\"", "rel=\"next\""}},
      {"/?offset=100", 200, "text/html", {"0 to 100 of 4 CTs"}},
      {"/?format=csv", 200, "text/csv", {"SN00000"}},
      {"/?format=json", 200, "application/json", {"\"SN00002\""}},
      {"/?limit=0", 400, "text/html", {"limit: &quot;0&quot; is not a number from 1 to 1000"}},
      {"/?state=%ZZ", 400, "text/html", {"not followed by two hex digits"}},
      {"/?nope=1", 400, "text/html", {"no parameter"}},
      {ct1,
       200,
       "text/html",
       {"CT SN00001", station, "Tap ", "class=\"history\"", "<svg", "id=\"verdict\">",
        "href=\"" + record.substr(0, 8)}},
      {ct1 + "?format=csv", 200, "text/csv", {"2010-"}},
      {ct1 + "?format=json", 200, "application/json", {"\"serialnumber\": \"SN00001\""}},
      {ct1 + "?format=pdf", 400, "text/html", {"format"}},
      {ct1 + "?x=1", 400, "text/html", {"no parameter"}},
      {"/ct/" + CtUrlId(CtKey("KOVA SIM", "NOSUCH")), 404, "text/html", {"no such CT"}},
      {"/ct/garbage", 400, "text/html", {"no CT"}},
      {record, 200, "text/html", {"Page 1 of", "<svg", "id=\"download\"", "SN00001-01.test"}},
      {record + "/file", 200, "application/octet-stream", {}},
      {record + "?x=1", 400, "text/html", {}},
      {"/record/" + std::string(64, '0'), 404, "text/html", {"no record"}},
      {"/record/xyz", 400, "text/html", {"64 hex digits"}},
      {"/record/..%2F..%2Fetc%2Fpasswd", 400, "text/html", {}},
      {"/record/../../etc/passwd", 400, "text/html", {}},
      {"/%2e%2e/%2e%2e/etc/passwd", 400, "text/html", {}},
      {"/static/../../../etc/passwd", 400, "text/html", {}},
      {"/static/kova.css", 200, "text/css", {"body{"}},
      {"/static/kova.js", 404, "text/html", {}},
      {"/etc/passwd", 404, "text/html", {}},
      {"//", 404, "text/html", {}},
      {"/%", 400, "text/html", {}},
      {"/a%00b", 400, "text/html", {}},
      {"nopath", 400, "text/html", {}},
  };
  for (const Case& c : cases) {
    const WebResponse r = Get(c.target);
    EXPECT_EQ(r.status, c.status) << c.target << "\n" << r.body.substr(0, 400);
    EXPECT_EQ(r.content_type.rfind(c.type, 0), 0u) << c.target << " " << r.content_type;
    for (const std::string& text : c.holds) {
      EXPECT_NE(r.body.find(text), std::string::npos) << c.target << " lacks " << text;
    }
    // No record text reaches a page as markup (CSV and JSON carry it as
    // it is, typed so that no browser runs it), and no file but the record.
    if (c.type == "text/html") {
      EXPECT_EQ(r.body.find("<script"), std::string::npos) << c.target;
    }
    EXPECT_EQ(r.body.find("root:"), std::string::npos) << c.target;
    EXPECT_EQ(r.Header("Content-Security-Policy"), kContentSecurityPolicy) << c.target;
    EXPECT_EQ(r.Header("X-Content-Type-Options"), "nosniff");
    if (c.type == "text/html") ExpectSvgsParse(r.body, c.target);
  }
  std::string file;
  ASSERT_TRUE(ReadFileText(paths_[4], file));
  EXPECT_TRUE(Get(record + "/file").body == file);
  EXPECT_NE(Get(record + "/file").Header("Content-Disposition").find("SN00001-01.test"),
            std::string::npos);
}

TEST_P(WebSiteTest, OnlyGetAndHeadAreAnswered) {
  for (const char* method : {"POST", "PUT", "DELETE", "PATCH", "OPTIONS", "TRACE", "CONNECT"}) {
    const WebResponse r = Get("/", method);
    EXPECT_EQ(r.status, 405) << method;
    EXPECT_EQ(r.Header("Allow"), "GET, HEAD");
  }
  EXPECT_EQ(Get("/", "HEAD").status, 200);
}

TEST_P(WebSiteTest, CsvAndJsonAreTheCommandLinesForms) {
  const std::string key = CtKey("KOVA SIM", LibrarySerial(2));
  std::vector<std::string> taps;
  ASSERT_TRUE(reader_->CtTaps(key, taps).ok());
  std::vector<HistoryEntry> all;
  for (const std::string& tap : taps) {
    std::vector<TestRow> rows;
    ASSERT_TRUE(reader_->History(key, tap, rows).ok());
    for (const HistoryEntry& e : BuildHistory(rows, reader_->StateBands())) all.push_back(e);
  }
  EXPECT_EQ(Get("/ct/" + CtUrlId(key) + "?format=csv").body, HistoryCsv(all));
  FleetPage page;
  FleetFilter f;
  f.limit = 2;
  ASSERT_TRUE(reader_->Fleet(MakeFleetQuery(f, "2026-06-01", 5), page).ok());
  FillDue(page, "2026-06-01", 5);
  EXPECT_EQ(Get("/?limit=2&format=csv").body, FleetCsv(page));
  EXPECT_EQ(Get("/?limit=2&format=json").body, FleetJson(page).Dump(2) + "\n");
}

TEST_P(WebSiteTest, TheLibraryIsOpenedReadOnlyAndBrowsingWritesNothing) {
  const std::string ct1 = "/ct/" + CtUrlId(CtKey("KOVA SIM", LibrarySerial(1)));
  std::string before;
  if (GetParam() == Backend::kSqlite) {
    ASSERT_TRUE(ReadFileText(location_, before));
  }
  for (const std::string& t : {std::string("/"), ct1, "/record/" + HashOf(paths_[0])}) {
    ASSERT_EQ(Get(t).status, 200) << t;
  }
  // The store refuses every change, whatever the user's rights.
  EXPECT_FALSE(reader_->SetTrendBands(TrendBands{9, 10, 11, 12, 13, 14}).ok());
  EXPECT_FALSE(reader_->KeepReference("KOVA SIM\x1fSN00000", "x").ok());
  bool found = false;
  EXPECT_FALSE(reader_->SetBaseline(HashOf(paths_[0]), found).ok());
  if (GetParam() == Backend::kSqlite) {
    std::string after;
    ASSERT_TRUE(ReadFileText(location_, after));
    EXPECT_TRUE(before == after);
  }
  // A missing library is not made.
  StoreOutcome outcome;
  EXPECT_FALSE(OpenLibrary(folder_ + "/none.sqlite", outcome, LibraryUse::kReadOnly));
  EXPECT_EQ(outcome.status, StoreStatus::kMissing);
  EXPECT_FALSE(std::filesystem::exists(folder_ + "/none.sqlite"));
}

TEST_P(WebSiteTest, UnderABasePathEveryLinkStaysUnderIt) {
  WebSiteOptions options;
  options.base_path = "/kova";
  WebSite site(*reader_, options);
  EXPECT_EQ(site.Answer({"GET", "/"}).status, 404);
  const WebResponse moved = site.Answer({"GET", "/kova"});
  EXPECT_EQ(moved.status, 301);
  EXPECT_EQ(moved.Header("Location"), "/kova/");
  const WebResponse fleet = site.Answer({"GET", "/kova/"});
  ASSERT_EQ(fleet.status, 200);
  for (const char* attr : {"href=\"", "action=\""}) {
    for (size_t at = fleet.body.find(attr); at != std::string::npos;
         at = fleet.body.find(attr, at + 1)) {
      EXPECT_EQ(fleet.body.compare(at + std::string(attr).size(), 6, "/kova/"), 0)
          << fleet.body.substr(at, 60);
    }
  }
  EXPECT_EQ(site.Answer({"GET", "/kova/static/kova.css"}).status, 200);
}

TEST_P(WebSiteTest, ServeCheckOpensTheLibraryAndAnswersOnePage) {
  const std::vector<std::string> env = {"KOVA_SETTINGS=" + folder_ + "/settings.ini"};
  const ProgramResult ok =
      RunProgram(BuiltProgram("kova"), {"serve", "--check", "--library", location_}, env);
  EXPECT_EQ(ok.exit_code, 0) << ok.err;
  EXPECT_NE(ok.out.find("opens read-only and its fleet page answers"), std::string::npos);
  struct Case {
    std::vector<std::string> args;
    std::string says;
  } const refused[] = {
      {{"--library", folder_ + "/none.sqlite"}, "No library at"},
      {{"--library", location_, "--listen", "127.0.0.1"}, "--listen: "},
      {{"--library", location_, "--base-path", "/kova/"}, "--base-path: "},
  };
  for (const Case& c : refused) {
    std::vector<std::string> args = {"serve", "--check"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const ProgramResult r = RunProgram(BuiltProgram("kova"), args, env);
    EXPECT_NE(r.exit_code, 0) << c.says;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
  }
  EXPECT_FALSE(std::filesystem::exists(folder_ + "/none.sqlite"));
}

INSTANTIATE_TEST_SUITE_P(Backends, WebSiteTest,
                         testing::Values(Backend::kSqlite, Backend::kPostgres), BackendName);

}  // namespace
}  // namespace kova
