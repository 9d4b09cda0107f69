#pragma once
// The page list of a report: which page shows which test, in what order.

#include <vector>

#include "records/test_record.h"

namespace kova {

enum PageKind : int {
  kTestPage = 1,
  kErrorTablePage = 2,
  kSummaryPage = 3,
  kBurdenInsulationPage = 4,
  kOverlayPage = 5,
  kOverlayDetailPage = 6,
  kTestPlanPage = 7,
  kPassFailPage = 8,
  kThirdRecordPage = 9,
  kMeteringPage = 10,
  kCalculationDetailsPage = 11,  // the working behind the figures, at the end
  kAssessmentPage = 12,          // what the tests mean, after the summary
};

struct ReportPage {
  int test = 0;  // tap test index; 0 for pages about the whole record
  int kind = 0;  // PageKind
  // 0, or which continuation of the page's text block this page carries
  // (its text did not fit; see ReportDocument::FitPages).
  int part = 0;
  bool operator==(const ReportPage& o) const {
    return test == o.test && kind == o.kind && part == o.part;
  }
};

// What a report may add to the pages every record has; nothing by default,
// so a printed report keeps the instrument's page list. Pages that belong
// after the summary of a record come from here too.
struct ReportExtras {
  // "Calculation details" pages at the end, when the user asks for them.
  int details_pages = 0;
  // The "Assessment" page after the summary: a profile or a reference
  // curve is kept for the record.
  bool assessment_page = false;
};

// The pages of a record, or of the first of `overlaycount` (2 or 3) overlaid
// records (0 for a single record), with the extras asked for. The list
// grows as needed: a record of 20 tests with metering, error tables and
// burden results has 83 pages.
std::vector<ReportPage> BuildPageList(const TestRecord& first, int overlaycount,
                                      const ReportExtras& extras = {});

}  // namespace kova
