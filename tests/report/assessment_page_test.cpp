#include "report/assessment_page.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "assess/assess_fixtures.h"
#include "assess/profile_file.h"
#include "base/file_io.h"
#include "base/path.h"
#include "report/display_test.h"
#include "report/recording_surface.h"
#include "report/report_document.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

AssessmentProfile P(IecClass c) {
  AssessmentProfile p;
  p.iec_class = c;
  return p;
}

TEST(AssessmentPage, RatingLineStatesTheProfileAsANameplateDoes) {
  struct Case {
    const char* name;
    AssessmentProfile profile;
    const char* want;
  } cases[] = {
      {"P in VA, the usual power factor", P(IecClass::k5P), "5P20, 10 VA, pf 0.8, Isr 1 A"},
      {"PR below 5 VA", P(IecClass::k10PR), "10PR10, 2.5 VA, pf 1, Isr 5 A"},
      {"P as R + jX", P(IecClass::k5P), "5P20, 0.4 + j0.3 \xE2\x84\xA6, Isr 1 A"},
      {"capacitive burden", P(IecClass::k5P), "5P20, 0.4 - j0.3 \xE2\x84\xA6, Isr 1 A"},
      {"PX with a rated knee", P(IecClass::kPX),
       "PX, Ek 150 V, Ie \xE2\x89\xA4 30 mA, Rct \xE2\x89\xA4 2.5 \xE2\x84\xA6"},
      {"PXR from Kx, no Rct limit", P(IecClass::kPXR),
       "PXR, Kx 20, Rb 2 \xE2\x84\xA6, Ie \xE2\x89\xA4 1.5 A"},
  };
  cases[0].profile.alf = 20, cases[0].profile.burden_va = 10;
  cases[1].profile.alf = 10, cases[1].profile.burden_va = 2.5, cases[1].profile.isr = 5;
  for (int i : {2, 3}) {
    cases[i].profile.alf = 20;
    cases[i].profile.burden_as_va = false;
    cases[i].profile.burden_r = 0.4;
    cases[i].profile.burden_x = i == 2 ? 0.3 : -0.3;
  }
  cases[4].profile.ek_rated = 150, cases[4].profile.ie_max = 0.03, cases[4].profile.rct_max = 2.5;
  cases[5].profile.kx = 20, cases[5].profile.rb = 2, cases[5].profile.ie_max = 1.5;
  for (const Case& c : cases) EXPECT_EQ(PageRating(c.profile), c.want) << c.name;
}

// A record file in its own folder, with what is kept beside it.
struct Kept {
  const char* profile;    // profile JSON, or null
  const char* reference;  // reference CSV, or null
};

std::unique_ptr<TestRecord> RecordWith(const std::string& folder, const Kept& kept, int tests = 1) {
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  auto rec = CurveRecord(PowerLaw(233.24, 0.6, 6.0), 20, 400, 32);
  if (tests > 10) rec->deviceversion = 1;  // the model of twenty tests
  rec->numtests = tests;
  for (int t = 0; t < tests; ++t) {
    rec->taps[t] = rec->taps[0];
    rec->taps[t].nTapConnection = 1 + (3 + t) % 10;
    rec->taps[t].fWindingRes = 2000;
    TapTest& tap = rec->taps[t];
    tap.fKneeVtg10 = tap.fKneeVtg30 = tap.fKneeVtg45 = 230 + t;
    tap.fKneeCur10 = tap.fKneeCur30 = tap.fKneeCur45 = 0.6;
    rec->taps[t].nNamePlateNum = 400;
    rec->taps[t].fNamePlateDen = 1;
    rec->taps[t].fTestRatio = 400;
  }
  rec->fullpath = PathJoin(folder, "r.test");
  if (kept.profile) {
    EXPECT_TRUE(WriteFileAtomically(PathJoin(folder, "r.assess.json"), std::string(kept.profile)));
  }
  if (kept.reference) {
    EXPECT_TRUE(
        WriteFileAtomically(PathJoin(folder, "r.reference.csv"), std::string(kept.reference)));
  }
  return rec;
}

std::string Texts(const RecordingSurface& s) {
  std::string text;
  for (const DrawOp& op : s.ops()) {
    if (op.kind == DrawOp::kText || op.kind == DrawOp::kText16) text += op.text + "\n";
  }
  return text;
}

std::string DrawnPage(const ReportDocument& doc, int page, bool printing) {
  RecordingSurface s;
  CDisplayTest painter;
  painter.Setup(&s, doc.Record(0), printing, &doc);
  painter.DrawPage({0, 0, 2400, 1220}, page);
  return Texts(s);
}

int IndexOf(const ReportDocument& doc, int kind) {
  for (int i = 0; i < doc.pagecount(); ++i) {
    if (doc.pages()[i].kind == kind) return i;
  }
  return -1;
}

constexpr const char* kReference = "turns,400\nvoltmeter,rms\n100,0.0105\n230,0.6\n300,2.9\n";

// The page follows the summary only when something is kept for the record,
// and says what the tests mean: the rating, the checks, the verdict large
// with why when it is not given, the reference and the taps.
TEST(AssessmentPage, FollowsTheSummaryAndSaysWhatTheTestsMean) {
  struct Case {
    const char* name;
    Kept kept;
    int tests;
    bool page;
    std::vector<std::string> shown;  // texts the page draws
    std::string summary;             // the summary page's IEC line, or ""
  } cases[] = {
      {"nothing kept: the instrument's pages", {nullptr, nullptr}, 1, false, {}, ""},
      {"a 5P profile that passes",
       {R"({"class":"5P","isr":1,"alf":20,"burden_va":10})", nullptr},
       1,
       true,
       {"IEC 61869-2 ASSESSMENT", "5P20, 10 VA, pf 0.8, Isr 1 A", "Composite error", "PASS",
        "No reference curve is kept for this CT."},
       "  IEC 61869-2 5P20: PASS"},
      {"a PX profile the knee fails",
       {R"({"class":"PX","isr":1,"kx":20,"rb":2,"ek":400,"ie_max":0.05})", nullptr},
       1,
       true,
       {"PX, Ek 400 V, Ie ? 50 mA", "Knee e.m.f.", "FAIL"},
       "  IEC 61869-2 PX: FAIL"},
      {"a profile naming a test the record has not",
       {R"({"class":"5P","isr":1,"alf":20,"burden_va":10,"test":3})", nullptr},
       1,
       true,
       {"NOT ASSESSED", "the record has"},
       "  IEC 61869-2 5P20: NOT ASSESSED"},
      {"a reference alone: compared, not assessed",
       {nullptr, kReference},
       2,
       true,
       {"NOT ASSESSED", "no assessment profile is kept for this record", "Largest deviation",
        "REFERENCE CURVE", "TAP CONSISTENCY", "X1-X5", "X2-X3"},
       ""},
  };
  const std::string folder = TempFolder("assessment-page");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto rec = RecordWith(PathJoin(folder, "r"), c.kept, c.tests);
    ReportDocument doc;
    ASSERT_TRUE(doc.SetRecords({*rec}));
    const int summary = IndexOf(doc, kSummaryPage);
    const int page = IndexOf(doc, kAssessmentPage);
    EXPECT_EQ(page >= 0, c.page);
    if (c.page) {
      EXPECT_EQ(page, summary + 1) << "right after the summary";
    }
    const std::string summary_text = DrawnPage(doc, summary, false);
    if (c.summary.empty()) {
      EXPECT_EQ(summary_text.find("IEC 61869-2"), std::string::npos) << summary_text;
    } else {
      EXPECT_NE(summary_text.find(c.summary + "\n"), std::string::npos) << summary_text;
    }
    if (!c.page) continue;
    for (bool printing : {false, true}) {
      const std::string text = DrawnPage(doc, page, printing);
      for (const std::string& want : c.shown) {
        EXPECT_NE(text.find(want), std::string::npos) << want << " in\n" << text;
      }
      EXPECT_NE(text.find("ASSESSMENT"), std::string::npos);
    }
    // An overlay has no summary and no assessment page.
    ASSERT_TRUE(doc.SetRecords({*rec, *rec}));
    EXPECT_EQ(IndexOf(doc, kAssessmentPage), -1);
  }
}

// Twenty taps fit the page: every tap's row is drawn inside the page.
TEST(AssessmentPage, TwentyTapsStayInsideThePage) {
  auto rec = RecordWith(TempFolder("assessment-20"), {nullptr, kReference}, 20);
  ReportDocument doc;
  ASSERT_TRUE(doc.SetRecords({*rec}));
  const int page = IndexOf(doc, kAssessmentPage);
  ASSERT_GE(page, 0);
  ASSERT_EQ(doc.assessment_page().taps.size(), 20u);
  for (const Rect size : {Rect{0, 0, 2400, 1220}, Rect{0, 0, 1700, 2200}, Rect{0, 0, 800, 600}}) {
    RecordingSurface s;
    CDisplayTest painter;
    painter.Setup(&s, doc.Record(0), false, &doc);
    painter.DrawPage(size, page);
    int rows = 0;
    for (const DrawOp& op : s.ops()) {
      if (op.kind != DrawOp::kText16 && op.kind != DrawOp::kText) continue;
      EXPECT_LT(op.rect.top, size.bottom) << op.text;
      rows += op.text.rfind("X", 0) == 0 && op.text.find('-') == 2;
    }
    EXPECT_EQ(rows, 20) << size.right << "x" << size.bottom;
  }
}

// What a library keeps for the CT: its profile, and its sister phases.
class LibraryLike : public ReferenceKeeper {
 public:
  KeptProfile profile;
  SisterComparison sisters;
  KeptReference Find(const TestRecord&) override { return {}; }
  bool Keep(const TestRecord&, const ReferenceCurve&, std::string&, std::string&) override {
    return false;
  }
  KeptProfile FindProfile(const TestRecord&) override { return profile; }
  SisterComparison FindSisters(const TestRecord&, const ComparisonBands&) override {
    return sisters;
  }
};

SisterRow Sister(const char* name, double knee, double deviation, double turns, BandFlag flag) {
  SisterRow r;
  r.name = name;
  r.test = 1;
  r.knee_at_current = {true, knee, deviation, false, 0, flag, flag >= BandFlag::kWarn};
  r.ratio = {true, 400, 0, false, turns, BandFlag::kOk, false};
  r.flag = flag;
  r.flagged = flag >= BandFlag::kWarn;
  return r;
}

// The profile kept for the CT in the library (none beside the file) brings
// the page; sister phases the library knows are named as the engineer names
// them, with the words the library uses; five taps with one low are judged
// against their median, the one blamed alone.
TEST(AssessmentPage, KeptForTheCtWithSisterPhasesAndTapsAgainstTheirMedian) {
  struct Case {
    const char* name;
    bool profile, sisters;
    std::vector<std::string> shown, absent;
  } cases[] = {
      {"nothing in the library", false, false, {}, {}},
      {"the CT's profile",
       true,
       false,
       {"5P20, 10 VA, pf 0.8, Isr 1 A", "TAP CONSISTENCY", "each against the median", "% ALARM",
        "+0.00 % OK"},
       {"SISTER PHASES", "inside", "OUTSIDE"}},
      {"the CT's profile and its sisters",
       true,
       true,
       {"SISTER PHASES", "serial P1, LINE 4, tested 03/01/26", "serial P3, LINE 4, tested 03/01/26",
        "260.00 V, +12.00 %", "+0.00 turns", "ALARM", "OK"},
       {"r.test"}},
  };
  const std::string folder = TempFolder("assessment-library");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto rec = RecordWith(PathJoin(folder, "r"), {nullptr, nullptr}, 5);
    rec->taps[3].fKneeVtg10 = rec->taps[3].fKneeVtg30 = rec->taps[3].fKneeVtg45 = 230 * 0.95;
    auto keeper = std::make_shared<LibraryLike>();
    if (c.profile) {
      keeper->profile = ProfileFromText(R"({"class":"5P","isr":1,"alf":20,"burden_va":10})",
                                        "the record library");
      ASSERT_TRUE(keeper->profile.loaded()) << keeper->profile.why;
    }
    if (c.sisters) {
      keeper->sisters.tap = "X1-X5";
      keeper->sisters.rows = {
          Sister("serial P1, LINE 4, tested 03/01/26", 232.1, 0, 0, BandFlag::kOk),
          Sister("serial P2, LINE 4, tested 03/01/26", 231.0, -0.47, 0, BandFlag::kOk),
          Sister("serial P3, LINE 4, tested 03/01/26", 260, 12, 0, BandFlag::kAlarm)};
    }
    ReportDocument doc;
    doc.SetReferenceKeeper(keeper);
    ASSERT_TRUE(doc.SetRecords({*rec}));
    const int page = IndexOf(doc, kAssessmentPage);
    ASSERT_EQ(page >= 0, c.profile);
    if (page < 0) continue;
    const std::string text = DrawnPage(doc, page, true);
    for (const std::string& want : c.shown) {
      EXPECT_NE(text.find(want), std::string::npos) << want << " in\n" << text;
    }
    for (const std::string& not_there : c.absent) {
      EXPECT_EQ(text.find(not_there), std::string::npos) << not_there << " in\n" << text;
    }
  }
}

}  // namespace
}  // namespace kova
