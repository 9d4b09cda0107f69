#include "report/report_page.h"

namespace kova {

std::vector<ReportPage> BuildPageList(const TestRecord& first, int overlaycount,
                                      const ReportExtras& extras) {
  std::vector<ReportPage> pages;
  const bool overlaid = overlaycount != 0;
  const bool metering = first.classsettings.ctusage == 2;
  for (int t = 0; t < first.UsableTests(); ++t) {
    const TapTest& tap = first.taps[t];
    if (overlaid) {
      pages.push_back({t, kOverlayPage});
      pages.push_back({t, kOverlayDetailPage});
      if (overlaycount == 3) pages.push_back({t, kThirdRecordPage});
      continue;
    }
    pages.push_back({t, kTestPage});
    if (metering) pages.push_back({t, kMeteringPage});
    if (!tap.burdentable.empty()) pages.push_back({t, kErrorTablePage});
    if (tap.uTestType & (kBurdenTest | kInsulationTest)) {
      pages.push_back({t, kBurdenInsulationPage});
    }
  }
  if (!overlaid) {
    pages.push_back({0, kSummaryPage});
    if (extras.assessment_page) pages.push_back({0, kAssessmentPage});
    if (first.passfail.pfenable != 0) pages.push_back({0, kPassFailPage});
  }
  pages.push_back({0, kTestPlanPage});
  for (int i = 0; i < extras.details_pages; ++i) pages.push_back({i, kCalculationDetailsPage});
  return pages;
}

}  // namespace kova
