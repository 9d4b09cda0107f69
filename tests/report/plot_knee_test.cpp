// The knee mark of the excitation plot sits on the knee of the record's knee
// type, for every type: a mark drawn at another type's knee shows here.

#include <gtest/gtest.h>

#include <vector>

#include "records/test_record.h"
#include "report/display_test.h"
#include "report/recording_surface.h"
#include "report/report_document.h"

namespace kova {
namespace {

// Three knees at whole decades of a 1024-unit plot: a decade is 226 units,
// 1 mA is at x = 108 and 1 V at y = 916.
struct Knee {
  double volts, amps;
  int x, y;
};
constexpr Knee kKnee10{1000, 0.01, 108 + 226, 916 - 3 * 226};
constexpr Knee kKnee30{100, 0.1, 108 + 2 * 226, 916 - 2 * 226};
constexpr Knee kKnee45{10, 1.0, 108 + 3 * 226, 916 - 226};

TestRecord KneeRecord(int knee_code, double scale) {
  TestRecord rec;
  rec.filename = "K.test";
  rec.numtests = 1;
  rec.KneeTypeName(knee_code);
  TapTest& tap = rec.taps[0];
  tap.nTapConnection = 4;
  tap.uTestType = kExcitationTest;
  // Down to 1.04 mA: inside the plot's first decades.
  for (int i = 0; i < 31; ++i) {
    tap.dpVolts[i] = 200.0 / (i + 1);
    tap.dpAmps[i] = 1.0 / ((i + 1) * (i + 1));
  }
  // `scale` moves the second record's knees one decade in current.
  tap.fKneeVtg10 = kKnee10.volts;
  tap.fKneeCur10 = kKnee10.amps * scale;
  tap.fKneeVtg30 = kKnee30.volts;
  tap.fKneeCur30 = kKnee30.amps * scale;
  tap.fKneeVtg45 = kKnee45.volts;
  tap.fKneeCur45 = kKnee45.amps * scale;
  return rec;
}

std::vector<Rect> Marks(const RecordingSurface& s) {
  std::vector<Rect> marks;
  for (const DrawOp& op : s.ops())
    if (op.kind == DrawOp::kFill) marks.push_back(op.rect);
  return marks;
}

TEST(ReportPlot, KneeMarkFollowsTheKneeTypeAlsoOverlaid) {
  const struct {
    int code;
    Knee knee;
  } cases[] = {{1, kKnee30}, {2, kKnee45}, {3, kKnee10}, {0, kKnee10}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    const TestRecord rec = KneeRecord(c.code, 1.0);
    RecordingSurface single;
    CDisplayTest painter;
    painter.Setup(&single, rec, false, nullptr);
    painter.DrawPlot({0, 0, 1024, 1024}, 0, false);
    const std::vector<Rect> marks = Marks(single);
    ASSERT_EQ(marks.size(), 1u);
    EXPECT_EQ(marks[0].left, c.knee.x - 3);
    EXPECT_EQ(marks[0].top, c.knee.y - 3);

    // Overlaid: each record's own knee of the first record's type, the
    // second one decade further right.
    ReportDocument doc;
    ASSERT_TRUE(doc.SetRecords({rec, KneeRecord(c.code, 10.0)}));
    RecordingSurface overlay;
    CDisplayTest over;
    over.Setup(&overlay, doc.Record(0), false, &doc);
    over.DrawPlot({0, 0, 1024, 1024}, 0, false);
    const std::vector<Rect> both = Marks(overlay);
    ASSERT_EQ(both.size(), 2u);
    EXPECT_EQ(both[0].left, c.knee.x - 3);
    EXPECT_EQ(both[1].left, c.knee.x + 226 - 3);
    EXPECT_EQ(both[1].top, c.knee.y - 3);
  }
}

}  // namespace
}  // namespace kova
