// The CT history report's pages on a recording surface: what each page
// holds, the footer, the baseline and the states, the overlay's dates, the
// choice of the CT, and one page of each kind drawn the same whole.

#include <gtest/gtest.h>

#include "base/path.h"
#include "library/history_report.h"
#include "library/library_plots.h"
#include "library/trend_fixture.h"
#include "report/recording_surface.h"
#include "support/drawing_text.h"
#include "support/golden.h"

namespace kova {
namespace {

constexpr Rect kPage{0, 0, 3300, 2300};

HistoryReport Report(int taps, int tests) {
  HistoryReport r;
  r.ct.manufacturer = "KOVA SIM";
  r.ct.serialnumber = "SN00077";
  r.ct.station = "STATION 0 Harbour Road";
  r.ct.circuit = "FEEDER 37";
  r.ct.model = "CT-600";
  const char* names[] = {"X1-X5", "X2-X5", "X3-X5"};
  for (int t = 0; t < taps; ++t) r.taps.push_back({names[t], DriftingHistory(tests, names[t]), {}});
  r.printed_on = "Printed 12/10/26 16:30";
  return r;
}

std::vector<std::string> PageTexts(const HistoryReport& r, int index) {
  RecordingSurface s;
  DrawHistoryReportPage(s, kPage, r, HistoryReportPages(r), index);
  std::vector<std::string> out;
  for (const DrawOp& op : s.ops())
    if (op.kind == DrawOp::kText) out.push_back(op.text);
  return out;
}

bool Has(const std::vector<std::string>& texts, const std::string& part) {
  for (const std::string& t : texts)
    if (t.find(part) != std::string::npos) return true;
  return false;
}

TEST(HistoryReport, PagesHoldEachTapsTableAndPlotsWithTheFooter) {
  const struct {
    int taps, tests;
    std::string kinds;  // T: table, S: table after the summary, P: plots
  } cases[] = {{3, 8, "SPTPTP"}, {1, 29, "SP"}, {1, 30, "STP"}, {1, 70, "STTP"}, {0, 0, "S"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.kinds);
    const HistoryReport r = Report(c.taps, c.tests);
    const auto pages = HistoryReportPages(r);
    std::string kinds;
    size_t rows = 0;
    for (const auto& p : pages) {
      kinds += p.kind == HistoryReportPage::kPlots ? 'P' : p.summary ? 'S' : 'T';
      rows += p.rows;
    }
    EXPECT_EQ(kinds, c.kinds);
    EXPECT_EQ(rows, static_cast<size_t>(c.taps * c.tests)) << "every test once";
    for (size_t i = 0; i < pages.size(); ++i) {
      const auto texts = PageTexts(r, static_cast<int>(i));
      EXPECT_TRUE(Has(texts, "CT history: KOVA SIM SN00077")) << i;
      EXPECT_TRUE(Has(texts, "Station: STATION 0 Harbour Road    Circuit: FEEDER 37")) << i;
      EXPECT_TRUE(Has(texts, "Printed 12/10/26 16:30")) << i;
      EXPECT_TRUE(Has(texts, Format("Page %zu of %zu", i + 1, pages.size()))) << i;
    }
  }
}

TEST(HistoryReport, TheSummaryTableAndPlotsSayWhatTheHistorySays) {
  HistoryReport r = Report(2, 8);
  r.taps[1].history = BuildHistory(
      [] {
        std::vector<TestRow> rows;
        for (int i = 0; i < 8; ++i) rows.push_back(DriftingTest(i, "X2-X5"));
        rows[3].baseline = true;
        return rows;
      }(),
      TrendBands());
  r.assessed = true;
  r.verdict.verdict = Verdict::kFail;
  r.verdict.test = "Test 1 (tap X1-X5)";
  r.verdict.test_date = "2017-07-17 10:00:00";
  r.verdict.why = "knee point below the profile's 150 V";
  const auto summary = PageTexts(r, 0);
  const struct {
    int page;
    const char* text;
  } want[] = {
      {0, "Records: 8, tested 2010-07-17 to 2017-07-17.    Taps: X1-X5 (8 tests), X2-X5 (8 tests)"},
      {0, "Assessment: FAIL, Test 1 (tap X1-X5) of 2017-07-17"},
      {0, "knee point below the profile's 150 V"},
      {0,
       "Bands: excitation warn \xb1"
       "5 %, alarm \xb1"
       "10 %;  ratio warn \xb1"
       "1, alarm \xb1"
       "3 turns"},
      {0, "Tap X1-X5: 8 tests, baseline 2010-07-17 (the first test)"},
      {0, "2010-07-17 (baseline)"},
      {0, "ALARM"},
      {0, "WARN"},
      {2, "Tap X2-X5: 8 tests, baseline 2013-07-17 (marked)"},
      {2, "2013-07-17 (baseline)"},
      {1, "the latest 6 dates"},
      {1, "Excitation current [A]"},
      {1,
       "Rct at 75\xb0"
       "C [ohm]"},
  };
  for (const auto& w : want)
    EXPECT_TRUE(Has(PageTexts(r, w.page), w.text)) << w.page << " " << w.text;
  EXPECT_FALSE(Has(PageTexts(r, 0), "2013-07-17 (baseline)")) << "one baseline a tap";
  EXPECT_FALSE(Has(PageTexts(r, 0), "/records/")) << "no file paths on paper";

  // Eight tests and nothing chosen: the overlay's legend has the latest six.
  const auto plots = PageTexts(r, 1);
  for (int i = 0; i < 8; ++i) {
    const std::string date = Format("%04d-07-17", 2010 + i);
    EXPECT_EQ(std::count(plots.begin(), plots.end(), date), i >= 2 ? 1 : 0) << date;
  }
  r.taps[0].overlay_selected = {0, 5};
  const auto chosen = PageTexts(r, 1);
  EXPECT_TRUE(Has(chosen, "2 chosen dates"));
  EXPECT_EQ(std::count(chosen.begin(), chosen.end(), "2010-07-17"), 1);
  EXPECT_EQ(std::count(chosen.begin(), chosen.end(), "2017-07-17"), 0);
}

TEST(HistoryReport, TheCtIsChosenBySerialAndManufacturer) {
  CtInfo a, b;
  a.manufacturer = "KOVA SIM", a.serialnumber = "SN1";
  b.manufacturer = "Other Works", b.serialnumber = "SN1";
  const struct {
    std::vector<CtInfo> found;
    std::string manufacturer;
    const char* chosen;  // null: refused with `why`
    const char* why;
  } cases[] = {
      {{}, "", nullptr, "No CT with serial number \"SN1\" in the library"},
      {{a}, "", "KOVA SIM", ""},
      {{a, b},
       "",
       nullptr,
       "Several manufacturers use serial number \"SN1\": choose one with --manufacturer:\n  KOVA "
       "SIM\n  Other Works"},
      {{a, b}, " other works ", "Other Works", ""},
      {{a},
       "Other Works",
       nullptr,
       "No CT of manufacturer \"Other Works\" with serial number \"SN1\" in the library"},
  };
  for (const auto& c : cases) {
    CtInfo out;
    std::string why;
    const bool ok = ChooseCtBySerial(c.found, "SN1", c.manufacturer, out, why);
    EXPECT_EQ(ok, c.chosen != nullptr) << why;
    if (ok)
      EXPECT_EQ(out.manufacturer, c.chosen);
    else
      EXPECT_EQ(why, c.why);
  }
}

// The first page (summary and table) and the plots page drawn whole; run
// with KOVA_REGENERATE_GOLDEN=1 to write them again, then look at the
// difference.
TEST(HistoryReport, TheTableAndPlotsPagesDrawTheSameWhole) {
  const HistoryReport r = Report(1, 8);
  const auto pages = HistoryReportPages(r);
  const char* names[] = {"history-page-table.draw.txt", "history-page-plots.draw.txt"};
  for (int i = 0; i < 2; ++i) {
    RecordingSurface s;
    DrawHistoryReportPage(s, kPage, r, pages, i);
    CompareWithGolden(DrawingText(s),
                      PathJoin(std::string(KOVA_SOURCE_DIR) + "/tests/golden", names[i]));
  }
}

}  // namespace
}  // namespace kova
