#pragma once
// The record library's web site, read-only: a request target in, a page,
// a picture, a CSV or JSON text or a record file out. Everything the store
// is asked goes through its reader; the HTTP server around it only carries
// bytes.
//
//   /                     the fleet (query: FleetRequest; format=csv|json)
//   /ct/<id>              a CT: history, trend, overlay, verdict (format=csv|json)
//   /record/<hash>        a record's report pages
//   /record/<hash>/file   the record file, when it still holds that record
//   /static/kova.css      the stylesheet

#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "assess/bands.h"
#include "library/fleet_tally.h"
#include "library/record_store.h"

namespace kova {

struct WebRequest {
  std::string method;  // "GET", "HEAD", ...
  std::string target;  // as the request line gave it: "/ct/X%1FY?format=csv"
};

struct WebResponse {
  int status = 200;
  std::string content_type;
  std::string body;
  std::vector<std::pair<std::string, std::string>> headers;
  std::string Header(const std::string& name) const;
};

// The headers every answer carries: no script at all, nothing from
// elsewhere, not framed, not sniffed.
extern const char* const kContentSecurityPolicy;

struct WebSiteOptions {
  std::string base_path;  // "" or "/kova": where a reverse proxy puts the site
  int retest_years = 5;
  TrendBands bands;                          // the bands the library's states were worked out with
  std::function<std::string()> today;        // "YYYY-MM-DD"; the computer's date when null
  int page_width = 1100, page_height = 825;  // a record's report pages, pixels
  // The fleet's summary and chart (of every CT) are made again after this
  // long: a page of a big fleet need not read every CT.
  int summary_seconds = 30;
};

// "" and "/kova" are base paths; "/kova/", "kova", "/a b" and "/.." are not.
bool IsBasePath(const std::string& path);

class WebSite {
 public:
  WebSite(RecordReader& store, WebSiteOptions options);
  // Answers one request; never throws. One request at a time reaches the
  // store (its connection is not shared between threads).
  WebResponse Answer(const WebRequest& request);

 private:
  WebResponse Route(const std::string& method, const std::string& target);
  WebResponse Fleet(const std::string& query);
  WebResponse Ct(const std::string& id, const std::string& query);
  WebResponse Record(const std::string& hash, bool file);
  WebResponse Error(int status, const std::string& words) const;
  std::string Today() const;

  RecordReader& store_;
  WebSiteOptions options_;
  std::mutex mutex_;
  struct Summary {
    bool made = false;
    std::string today;
    std::chrono::steady_clock::time_point when;
    std::string line;  // FleetSummaryText of the tally
    std::string chart_svg;
  } summary_;
};

}  // namespace kova
