#pragma once
// The library's pages as HTML: built here from what the store gave, with
// the pictures already drawn as SVG. Every text of a record is escaped;
// links are made under the site's base path. No page needs a script.

#include <string>
#include <vector>

#include "assess/bands.h"
#include "library/fleet.h"
#include "library/history.h"
#include "library/library_assess.h"

namespace kova {

// The stylesheet every page links (served at static/kova.css).
const std::string& SiteStylesheet();

// A whole page: the head (UTF-8, the title, the stylesheet), the site's
// header with its link home, then `body`.
std::string PageHtml(const std::string& base, const std::string& title, const std::string& body);
// A page that says what went wrong (`words` UTF-8, escaped here).
std::string ErrorPageHtml(const std::string& base, int status, const std::string& words);

struct FleetView {
  FleetFilter filter;
  FleetPage page;            // this page's rows, due dates filled
  std::string summary_line;  // Windows-1252 (FleetSummaryText)
  std::string chart_svg;     // the states per station
  std::string today;
};
std::string FleetHtml(const std::string& base, const FleetView& view);

struct TapHistory {
  std::string tap;  // Windows-1252
  std::vector<HistoryEntry> history;
  std::string trend_svg, overlay_svg;
};
struct CtView {
  CtInfo ct;
  FleetFacts facts;
  std::string due_date;
  bool overdue = false;
  TrendBands bands;
  std::vector<TapHistory> taps;
  bool assessed = false;  // a profile is kept: `verdict` holds its outcome
  CtVerdict verdict;
};
std::string CtHtml(const std::string& base, const CtView& view);

struct RecordView {
  std::string content_hash;
  CtInfo ct;
  std::vector<TestRow> tests;  // as the library holds them
  std::string file_name;       // of the record file; empty when none is known
  bool file_readable = false;  // the file is there and still holds this record
  std::string why_unreadable;  // UTF-8, when not readable
  std::vector<std::string> page_svgs;
};
std::string RecordHtml(const std::string& base, const RecordView& view);

// Links.
std::string CtLink(const std::string& base, const std::string& ct_key);
std::string RecordLink(const std::string& base, const std::string& content_hash);

}  // namespace kova
