#include "web/web_site.h"

#include <ctime>

#include "analysis/read_record.h"
#include "base/codepage.h"
#include "base/file_io.h"
#include "base/format.h"
#include "base/path.h"
#include "library/content_hash.h"
#include "library/ct_json.h"
#include "library/fleet_chart.h"
#include "library/fleet_tally.h"
#include "library/history_table.h"
#include "library/library_assess.h"
#include "library/library_plots.h"
#include "library/shown_date.h"
#include "library/store_messages.h"
#include "platform/report_printing.h"
#include "platform/svg_surface.h"
#include "report/display_test.h"
#include "report/report_document.h"
#include "web/fleet_request.h"
#include "web/read_only_references.h"
#include "web/web_pages.h"
#include "web/web_text.h"

namespace kova {

const char* const kContentSecurityPolicy =
    "default-src 'none'; style-src 'self'; img-src 'self' data:; form-action 'self'; "
    "base-uri 'none'; frame-ancestors 'none'";

namespace {

constexpr const char* kHtml = "text/html; charset=utf-8";
constexpr size_t kMaxRecordBytes = 16u * 1024 * 1024;
constexpr int kTrendWidth = 900, kTrendHeight = 640, kOverlaySide = 600, kChartWidth = 900,
              kChartRow = 26;

std::vector<std::string> Split(const std::string& path) {
  std::vector<std::string> out;
  size_t start = 1;  // after the leading '/'
  while (start <= path.size()) {
    size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    out.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return out;
}

WebResponse Text(int status, const char* type, std::string body) {
  WebResponse r;
  r.status = status;
  r.content_type = type;
  r.body = std::move(body);
  return r;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  return s;
}

}  // namespace

std::string WebResponse::Header(const std::string& name) const {
  for (const auto& [n, v] : headers)
    if (Lower(n) == Lower(name)) return v;
  return {};
}

bool IsBasePath(const std::string& path) {
  if (path.empty()) return true;
  if (path[0] != '/' || path.back() == '/' || path.size() > 100) return false;
  for (const std::string& segment : Split(path)) {
    if (segment.empty() || segment == "." || segment == "..") return false;
    for (char c : segment)
      if (PercentEncode(std::string(1, c)).size() != 1) return false;
  }
  return true;
}

WebSite::WebSite(RecordReader& store, WebSiteOptions options)
    : store_(store), options_(std::move(options)) {}

std::string WebSite::Today() const {
  if (options_.today) return options_.today();
  return TodayIso();
}

WebResponse WebSite::Error(int status, const std::string& words) const {
  return Text(status, kHtml, ErrorPageHtml(options_.base_path, status, words));
}

WebResponse WebSite::Answer(const WebRequest& request) {
  WebResponse r;
  try {
    std::lock_guard<std::mutex> lock(mutex_);
    r = Route(request.method, request.target);
  } catch (const std::exception& e) {
    r = Error(500, std::string("The page could not be made: ") + e.what());
  }
  r.headers.emplace_back("Content-Security-Policy", kContentSecurityPolicy);
  r.headers.emplace_back("X-Content-Type-Options", "nosniff");
  r.headers.emplace_back("Referrer-Policy", "no-referrer");
  r.headers.emplace_back("X-Frame-Options", "DENY");
  if (r.Header("Cache-Control").empty()) r.headers.emplace_back("Cache-Control", "no-cache");
  return r;
}

WebResponse WebSite::Route(const std::string& method, const std::string& target) {
  if (method != "GET" && method != "HEAD") {
    WebResponse r = Error(405, "The library's pages can only be read (GET or HEAD)");
    r.headers.emplace_back("Allow", "GET, HEAD");
    return r;
  }
  if (target.empty() || target[0] != '/') return Error(400, "The request names no page");
  const size_t q = target.find('?');
  std::string path = target.substr(0, q);
  const std::string query = q == std::string::npos ? std::string() : target.substr(q + 1);
  if (path.find('#') != std::string::npos) return Error(400, "The request names no page");
  const std::string& base = options_.base_path;
  if (!base.empty()) {
    if (path == base) {
      WebResponse r = Text(301, kHtml, "");
      r.headers.emplace_back("location", base + "/");
      return r;
    }
    if (path.compare(0, base.size() + 1, base + "/") != 0) return Error(404, "No such page");
    path = path.substr(base.size());
  }
  std::vector<std::string> segments;
  for (const std::string& raw : Split(path)) {
    std::string s;
    if (!PercentDecode(raw, false, s)) return Error(400, "The path holds a bad % encoding");
    // The site has no files of its own to walk to: a dot segment is never a page.
    if (s == "." || s == ".." || s.find('\0') != std::string::npos)
      return Error(400, "The path holds a segment that names no page");
    segments.push_back(s);
  }
  const size_t n = segments.size();
  if (n == 1 && segments[0].empty()) return Fleet(query);
  if (n == 2 && segments[0] == "static" && segments[1] == "kova.css") {
    WebResponse r = Text(200, "text/css; charset=utf-8", SiteStylesheet());
    r.headers.emplace_back("Cache-Control", "max-age=3600");
    return r;
  }
  if (n == 2 && segments[0] == "ct") {
    std::string raw_id = Split(path)[1];
    return Ct(raw_id, query);
  }
  if ((n == 2 || (n == 3 && segments[2] == "file")) && segments[0] == "record") {
    if (!query.empty()) return Error(400, "A record's page takes no query");
    return Record(segments[1], n == 3);
  }
  return Error(404, "No such page");
}

WebResponse WebSite::Fleet(const std::string& query) {
  QueryParams params;
  std::string why;
  FleetRequest request;
  if (!ParseQuery(query, params, why) || !ParseFleetRequest(params, request, why))
    return Error(400, why);
  const std::string today = Today();
  FleetPage page;
  StoreOutcome outcome =
      store_.Fleet(MakeFleetQuery(request.filter, today, options_.retest_years), page);
  if (!outcome.ok()) return Error(503, Cp1252ToUtf8(StoreOutcomeText(outcome)));
  FillDue(page, today, options_.retest_years);
  if (request.format == WebFormat::kCsv)
    return Text(200, "text/csv; charset=utf-8", FleetCsv(page));
  if (request.format == WebFormat::kJson)
    return Text(200, "application/json", FleetJson(page).Dump(2) + "\n");
  FleetView view;
  view.filter = request.filter;
  view.page = std::move(page);
  view.today = today;
  // The summary and the chart are of the whole fleet, whatever the filter.
  const auto now = std::chrono::steady_clock::now();
  if (!summary_.made || summary_.today != today ||
      now - summary_.when >= std::chrono::seconds(options_.summary_seconds)) {
    // One grouped query: the states per station and the due counts.
    std::vector<StationTally> tallies;
    outcome = store_.FleetTally(MakeFleetQuery(FleetFilter(), today, options_.retest_years),
                                FleetTallyBounds(today, options_.retest_years), tallies);
    if (!outcome.ok()) return Error(503, Cp1252ToUtf8(StoreOutcomeText(outcome)));
    summary_.line = FleetSummaryText(SumTallies(tallies));
    summary_.chart_svg =
        DrawInlineSvg(kChartWidth, FleetChartHeight(tallies, kChartRow) + kChartRow / 2,
                      [&](Surface& s, const Rect& r) {
                        DrawFleetChart(s, r.Inset(kChartRow / 4), tallies, kChartRow);
                      });
    summary_.today = today;
    summary_.when = now;
    summary_.made = true;
  }
  view.summary_line = summary_.line;
  view.chart_svg = summary_.chart_svg;
  return Text(200, kHtml, FleetHtml(options_.base_path, view));
}

WebResponse WebSite::Ct(const std::string& id, const std::string& query) {
  QueryParams params;
  std::string why;
  if (!ParseQuery(query, params, why)) return Error(400, why);
  WebFormat format = WebFormat::kHtml;
  for (const auto& [name, value] : params) {
    if (name != "format") return Error(400, "A CT's page has no parameter \"" + name + "\"");
    if (!ParseWebFormat(value, format))
      return Error(400, "format: \"" + value + "\" is not html, csv or json");
  }
  std::string key;
  if (!CtKeyFromUrlId(id, key)) return Error(400, "The CT's part of the address is no CT");
  std::vector<CtInfo> cts;
  StoreOutcome outcome = store_.FindCtsBySerial(key.substr(key.find('\x1f') + 1), cts);
  if (!outcome.ok()) return Error(503, Cp1252ToUtf8(StoreOutcomeText(outcome)));
  const CtInfo* ct = nullptr;
  for (const CtInfo& c : cts)
    if (c.key == key) ct = &c;
  if (!ct) return Error(404, "The library has no such CT");
  CtView view;
  view.ct = *ct;
  view.bands = options_.bands;
  std::vector<std::string> taps;
  outcome = store_.CtTaps(key, taps);
  if (!outcome.ok()) return Error(503, Cp1252ToUtf8(StoreOutcomeText(outcome)));
  std::vector<HistoryEntry> all;
  std::vector<TestRow> every_test;
  for (const std::string& tap : taps) {
    std::vector<TestRow> rows;
    outcome = store_.History(key, tap, rows);
    if (!outcome.ok()) return Error(503, Cp1252ToUtf8(StoreOutcomeText(outcome)));
    every_test.insert(every_test.end(), rows.begin(), rows.end());
    TapHistory t;
    t.tap = tap;
    t.history = BuildHistory(rows, options_.bands);
    all.insert(all.end(), t.history.begin(), t.history.end());
    view.taps.push_back(std::move(t));
  }
  if (format == WebFormat::kCsv) return Text(200, "text/csv; charset=utf-8", HistoryCsv(all));
  if (format == WebFormat::kJson) {
    JsonValue out = CtJson(view.ct);
    out.Set("tests", HistoryJson(all));
    return Text(200, "application/json", out.Dump(2) + "\n");
  }
  std::string profile;
  bool has_profile = false;
  outcome = store_.FindProfile(key, profile, has_profile);
  if (!outcome.ok()) return Error(503, Cp1252ToUtf8(StoreOutcomeText(outcome)));
  view.facts = CtFleetFacts(every_test, ct->records, has_profile ? profile : "", options_.bands);
  view.due_date = DueDate(view.facts.last_test_date, options_.retest_years);
  view.overdue = !view.due_date.empty() && view.due_date < Today();
  if (has_profile && !every_test.empty()) {
    // The latest record, as the fleet's verdict takes it.
    const TestRow* latest = &every_test[0];
    for (const TestRow& t : every_test)
      if (t.test_date > latest->test_date) latest = &t;
    ProfiledCt p;
    p.ct = view.ct;
    p.profile = profile;
    p.content_hash = latest->content_hash;
    p.test_date = latest->test_date;
    p.path = latest->path;
    std::vector<CtTestRow> rows;
    outcome = store_.RecordTests(latest->content_hash, rows);
    if (!outcome.ok()) return Error(503, Cp1252ToUtf8(StoreOutcomeText(outcome)));
    for (const CtTestRow& r : rows) p.tests.push_back(r.test);
    view.verdict = AssessProfiledCt(p, [](const std::string& path, TestRecord& rec) {
      return ReadRecordFile(rec, path, RecordDefaults());
    });
    view.assessed = true;
  }
  for (TapHistory& t : view.taps) {
    t.trend_svg = DrawInlineSvg(kTrendWidth, kTrendHeight, [&](Surface& s, const Rect& r) {
      DrawTrendPlot(s, r, t.history, options_.bands);
    });
    std::vector<TestRow> shown;
    for (size_t i : OverlayChoice(t.history.size(), {})) shown.push_back(t.history[i].test);
    t.overlay_svg = DrawInlineSvg(kOverlaySide, kOverlaySide, [&](Surface& s, const Rect& r) {
      DrawCurveOverlay(s, r, shown);
    });
  }
  return Text(200, kHtml, CtHtml(options_.base_path, view));
}

WebResponse WebSite::Record(const std::string& hash, bool file) {
  if (!IsContentHash(hash)) return Error(400, "A record is named by its content: 64 hex digits");
  std::vector<CtTestRow> rows;
  const StoreOutcome outcome = store_.RecordTests(hash, rows);
  if (!outcome.ok()) return Error(503, Cp1252ToUtf8(StoreOutcomeText(outcome)));
  if (rows.empty()) return Error(404, "The library has no record with this content");
  RecordView view;
  view.content_hash = hash;
  view.ct = rows[0].ct;
  for (const CtTestRow& r : rows) view.tests.push_back(r.test);
  // The file the library last saw it in; only the library names a path.
  const std::string path = rows[0].test.path;
  view.file_name = SystemNameToUtf8(FileNameOf(path));
  std::string bytes;
  if (path.empty()) {
    view.why_unreadable = "The library knows no file of this record";
  } else if (!ReadFileText(path, bytes, kMaxRecordBytes)) {
    view.why_unreadable = "This computer cannot read the record file";
  } else if (Sha256Hex(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()) != hash) {
    view.why_unreadable = "The record file has changed since it was filed";
  } else {
    view.file_readable = true;
  }
  if (file) {
    if (!view.file_readable) return Error(404, view.why_unreadable);
    WebResponse r = Text(200, "application/octet-stream", std::move(bytes));
    std::string name;
    for (char c : FileNameOf(path))
      name += (c == '"' || c == '\\' || static_cast<unsigned char>(c) < 0x20 ||
               static_cast<unsigned char>(c) >= 0x7F)
                  ? '_'
                  : c;
    r.headers.emplace_back("Content-Disposition", "attachment; filename=\"" + name + "\"");
    return r;
  }
  if (view.file_readable) {
    TestRecord rec;
    if (!ReadRecordFileBytes(rec, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(),
                             path, RecordDefaults())) {
      view.file_readable = false;
      view.why_unreadable = "The record file cannot be read as a record";
    } else {
      ReportDocument doc;
      doc.SetReferenceKeeper(std::make_shared<ReadOnlyReferences>(store_));
      doc.SetRecords({rec});
      const int w = options_.page_width, h = options_.page_height;
      FitScreenPages(doc, w, h);
      for (int i = 0; i < doc.pagecount(); ++i)
        view.page_svgs.push_back(DrawInlineSvg(w, h, [&](Surface& s, const Rect& r) {
          CDisplayTest page;
          page.Setup(&s, doc.Record(0), false, &doc);
          page.DrawPage(r, i);
        }));
    }
  }
  return Text(200, kHtml, RecordHtml(options_.base_path, view));
}

}  // namespace kova
