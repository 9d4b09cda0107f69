// Text blocks longer than their box go on over continuation pages of the
// same kind: every line is drawn exactly once, in order, on screen and in
// print; a text that fits is drawn exactly as before.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/format.h"
#include "records/test_record.h"
#include "report/display_test.h"
#include "report/recording_surface.h"
#include "report/report_document.h"
#include "report/text_flow.h"

namespace kova {
namespace {

const Rect kScreen{0, 0, 2400, 1220};
const Rect kPaper{0, 300, 7000, 4900};

std::string NumberedLines(const char* stem, int n, const char* separator = "\r") {
  std::string text;
  for (int i = 1; i <= n; ++i) text += Format("%s-%d", stem, i) + (i < n ? separator : "");
  return text;
}

// A record of one test whose text blocks are given.
std::unique_ptr<TestRecord> RecordWith(const std::string& note, const std::string& trace = "",
                                       const std::string& table = "") {
  auto rec = std::make_unique<TestRecord>();
  rec->filename = "N.test";
  rec->numtests = 1;
  rec->taps[0].nTapConnection = 4;
  rec->taps[0].uTestType = kRatioTest | kExcitationTest;
  rec->testnote = note;
  if (!trace.empty()) {
    rec->classsettings.ctusage = 2;
    rec->taps[0].taptrace = trace;
  }
  rec->taps[0].burdentable = table;
  return rec;
}

int IndexOfKind(const ReportDocument& doc, int kind, int part = 0) {
  for (int i = 0; i < doc.pagecount(); ++i) {
    if (doc.pages()[i].kind == kind && doc.pages()[i].part == part) return i;
  }
  return -1;
}

// Every text of `kind`'s pages (all parts) that starts with `stem`, in
// drawing order.
std::vector<std::string> TextsOverParts(const ReportDocument& doc, int kind, bool printing,
                                        const Rect& page, const std::string& stem) {
  std::vector<std::string> seen;
  for (int i = 0; i < doc.pagecount(); ++i) {
    if (doc.pages()[i].kind != kind) continue;
    RecordingSurface s;
    CDisplayTest painter;
    painter.Setup(&s, doc.Record(0), printing, &doc);
    painter.DrawPage(page, i);
    for (const DrawOp& op : s.ops()) {
      if (op.kind == DrawOp::kText && op.text.rfind(stem, 0) == 0) seen.push_back(op.text);
    }
  }
  return seen;
}

std::vector<std::string> Expected(const char* stem, int n) {
  std::vector<std::string> lines;
  for (int i = 1; i <= n; ++i) lines.push_back(Format("%s-%d", stem, i));
  return lines;
}

int PartsOfKind(const ReportDocument& doc, int kind) {
  int parts = 0;
  for (const ReportPage& p : doc.pages()) parts += p.kind == kind;
  return parts;
}

// The longest note of numbered lines that fits the summary page.
int LongestFittingNote(bool printing, const Rect& page) {
  for (int n = 1; n < 400; ++n) {
    ReportDocument doc;
    doc.SetRecords({*RecordWith(NumberedLines("Line", n + 1))});
    RecordingSurface measure;
    doc.FitPages(measure, page, printing);
    if (PartsOfKind(doc, kSummaryPage) > 1) return n;
  }
  return 0;
}

TEST(TextContinuation, NotesAroundTheBoundaryLoseNoLine) {
  for (const bool printing : {false, true}) {
    const Rect page = printing ? kPaper : kScreen;
    const int fits = LongestFittingNote(printing, page);
    ASSERT_GT(fits, 5) << "printing " << printing;
    const struct {
      int lines, parts;
    } cases[] = {{0, 1},        {1, 1},        {fits - 1, 1},      {fits, 1},
                 {fits + 1, 2}, {fits + 2, 2}, {300, 0 /* many */}};
    for (const auto& c : cases) {
      ReportDocument doc;
      doc.SetRecords({*RecordWith(NumberedLines("Line", c.lines))});
      RecordingSurface measure;
      doc.FitPages(measure, page, printing);
      const int parts = PartsOfKind(doc, kSummaryPage);
      if (c.parts != 0) {
        EXPECT_EQ(parts, c.parts) << c.lines << " lines, printing " << printing;
      } else {
        EXPECT_GT(parts, 2) << c.lines << " lines, printing " << printing;
      }
      // The parts follow their page, before the test plan page.
      EXPECT_EQ(IndexOfKind(doc, kTestPlanPage), IndexOfKind(doc, kSummaryPage) + parts);
      EXPECT_EQ(TextsOverParts(doc, kSummaryPage, printing, page, "Line-"),
                Expected("Line", c.lines))
          << c.lines << " lines, printing " << printing;
    }
  }
}

TEST(TextContinuation, ATextThatFitsIsDrawnAsBefore) {
  // Fitting adds nothing and changes no drawing operation of any page.
  const auto rec = RecordWith(NumberedLines("Line", 8), "trace 1\rtrace 2", "A#01 VA/COS B");
  for (const bool printing : {false, true}) {
    const Rect page = printing ? kPaper : kScreen;
    ReportDocument plain;
    plain.SetRecords({*rec});
    ReportDocument fitted = plain;
    RecordingSurface measure;
    fitted.FitPages(measure, page, printing);
    ASSERT_EQ(fitted.pages(), plain.pages());
    for (int i = 0; i < plain.pagecount(); ++i) {
      RecordingSurface a, b;
      CDisplayTest pa, pb;
      pa.Setup(&a, plain.Record(0), printing, &plain);
      pa.DrawPage(page, i);
      pb.Setup(&b, fitted.Record(0), printing, &fitted);
      pb.DrawPage(page, i);
      ASSERT_EQ(a.ops().size(), b.ops().size()) << "page " << i;
      for (size_t k = 0; k < a.ops().size(); ++k) {
        EXPECT_EQ(a.ops()[k].text, b.ops()[k].text);
        EXPECT_EQ(a.ops()[k].rect.top, b.ops()[k].rect.top);
        EXPECT_EQ(a.ops()[k].rect.bottom, b.ops()[k].rect.bottom);
      }
    }
  }
}

TEST(TextContinuation, EveryLongBlockContinuesOnItsOwnKind) {
  const struct {
    const char* what;
    int kind;
    std::unique_ptr<TestRecord> rec;
    const char* stem;
    int count;
  } cases[] = {
      {"note", kSummaryPage, RecordWith(NumberedLines("Note", 300)), "Note", 300},
      {"trace", kMeteringPage, RecordWith("", NumberedLines("Trace", 200)), "Trace", 200},
      {"error table", kErrorTablePage, RecordWith("", "", NumberedLines("Row", 150)), "Row", 150},
      // One line of 2,000 words wraps over several pages.
      {"one long line", kSummaryPage, RecordWith(NumberedLines("Word", 2000, " ")), "Word", 2000},
  };
  for (const auto& c : cases) {
    for (const bool printing : {false, true}) {
      const Rect page = printing ? kPaper : kScreen;
      ReportDocument doc;
      doc.SetRecords({*c.rec});
      RecordingSurface measure;
      doc.FitPages(measure, page, printing);
      const int parts = PartsOfKind(doc, c.kind);
      EXPECT_GT(parts, 1) << c.what;
      const int first = IndexOfKind(doc, c.kind);
      for (int p = 0; p < parts; ++p) {
        EXPECT_EQ(doc.pages()[first + p], (ReportPage{0, c.kind, p})) << c.what;
      }
      // Lines or words, each once and in order.
      std::string drawn, expected;
      for (const std::string& t :
           TextsOverParts(doc, c.kind, printing, page, std::string(c.stem) + "-")) {
        drawn += (drawn.empty() ? "" : " ") + t;
      }
      for (const std::string& t : Expected(c.stem, c.count)) {
        expected += (expected.empty() ? "" : " ") + t;
      }
      EXPECT_EQ(drawn, expected) << c.what << ", printing " << printing;
    }
  }
}

TEST(TextContinuation, ContinuationPageCarriesHeaderAndCaption) {
  ReportDocument doc;
  doc.SetRecords({*RecordWith(NumberedLines("Line", 300))});
  RecordingSurface measure;
  doc.FitPages(measure, kScreen, false);
  const int first = IndexOfKind(doc, kSummaryPage);
  const int parts = PartsOfKind(doc, kSummaryPage);
  RecordingSurface s;
  CDisplayTest painter;
  painter.Setup(&s, doc.Record(0), false, &doc);
  painter.DrawPage(kScreen, first + 1);
  EXPECT_NE(s.FindText("     FILENAME: N.test"), nullptr);
  EXPECT_FALSE(s.TextsContaining("SUMMARY REPORT").empty());
  EXPECT_NE(s.FindText(Format("Test Notepad (continued, page 2 of %d)", parts)), nullptr);
  // No summary table or plot on the continuation.
  EXPECT_TRUE(s.TextsContaining("NP-Ratio").empty());
  EXPECT_TRUE(s.TextsContaining("CT Excitation Plot").empty());
}

TEST(TextContinuation, CurrentPageStaysAndStaleListsStayValid) {
  ReportDocument doc;
  doc.SetRecords({*RecordWith(NumberedLines("Line", 300))});
  RecordingSurface measure;
  const int plan_before = IndexOfKind(doc, kTestPlanPage);
  ASSERT_TRUE(doc.GoToPage(plan_before));
  doc.FitPages(measure, kScreen, false);
  EXPECT_TRUE(doc.FittedFor(kScreen, false));
  EXPECT_FALSE(doc.FittedFor(kPaper, false));
  EXPECT_EQ(doc.pages()[doc.currentpage()].kind, kTestPlanPage);
  // Standing on the last part, a larger page with fewer parts keeps the
  // page on the summary's last part.
  ASSERT_TRUE(doc.GoToPage(IndexOfKind(doc, kTestPlanPage) - 1));
  doc.FitPages(measure, {0, 0, 4800, 2440}, false);
  EXPECT_EQ(doc.pages()[doc.currentpage()].kind, kSummaryPage);
  EXPECT_EQ(doc.pages()[doc.currentpage() + 1].kind, kTestPlanPage);
  // Drawing a part a list no longer has draws the header alone.
  doc.BuildPageList();
  EXPECT_FALSE(doc.FittedFor({0, 0, 4800, 2440}, false));
  EXPECT_EQ(PartsOfKind(doc, kSummaryPage), 1);
}

TEST(TextFlow, SharesOfABox) {
  RecordingSurface s;
  s.SelectFont({"Courier New", 10, 400, true});  // L 10, a character 5 wide
  const Rect box{0, 0, 100, 35};                 // 3 lines of 20 characters
  const Rect next{0, 0, 100, 50};                // 5 lines
  const struct {
    const char* what;
    std::string text;
    bool wrap;
    Rect first;
    int max_shares;
    std::vector<size_t> starts;
    bool cut;
  } cases[] = {
      {"empty", "", true, box, 9, {0}, false},
      {"fits", "a\rb\rc", true, box, 9, {0}, false},
      {"one more", "a\rb\rc\rd", true, box, 9, {0, 6}, false},
      {"CR LF counts once", "a\r\nb\r\nc\r\nd", true, box, 9, {0, 9}, false},
      {"blank lines left over", "a\rb\rc\r\r\r", true, box, 9, {0}, false},
      {"no room in the first box", "a", true, {0, 0, 100, 5}, 9, {0, 0}, false},
      {"a wrapped line breaks between words",
       "aaaa bbbb cccc dddd eeee ffff gggg",
       true,
       {0, 0, 50, 25},
       9,
       {0, 20},
       false},
      {"unwrapped lines stay whole", "aaaa bbbb cccc dddd eeee ffff", false, box, 9, {0}, false},
      {"at most max shares", "1\r2\r3\r4\r5\r6\r7\r8\r9\r10\r11\r12", true, box, 2, {0, 6}, true},
  };
  for (const auto& c : cases) {
    const TextFlow flow = FlowText(s, c.text, c.wrap, c.first, next, c.max_shares);
    EXPECT_EQ(flow.starts, c.starts) << c.what;
    EXPECT_EQ(flow.cut, c.cut) << c.what;
  }
}

}  // namespace
}  // namespace kova
