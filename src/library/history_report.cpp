#include "library/history_report.h"

#include <algorithm>
#include <set>

#include "base/format.h"
#include "library/history_table.h"
#include "library/library_plots.h"
#include "library/row_page.h"

namespace kova {

bool ChooseCtBySerial(const std::vector<CtInfo>& found, const std::string& serial,
                      const std::string& manufacturer, CtInfo& out, std::string& why) {
  std::vector<CtInfo> cts;
  const std::string want = NormalizeIdentityText(manufacturer);
  for (const CtInfo& ct : found)
    if (want.empty() || NormalizeIdentityText(ct.manufacturer) == want) cts.push_back(ct);
  if (cts.empty()) {
    why = manufacturer.empty() ? "No CT with serial number \"" + serial + "\" in the library"
                               : "No CT of manufacturer \"" + manufacturer +
                                     "\" with serial number \"" + serial + "\" in the library";
    return false;
  }
  if (cts.size() > 1) {
    why = "Several manufacturers use serial number \"" + serial +
          "\": choose one with --manufacturer:";
    for (const CtInfo& ct : cts) why += "\n  " + ct.manufacturer;
    return false;
  }
  out = cts[0];
  return true;
}

StoreOutcome GatherHistoryReport(RecordReader& store, const CtInfo& ct, const std::string& tap,
                                 const TrendBands& bands, const RecordFileReader& read,
                                 HistoryReport& out, std::string& why) {
  out = HistoryReport();
  out.ct = ct;
  out.bands = bands;
  std::vector<std::string> taps;
  StoreOutcome outcome = store.CtTaps(ct.key, taps);
  if (!outcome.ok()) return outcome;
  if (!tap.empty()) {
    const std::string want = NormalizeIdentityText(tap);
    std::vector<std::string> kept;
    for (const std::string& t : taps)
      if (NormalizeIdentityText(t) == want) kept.push_back(t);
    if (kept.empty()) why = "No test of tap " + tap + " for this CT";
    taps.swap(kept);
  }
  for (const std::string& t : taps) {
    std::vector<TestRow> rows;
    outcome = store.History(ct.key, t, rows);
    if (!outcome.ok()) return outcome;
    out.taps.push_back({t, BuildHistory(std::move(rows), bands), {}});
  }
  std::vector<CtVerdict> verdicts;
  outcome = AssessLibrary(store, {ct.station, ct.circuit}, read, verdicts);
  if (!outcome.ok()) return outcome;
  for (CtVerdict& v : verdicts)
    if (v.ct.key == ct.key) out.assessed = true, out.verdict = std::move(v);
  return outcome;
}

namespace {

// The page is kRows rows high: the CT's identity on top, the footer at the
// bottom, the table and the plots between.
constexpr int kRows = 44;
constexpr int kContentTop = 3;     // rows
constexpr int kContentRows = 39;   // rows 3 .. 42
constexpr int kSummaryRows = 8;    // the first page's summary block
constexpr int kTableHeadRows = 2;  // the tap's heading and the column titles

constexpr Color kBlack{0, 0, 0}, kHeadFill{225, 225, 225};
constexpr Color kBaselineRow{228, 232, 250};

Color CellTint(ChangeFlag flag) {
  switch (flag) {
    case ChangeFlag::kOk:
      return {222, 242, 222};
    case ChangeFlag::kWarn:
      return {255, 232, 180};
    case ChangeFlag::kAlarm:
      return {255, 200, 200};
    case ChangeFlag::kNone:
      break;
  }
  return {255, 255, 255};
}

struct Column {
  const char* title;
  int weight;  // share of the width
};
// The history columns without the file (a path of the computer that filed
// the record says nothing on paper), and each test's state after its name.
const Column kColumns[] = {{"Date", 17},
                           {"Test", 13},
                           {"State", 7},
                           {"Knee V", 7},
                           {"Exc. vs base", 11},
                           {"Exc. vs prev.", 11},
                           {"Ratio", 8},
                           {"Turns vs base", 11},
                           {"Turns vs prev.", 11},
                           {"Ratio error", 10},
                           {"Rct 75\xb0"
                            "C",
                            8},
                           {"Rct vs base", 11},
                           {"Rct vs prev.", 11},
                           {"P/F", 5},
                           {"Class", 8}};
constexpr int kColumnCount = sizeof(kColumns) / sizeof(kColumns[0]);

std::vector<HistoryCell> RowCells(const HistoryEntry& e, bool baseline) {
  std::vector<HistoryCell> cells = HistoryCells(e);
  cells.pop_back();  // the file
  if (baseline && !e.test.baseline) cells[0].text += " (baseline)";
  const ChangeFlag state = EntryState(e);
  cells.insert(
      cells.begin() + 2,
      HistoryCell{baseline && state == ChangeFlag::kNone ? "baseline" : ChangeFlagText(state),
                  state});
  return cells;
}

class PageDrawer : public RowPage {
 public:
  PageDrawer(Surface& s, const Rect& page) : RowPage(s, page, kRows) {}

  void Header(const HistoryReport& r) {
    const CtInfo& ct = r.ct;
    Text(page_.left, 0, "CT history: " + ct.manufacturer + " " + ct.serialnumber, 0.9, 700);
    std::string id = "Station: " + ct.station + "    Circuit: " + ct.circuit;
    if (!ct.model.empty()) id += "    Model: " + ct.model;
    Text(page_.left, 1.2, id);
    Rule(2.4);
  }

  void Summary(const HistoryReport& r, double row) {
    std::set<std::string> records;
    std::string first, last, taps;
    for (const HistoryReportTap& t : r.taps) {
      for (const HistoryEntry& e : t.history) {
        records.insert(e.test.content_hash);
        const std::string date = e.test.test_date.substr(0, 10);
        if (first.empty() || date < first) first = date;
        if (date > last) last = date;
      }
      taps += (taps.empty() ? "" : ", ") + t.tap + Format(" (%zu tests)", t.history.size());
    }
    Text(page_.left, row,
         Format("Records: %zu", records.size()) +
             (first.empty() ? "" : ", tested " + first + " to " + last) +
             (taps.empty() ? "" : ".    Taps: " + taps));
    std::string verdict = "Assessment: no profile is kept for this CT";
    if (r.assessed) {
      const CtVerdict& v = r.verdict;
      verdict = std::string("Assessment: ") + VerdictCell(v.verdict);
      if (!v.test.empty()) verdict += ", " + v.test;
      if (!v.test_date.empty()) verdict += " of " + v.test_date.substr(0, 10);
      if (!v.rating.empty()) verdict += ", " + v.rating;
    }
    Text(page_.left, row + 1, verdict, 0.6, 700);
    if (r.assessed && !r.verdict.why.empty()) Text(page_.left, row + 2, r.verdict.why);
    const TrendBands& b = r.bands;
    Text(page_.left, row + 3,
         Format(
             "Bands: excitation warn \xb1%g %%, alarm \xb1%g %%;  ratio warn \xb1%g, alarm \xb1%g "
             "turns;  Rct at 75\xb0"
             "C warn \xb1%g %%, alarm \xb1%g %%",
             b.excitation_warn_percent, b.excitation_alarm_percent, b.ratio_turns,
             b.ratio_alarm_turns, b.resistance_warn_percent, b.resistance_alarm_percent));
    Text(page_.left, row + 4,
         "Each change is against the baseline (the test marked as such, else the first) and the "
         "previous test; a test's state is the worst of its flags.");
  }

  void Table(const HistoryReportTap& tap, size_t first, size_t rows, double row, bool continued) {
    const size_t base = BaselineIndex(tap.history);
    const HistoryEntry* base_entry = tap.history.empty() ? nullptr : &tap.history[base];
    std::string heading = "Tap " + tap.tap;
    if (continued) {
      heading += " (continued)";
    } else {
      heading += Format(": %zu tests", tap.history.size());
      if (base_entry)
        heading += ", baseline " + base_entry->test.test_date.substr(0, 10) +
                   (base_entry->test.baseline ? " (marked)" : " (the first test)");
    }
    Text(page_.left, row, heading, 0.7, 700);
    std::vector<int> weights;
    for (const Column& c : kColumns) weights.push_back(c.weight);
    const std::vector<int> x = ColumnEdges(weights);
    auto cell = [&](int c, double r, const std::string& text, int weight) {
      Cell(x, c, r, text, weight);
    };
    const double head = row + 1;
    s_.FillRect({page_.left, Y(head), page_.right, Y(head + 1)}, kHeadFill);
    s_.SetTextColor(kBlack);
    for (int c = 0; c < kColumnCount; ++c) cell(c, head, kColumns[c].title, 700);
    for (size_t i = 0; i < rows; ++i) {
      const size_t k = first + i;
      const double r = head + 1 + static_cast<double>(i);
      const std::vector<HistoryCell> cells = RowCells(tap.history[k], k == base);
      if (k == base) s_.FillRect({page_.left, Y(r), page_.right, Y(r + 1)}, kBaselineRow);
      for (int c = 0; c < kColumnCount && c < static_cast<int>(cells.size()); ++c) {
        if (cells[c].flag != ChangeFlag::kNone)
          s_.FillRect({x[c], Y(r), x[c + 1], Y(r + 1)}, CellTint(cells[c].flag));
        s_.SetTextColor(kBlack);
        cell(c, r, cells[c].text, k == base ? 700 : 400);
      }
    }
    Grid(x, head, head + 1 + static_cast<double>(rows));
  }

  void Plots(const HistoryReport& r, const HistoryReportTap& tap, double row) {
    const std::vector<size_t> chosen = OverlayChoice(tap.history.size(), tap.overlay_selected);
    Text(page_.left, row,
         "Tap " + tap.tap + ": trend against the bands, and the excitation curves of " +
             (tap.overlay_selected.empty() ? Format("the latest %zu dates", chosen.size())
                                           : Format("%zu chosen dates", chosen.size())),
         0.7, 700);
    const int top = Y(row + 1.5), bottom = Y(kContentTop + kContentRows);
    const int split = page_.left + page_.Width() * 57 / 100;
    DrawTrendPlot(s_, {page_.left, top, split - unit_, bottom}, tap.history, r.bands);
    std::vector<TestRow> tests;
    for (size_t i : chosen) tests.push_back(tap.history[i].test);
    const int side = std::min(page_.right - split, bottom - top);
    DrawCurveOverlay(s_, {split, top, split + side, top + side}, tests);
  }
};

}  // namespace

std::vector<HistoryReportPage> HistoryReportPages(const HistoryReport& report) {
  std::vector<HistoryReportPage> pages;
  if (report.taps.empty()) pages.push_back({HistoryReportPage::kTable, -1, 0, 0, true});
  for (size_t t = 0; t < report.taps.size(); ++t) {
    const size_t rows = report.taps[t].history.size();
    size_t first = 0;
    bool summary = t == 0;
    do {
      const size_t room = kContentRows - kTableHeadRows - (summary ? kSummaryRows : 0);
      const size_t n = std::min(room, rows - first);
      pages.push_back({HistoryReportPage::kTable, static_cast<int>(t), first, n, summary});
      first += n;
      summary = false;
    } while (first < rows);
    pages.push_back({HistoryReportPage::kPlots, static_cast<int>(t), 0, 0, false});
  }
  return pages;
}

void DrawHistoryReportPage(Surface& s, const Rect& page, const HistoryReport& report,
                           const std::vector<HistoryReportPage>& pages, int index) {
  if (index < 0 || index >= static_cast<int>(pages.size())) return;
  const HistoryReportPage& p = pages[index];
  PageDrawer d(s, page);
  s.FillRect(page, {255, 255, 255});
  d.Header(report);
  double row = kContentTop;
  if (p.summary) {
    d.Summary(report, row);
    row += kSummaryRows;
    if (report.taps.empty()) d.Text(page.left, row, "The library holds no test of this CT.");
  }
  if (p.tap >= 0 && p.tap < static_cast<int>(report.taps.size())) {
    const HistoryReportTap& tap = report.taps[p.tap];
    if (p.kind == HistoryReportPage::kTable)
      d.Table(tap, p.first_row,
              std::min(p.rows, tap.history.size() - std::min(p.first_row, tap.history.size())), row,
              p.first_row > 0);
    else
      d.Plots(report, tap, row);
  }
  d.Footer(report.printed_on, index, static_cast<int>(pages.size()));
}

}  // namespace kova
