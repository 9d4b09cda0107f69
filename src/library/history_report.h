#pragma once
// The CT history report: the CT's identity and taps, its assessment
// verdict, the bands the changes are flagged by, and for each tap the
// history table with each test's state and the baseline, the trend plot and
// the excitation overlay; page numbers and the print date in each footer.
// Drawn on the report's Surface, so printing, the PDF and the desktop use
// the same pages.

#include <string>
#include <vector>

#include "library/history.h"
#include "library/library_assess.h"
#include "library/record_store.h"
#include "report/surface.h"

namespace kova {

struct HistoryReportTap {
  std::string tap;
  std::vector<HistoryEntry> history;  // date order
  // Rows chosen for the overlay (see OverlayChoice); none: the latest six.
  std::vector<size_t> overlay_selected;
};

struct HistoryReport {
  CtInfo ct;
  std::vector<HistoryReportTap> taps;
  TrendBands bands;
  bool assessed = false;  // a profile is kept for the CT and `verdict` holds its verdict
  CtVerdict verdict;
  std::string printed_on;  // "Printed 12/10/26 16:30" (PrintedOnText)
};

// The one CT with `serial` among `found` (those FindCtsBySerial gave), of
// `manufacturer` when one is given (letter case and surrounding spaces
// ignored). False with the words for the user when there is none, or
// several and no manufacturer chose one.
bool ChooseCtBySerial(const std::vector<CtInfo>& found, const std::string& serial,
                      const std::string& manufacturer, CtInfo& out, std::string& why);

// Reads the CT's taps (only `tap` when not empty), their histories and its
// verdict. `why` says what is missing when the outcome is ok but the report
// has nothing to show (no test of that tap).
StoreOutcome GatherHistoryReport(RecordReader& store, const CtInfo& ct, const std::string& tap,
                                 const TrendBands& bands, const RecordFileReader& read,
                                 HistoryReport& out, std::string& why);

// What one page holds: a part of a tap's table (the first page opens with
// the CT's summary), or a tap's plots.
struct HistoryReportPage {
  enum Kind { kTable, kPlots } kind = kTable;
  int tap = 0;
  size_t first_row = 0, rows = 0;
  bool summary = false;
};
// The pages, the same for every page size: rows are laid out in fixed
// fractions of the page's height.
std::vector<HistoryReportPage> HistoryReportPages(const HistoryReport& report);
void DrawHistoryReportPage(Surface& s, const Rect& page, const HistoryReport& report,
                           const std::vector<HistoryReportPage>& pages, int index);

}  // namespace kova
