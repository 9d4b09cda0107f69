// The data and graph point lists keep every number apart: each column is as
// wide as its widest text, whatever the values' digits, on every kind of
// page that lists points, on screen and on paper.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "base/format.h"
#include "records/test_record.h"
#include "report/display_test.h"
#include "report/recording_surface.h"
#include "report/report_document.h"

namespace kova {
namespace {

// Values whose whole part has `digits` digits: a current and a voltage of
// that size, and small currents that give impedances four digits longer.
TestRecord WideRecord(int digits, int device_version, int ctusage, const char* name) {
  TestRecord rec;
  rec.filename = name;
  rec.numtests = 1;
  rec.deviceversion = device_version;
  rec.classsettings.ctusage = ctusage;
  rec.kneetypestr = "IEEE 30 Deg";
  TapTest& tap = rec.taps[0];
  tap.nTapConnection = 4;
  tap.uTestType = kExcitationTest;
  double big = 1;
  for (int i = 1; i < digits; ++i) big *= 10;
  big = big * 9.87654321;  // `digits` digits before the point
  for (int i = 0; i < 64; ++i) {
    tap.dpVolts[i] = big - i * big / 128;
    tap.dpAmps[i] = i % 2 == 0 ? big / (i + 1) : 0.0001 * (i + 1);
  }
  for (int g = 0; g < kGraphPointsPerTap; ++g) {
    tap.graph[g].gpVolts = big / (g + 1);
    tap.graph[g].gpAmps = g % 2 == 0 ? big : 0.0001;
  }
  return rec;
}

// The end of a text's ink on the recording surface, trailing blanks left out.
int TextEnd(const DrawOp& op) {
  const size_t last = op.text.find_last_not_of(' ');
  const int chars = last == std::string::npos ? 0 : static_cast<int>(last) + 1;
  return op.rect.left + chars * (op.font.height / 2);
}

TEST(PointTable, NoTwoTextsOfARowRunTogether) {
  struct Style {
    const char* what;
    bool printing;
    Rect page;
    int device_version, ctusage, records, kind;
  } const styles[] = {
      {"screen, 16 rows", false, {0, 0, 2400, 1220}, 1, 0, 1, kTestPage},
      {"screen, 22 rows of 64 slots", false, {0, 0, 2400, 1220}, 2, 0, 1, kTestPage},
      {"screen, 52 slots", false, {0, 0, 1600, 1200}, 4, 0, 1, kTestPage},
      {"printed landscape", true, {0, 357, 6600, 5100}, 1, 0, 1, kTestPage},
      {"printed portrait", true, {0, 462, 5100, 6600}, 2, 0, 1, kTestPage},
      {"metering record's test page", false, {0, 0, 2400, 1220}, 1, 2, 1, kTestPage},
      {"metering page", false, {0, 0, 2400, 1220}, 1, 2, 1, kMeteringPage},
      {"metering page printed", true, {0, 357, 6600, 5100}, 2, 2, 1, kMeteringPage},
      {"overlay detail", false, {0, 0, 2400, 1220}, 1, 0, 2, kOverlayDetailPage},
      {"overlay detail printed", true, {0, 357, 6600, 5100}, 2, 0, 3, kOverlayDetailPage},
      {"third record", false, {0, 0, 2400, 1220}, 2, 0, 3, kThirdRecordPage},
  };
  for (const Style& style : styles) {
    for (int digits = 1; digits <= 8; ++digits) {
      SCOPED_TRACE(Format("%s, %d digits", style.what, digits));
      std::vector<TestRecord> records;
      for (int r = 0; r < style.records; ++r) {
        records.push_back(WideRecord(digits, style.device_version, style.ctusage,
                                     r == 0   ? "A.test"
                                     : r == 1 ? "B.test"
                                              : "C.test"));
      }
      ReportDocument doc;
      ASSERT_TRUE(doc.SetRecords(records));
      int index = -1;
      for (int i = 0; i < doc.pagecount() && index < 0; ++i)
        if (doc.pages()[i].kind == style.kind) index = i;
      ASSERT_GE(index, 0);
      RecordingSurface s;
      CDisplayTest painter;
      painter.Setup(&s, doc.Record(0), style.printing, &doc);
      painter.DrawPage(style.page, index);

      std::map<int, std::vector<const DrawOp*>> rows;  // by the texts' top
      bool widest_listed = false;
      const std::string widest = Format("%3.2f", records[0].taps[0].dpVolts[0]);
      for (const DrawOp& op : s.ops()) {
        if (op.kind != DrawOp::kText) continue;
        rows[op.rect.top].push_back(&op);
        widest_listed = widest_listed || op.text.find(" " + widest + " ") != std::string::npos;
        // Nothing runs past the box it is drawn in (the page's inner edge).
        if (op.rect.right > op.rect.left) {
          EXPECT_LE(TextEnd(op), op.rect.right) << op.text;
        }
      }
      EXPECT_TRUE(widest_listed) << widest;
      for (auto& [top, texts] : rows) {
        std::sort(texts.begin(), texts.end(),
                  [](const DrawOp* a, const DrawOp* b) { return a->rect.left < b->rect.left; });
        for (size_t i = 1; i < texts.size(); ++i) {
          EXPECT_LT(TextEnd(*texts[i - 1]), texts[i]->rect.left)
              << "at y " << top << ": \"" << texts[i - 1]->text << "\" runs into \""
              << texts[i]->text << "\"";
        }
      }
    }
  }
}

// The columns widen to the widest text and no further: a record whose
// values fit keeps the instrument's 30-character rows 32 apart.
TEST(PointTable, ColumnsAsWideAsTheirWidestText) {
  const struct {
    double amps, volts;
    int amps_width, volts_width, ohms_width;
  } cases[] = {
      {0.5, 100, 7, 7, 7},              // "0.5000", "100.00", "200.00"
      {0.0001, 1500, 7, 7, 11},         // Z "15000000.00"
      {12.5, 12345.6, 7, 8, 7},         // "12345.60"
      {123456.0, 98765432, 11, 11, 7},  // "123456.0000", "98765432.00", "800.01"
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Format("%g A, %g V", c.amps, c.volts));
    TestRecord rec;
    rec.taps[0].dpAmps[3] = c.amps;
    rec.taps[0].dpVolts[3] = c.volts;
    rec.taps[0].dpAmps[4] = 0.5;
    rec.taps[0].dpVolts[4] = 100;
    const PointColumns columns = MeasurePointColumns(rec, rec.taps[0], false);
    EXPECT_EQ(columns.number, 6);
    EXPECT_EQ(columns.amps, c.amps_width);
    EXPECT_EQ(columns.volts, c.volts_width);
    EXPECT_EQ(columns.ohms, c.ohms_width);
    EXPECT_EQ(columns.Step(), columns.Row() + 2);
  }
  // Each list by its own points: a graph point's wide impedance widens the
  // graph list only.
  TestRecord rec;
  rec.taps[0].dpAmps[0] = 0.5;
  rec.taps[0].dpVolts[0] = 100;
  rec.taps[0].graph[0] = {0.01, 100};
  EXPECT_EQ(MeasurePointColumns(rec, rec.taps[0], false).ohms, 7);
  EXPECT_EQ(MeasurePointColumns(rec, rec.taps[0], true).ohms, 8);  // "10000.00"
  EXPECT_EQ(PointColumns().Row(), 30);
  EXPECT_EQ(PointColumns().Step(), 32);
}

}  // namespace
}  // namespace kova
