#include "web/web_pages.h"

#include <cmath>

#include "base/codepage.h"
#include "base/format.h"
#include "base/path.h"
#include "library/history_table.h"
#include "library/library_plots.h"
#include "web/fleet_request.h"
#include "web/web_text.h"

namespace kova {

namespace {

std::string Esc(const std::string& utf8) { return HtmlEscape(utf8); }
std::string Txt(const std::string& cp1252) { return HtmlText(cp1252); }

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  return s;
}

const char* StateClass(FleetState state) {
  switch (state) {
    case FleetState::kOk:
      return "ok";
    case FleetState::kWarn:
      return "warn";
    case FleetState::kAlarm:
      return "alarm";
    case FleetState::kFail:
      return "fail";
    case FleetState::kNone:
      break;
  }
  return "none";
}

const char* FlagClass(ChangeFlag flag) {
  switch (flag) {
    case ChangeFlag::kOk:
      return "ok";
    case ChangeFlag::kWarn:
      return "warn";
    case ChangeFlag::kAlarm:
      return "alarm";
    case ChangeFlag::kNone:
      break;
  }
  return "none";
}

std::string FleetHref(const std::string& base, const FleetFilter& f, int offset) {
  const std::string q = FleetQueryText(f, offset);
  return Esc(base + "/" + (q.empty() ? "" : "?" + q));
}

std::string Field(const char* label, const std::string& name, const std::string& value_utf8) {
  return std::string("<label>") + label + " <input type=\"text\" name=\"" + name + "\" value=\"" +
         Esc(value_utf8) + "\" maxlength=\"200\"></label>\n";
}

// The filter form: a plain GET form, so it works without a script.
std::string FilterForm(const std::string& base, const FleetFilter& f) {
  std::string h = "<form class=\"filters\" method=\"get\" action=\"" + Esc(base + "/") + "\">\n";
  h += Field("Search", "search", Cp1252ToUtf8(f.text));
  h += Field("Station", "station", Cp1252ToUtf8(f.station));
  h += Field("Circuit", "circuit", Cp1252ToUtf8(f.circuit));
  h += "<label>State at least <select name=\"state\">";
  for (int i = 0; i <= static_cast<int>(FleetState::kFail); ++i) {
    const auto st = static_cast<FleetState>(i);
    const std::string value = i == 0 ? "" : Lower(FleetStateText(st));
    h += "<option value=\"" + value + "\"" + (st == f.min_state ? " selected" : "") + ">" +
         (i == 0 ? "any" : FleetStateText(st)) + "</option>";
  }
  h += "</select></label>\n";
  h += std::string("<label><input type=\"checkbox\" name=\"overdue\" value=\"1\"") +
       (f.overdue ? " checked" : "") + "> Overdue</label>\n";
  h += "<label>Due within <input type=\"number\" name=\"due-within\" min=\"0\" max=\"" +
       std::to_string(kMaxDueWithinDays) + "\" value=\"" +
       (f.due_within_days >= 0 ? std::to_string(f.due_within_days) : std::string()) +
       "\"> days</label>\n";
  if (f.sort != FleetFilter().sort)
    h += std::string("<input type=\"hidden\" name=\"sort\" value=\"") + FleetColumnName(f.sort) +
         "\">";
  if (f.descending) h += "<input type=\"hidden\" name=\"desc\" value=\"1\">";
  h += "<button type=\"submit\">Show</button>\n</form>\n";
  return h;
}

std::string Number(double v, int decimals) {
  return std::isnan(v) ? std::string() : Format("%.*f", decimals, v);
}

}  // namespace

const std::string& SiteStylesheet() {
  static const std::string css =
      R"(body{font-family:"Liberation Sans",Arial,sans-serif;margin:0;color:#111;background:#fff}
header{background:#1d3557;color:#fff;padding:.5em 1em}header a{color:#fff;text-decoration:none;font-weight:bold}
main{padding:1em}table{border-collapse:collapse;margin:.5em 0}th,td{border:1px solid #ccc;padding:.2em .5em;text-align:left}
th{background:#eef}th a{color:inherit}td.num{text-align:right}.ok{background:#d9f2e0}.warn{background:#fde9c8}
.alarm{background:#f9d0d0}.fail{background:#ecd0ec}.summary{font-size:1.1em;font-weight:bold}
.filters label{margin-right:1em}.paging a{margin-right:1em}.pictures svg{max-width:100%;height:auto;border:1px solid #ccc;margin:.5em 0}
.page svg{max-width:100%;height:auto;border:1px solid #999;margin:.5em 0;display:block}.error{color:#a00}
.verdict{font-weight:bold}dl.identity{display:grid;grid-template-columns:max-content auto;gap:.2em 1em}dl.identity dt{font-weight:bold}
)";
  return css;
}

std::string PageHtml(const std::string& base, const std::string& title, const std::string& body) {
  return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
         "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>" +
         Esc(title) + " - KOVA record library</title>\n<link rel=\"stylesheet\" href=\"" +
         Esc(base + "/static/kova.css") + "\">\n</head>\n<body>\n<header><a href=\"" +
         Esc(base + "/") + "\">KOVA record library</a></header>\n<main>\n" + body +
         "</main>\n</body>\n</html>\n";
}

std::string ErrorPageHtml(const std::string& base, int status, const std::string& words) {
  return PageHtml(
      base, "Error " + std::to_string(status),
      "<h1>Error " + std::to_string(status) + "</h1>\n<p class=\"error\">" + Esc(words) + "</p>\n");
}

std::string CtLink(const std::string& base, const std::string& ct_key) {
  return base + "/ct/" + CtUrlId(ct_key);
}

std::string RecordLink(const std::string& base, const std::string& content_hash) {
  return base + "/record/" + content_hash;
}

std::string FleetHtml(const std::string& base, const FleetView& v) {
  const FleetFilter& f = v.filter;
  std::string h = "<h1>Fleet</h1>\n<p class=\"summary\" id=\"summary\">" +
                  Esc(Cp1252ToUtf8(v.summary_line)) + "</p>\n";
  h += "<div class=\"pictures\" id=\"station-chart\">\n" + v.chart_svg + "\n</div>\n";
  h += FilterForm(base, f);
  const int64_t first = v.page.rows.empty() ? 0 : f.offset + 1;
  const int64_t last = f.offset + static_cast<int64_t>(v.page.rows.size());
  h += "<p id=\"count\">" + std::to_string(first) + " to " + std::to_string(last) + " of " +
       std::to_string(v.page.total) + " CTs</p>\n";
  h += "<table id=\"fleet\">\n<thead><tr>";
  for (FleetColumn c : FleetColumns()) {
    FleetFilter sorted = f;
    sorted.sort = c;
    sorted.descending = c == f.sort && !f.descending;
    const char* mark = c != f.sort ? "" : f.descending ? " &#9660;" : " &#9650;";
    h += std::string("<th><a href=\"") + FleetHref(base, sorted, 0) + "\">" + FleetColumnTitle(c) +
         "</a>" + mark + "</th>";
  }
  h += "</tr></thead>\n<tbody>\n";
  for (const FleetRow& r : v.page.rows) {
    const std::vector<std::string> cells = FleetCells(r);
    h += std::string("<tr class=\"ct ") + StateClass(r.facts.state) + "\">";
    for (size_t i = 0; i < cells.size() && i < FleetColumns().size(); ++i) {
      const FleetColumn c = FleetColumns()[i];
      const bool num = c == FleetColumn::kRecords || c == FleetColumn::kTaps;
      h += num ? "<td class=\"num\">" : "<td>";
      if (c == FleetColumn::kSerial)
        h += "<a href=\"" + Esc(CtLink(base, r.ct.key)) + "\">" + Txt(cells[i]) + "</a>";
      else
        h += Txt(cells[i]);
      h += "</td>";
    }
    h += "</tr>\n";
  }
  h += "</tbody>\n</table>\n<p class=\"paging\">";
  if (f.offset > 0)
    h += "<a rel=\"prev\" href=\"" + FleetHref(base, f, std::max(0, f.offset - f.limit)) +
         "\">Previous " + std::to_string(f.limit) + "</a>";
  if (last < v.page.total)
    h += "<a rel=\"next\" href=\"" + FleetHref(base, f, static_cast<int>(last)) + "\">Next " +
         std::to_string(f.limit) + "</a>";
  const std::string q = FleetQueryText(f, f.offset);
  const std::string sep = q.empty() ? "?" : "?" + q + "&";
  h += "<a href=\"" + Esc(base + "/" + sep + "format=csv") + "\">CSV</a>";
  h += "<a href=\"" + Esc(base + "/" + sep + "format=json") + "\">JSON</a>";
  h += "</p>\n";
  return PageHtml(base, "Fleet", h);
}

std::string CtHtml(const std::string& base, const CtView& v) {
  const CtInfo& ct = v.ct;
  std::string h = "<h1>CT " + Txt(ct.serialnumber) + "</h1>\n<dl class=\"identity\">\n";
  auto item = [&h](const char* label, const std::string& html) {
    h += std::string("<dt>") + label + "</dt><dd>" + html + "</dd>\n";
  };
  item("Manufacturer", Txt(ct.manufacturer));
  item("Serial number", Txt(ct.serialnumber));
  item("Station", Txt(ct.station));
  item("Circuit", Txt(ct.circuit));
  item("Model", Txt(ct.model));
  item("Records", std::to_string(v.facts.records));
  std::string taps;
  for (const TapHistory& t : v.taps) taps += (taps.empty() ? "" : ", ") + Txt(t.tap);
  item("Taps", taps);
  item("First test", Esc(v.facts.first_test_date.substr(0, 10)));
  item("Last test", Esc(v.facts.last_test_date.substr(0, 10)));
  item("State",
       std::string("<span class=\"") + StateClass(v.facts.state) + "\" id=\"state\">" +
           Esc(v.facts.state == FleetState::kNone ? "none" : FleetStateText(v.facts.state)) +
           "</span>");
  item("Due", Esc(v.due_date) + (v.overdue ? " (overdue)" : ""));
  h += "</dl>\n<h2>Assessment</h2>\n";
  if (v.assessed) {
    h += std::string("<p class=\"verdict\" id=\"verdict\">") + VerdictCell(v.verdict.verdict) +
         "</p>\n";
    if (!v.verdict.test.empty()) h += "<p>" + Txt(v.verdict.test) + "</p>\n";
    if (!v.verdict.rating.empty()) h += "<p>" + Txt(v.verdict.rating) + "</p>\n";
    if (!v.verdict.why.empty()) h += "<p>" + Txt(v.verdict.why) + "</p>\n";
  } else {
    h += "<p id=\"verdict\">No assessment profile is kept for this CT.</p>\n";
  }
  const TrendBands& b = v.bands;
  h += "<h2>Bands</h2>\n<table id=\"bands\"><thead><tr><th>Value</th><th>WARN from</th>"
       "<th>ALARM from</th></tr></thead><tbody>\n";
  h += "<tr><td>Ratio</td><td>" + Number(b.ratio_turns, 2) + " turns</td><td>" +
       Number(b.ratio_alarm_turns, 2) + " turns</td></tr>\n";
  h += "<tr><td>Excitation</td><td>" + Number(b.excitation_warn_percent, 1) + " %</td><td>" +
       Number(b.excitation_alarm_percent, 1) + " %</td></tr>\n";
  h += "<tr><td>Rct75</td><td>" + Number(b.resistance_warn_percent, 1) + " %</td><td>" +
       Number(b.resistance_alarm_percent, 1) + " %</td></tr>\n</tbody></table>\n";
  const std::string self = CtLink(base, ct.key);
  h += "<p class=\"paging\"><a href=\"" + Esc(self + "?format=csv") +
       "\">History as CSV</a><a href=\"" + Esc(self + "?format=json") +
       "\">History as JSON</a></p>\n";
  // The last column is the record file's path on the computer that filed
  // it: the page names the file and links the record instead.
  const std::vector<std::string>& columns = HistoryColumns();
  for (const TapHistory& t : v.taps) {
    h += "<section class=\"tap\">\n<h2>Tap " + Txt(t.tap) +
         "</h2>\n<table class=\"history\">\n<thead><tr>";
    for (size_t i = 0; i + 1 < columns.size(); ++i) h += "<th>" + Txt(columns[i]) + "</th>";
    h += "<th>Record</th></tr></thead>\n<tbody>\n";
    for (const HistoryEntry& e : t.history) {
      h += std::string("<tr class=\"test ") + FlagClass(EntryState(e)) + "\">";
      const std::vector<HistoryCell> cells = HistoryCells(e);
      for (size_t i = 0; i + 1 < cells.size(); ++i)
        h += std::string("<td class=\"") + FlagClass(cells[i].flag) + "\">" + Txt(cells[i].text) +
             "</td>";
      const std::string name = FileNameOf(e.test.path);
      h += "<td><a href=\"" + Esc(RecordLink(base, e.test.content_hash)) + "\">" +
           (name.empty() ? std::string("record") : Esc(SystemNameToUtf8(name))) + "</a></td>";
      h += "</tr>\n";
    }
    h += "</tbody>\n</table>\n<div class=\"pictures\">\n" + t.trend_svg + "\n" + t.overlay_svg +
         "\n</div>\n</section>\n";
  }
  return PageHtml(base, "CT " + Cp1252ToUtf8(ct.serialnumber), h);
}

std::string RecordHtml(const std::string& base, const RecordView& v) {
  const CtInfo& ct = v.ct;
  std::string h = "<h1>Record of CT <a href=\"" + Esc(CtLink(base, ct.key)) + "\">" +
                  Txt(ct.serialnumber) + "</a></h1>\n<dl class=\"identity\">\n";
  auto item = [&h](const char* label, const std::string& html) {
    h += std::string("<dt>") + label + "</dt><dd>" + html + "</dd>\n";
  };
  item("Manufacturer", Txt(ct.manufacturer));
  item("Station", Txt(ct.station));
  item("Circuit", Txt(ct.circuit));
  item("Tested", Esc(v.tests.empty() ? std::string() : v.tests[0].test_date));
  std::string taps;
  for (const TestRow& t : v.tests) taps += (taps.empty() ? "" : ", ") + Txt(t.tap);
  item("Taps", taps);
  item("Content", "<code>" + Esc(v.content_hash) + "</code>");
  if (v.file_readable)
    item("File", "<a id=\"download\" href=\"" + Esc(RecordLink(base, v.content_hash) + "/file") +
                     "\" download>" + Esc(v.file_name) + "</a>");
  else
    item("File", Esc(v.file_name) + " <span class=\"error\">" + Esc(v.why_unreadable) + "</span>");
  h += "</dl>\n";
  for (size_t i = 0; i < v.page_svgs.size(); ++i)
    h += "<section class=\"page\" id=\"page-" + std::to_string(i + 1) + "\">\n<h2>Page " +
         std::to_string(i + 1) + " of " + std::to_string(v.page_svgs.size()) + "</h2>\n" +
         v.page_svgs[i] + "\n</section>\n";
  return PageHtml(base, "Record of CT " + Cp1252ToUtf8(ct.serialnumber), h);
}

}  // namespace kova
