// The calculation details read as an appendix: one small table per value,
// no heading left alone at a page's foot, no point listed twice, and a
// record of six taps in three pages at most.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "base/format.h"
#include "base/path.h"
#include "report/calc_details_page.h"
#include "report/details_tables.h"
#include "report/recording_surface.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

std::string Trimmed(const std::string& s) {
  const size_t a = s.find_first_not_of(' ');
  return a == std::string::npos ? "" : s.substr(a);
}

TEST(CalculationDetailsLayout, TablesInFewPagesAndNoHeadingAlone) {
  const std::string folder = TempFolder("details-layout");
  ASSERT_TRUE(
      WriteFileAtomically(PathJoin(folder, "p.assess.json"),
                          std::string(R"({"class":"5P","isr":1,"alf":20,"burden_va":10})")));
  ASSERT_TRUE(WriteFileAtomically(PathJoin(folder, "p.reference.csv"),
                                  std::string("turns,120\nvoltmeter,rms\n20,0.0002\n100,0.0008\n"
                                              "200,0.002\n300,0.01\n400,0.1\n")));
  const struct {
    const char* what;
    int model, tests;
    bool profile;
    int most_pages;
    Rect page;
  } cases[] = {
      {"six taps with a profile and a reference, printed portrait",
       2,
       6,
       true,
       3,
       {0, 0, 1700, 2200}},
      {"six taps with a profile and a reference, on screen", 2, 6, true, 3, {0, 0, 2400, 1220}},
      {"twenty taps, printed landscape", 4, 20, false, 9, {0, 357, 6600, 5100}},
      {"one tap", 1, 1, false, 1, {0, 0, 1700, 2200}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    auto rec = MakeSampleRecord(c.model, c.tests);
    rec->fullpath = PathJoin(folder, c.profile ? "p.test" : "q.test");
    const std::vector<std::string> lines = CalculationDetailsLines(*rec);
    if (c.profile) {
      EXPECT_NE(std::find(lines.begin(), lines.end(), "  kept in p.reference.csv"), lines.end());
    }
    const int pages = DetailsPageCount(lines);
    EXPECT_LE(pages, c.most_pages);
    std::vector<std::string> drawn;
    for (int p = 0; p < pages; ++p) {
      SCOPED_TRACE(Format("page %d", p + 1));
      RecordingSurface s;
      DrawCalculationDetails(s, c.page, lines, p);
      std::vector<const DrawOp*> texts;
      for (const DrawOp& op : s.ops()) {
        if (op.kind != DrawOp::kText) continue;
        texts.push_back(&op);
        EXPECT_EQ(op.font.face, "Courier New");
        // A line fits across the page: characters 0.6 of the font's height.
        EXPECT_LE(op.rect.left + static_cast<int>(op.text.size()) * op.font.height * 6 / 10,
                  c.page.right)
            << op.text;
        EXPECT_LE(op.rect.top + op.font.height, c.page.bottom) << op.text;
      }
      ASSERT_GE(texts.size(), 2u);
      EXPECT_EQ(texts[0]->text, Format("Calculation details (%d of %d)", p + 1, pages));
      EXPECT_LE(static_cast<int>(texts.size()) - 1, kDetailsLinesPerPage);
      for (size_t i = 1; i < texts.size(); ++i) drawn.push_back(texts[i]->text);
      // What a page ends with is never a heading without its rows.
      if (p + 1 < pages) {
        const std::string& last = texts.back()->text;
        EXPECT_FALSE(IsDetailsHeading(last)) << last;
        EXPECT_FALSE(last.empty());
      }
      // Nor does a page begin inside a row: its first line starts a row or a block.
      if (p > 0) {
        EXPECT_LT(texts[1]->text.find_first_not_of(' '), 13u) << texts[1]->text;
      }
    }
    // Every line once, in order; blank lines where a page breaks are left out.
    std::vector<std::string> drawn_full;
    for (const std::string& d : drawn)
      if (!d.empty()) drawn_full.push_back(d);
    std::vector<std::string> lines_full;
    for (const std::string& l : lines)
      if (!l.empty()) lines_full.push_back(l);
    EXPECT_EQ(drawn_full, lines_full);
    // Every line within the appendix's width, no value unreadable.
    for (const std::string& l : lines) {
      EXPECT_LE(static_cast<int>(l.size()), kDetailsWidth) << l;
      EXPECT_EQ(l.find('\x1F'), std::string::npos) << l;
    }
  }
}

// One block per quantity, its table naming each test once; the points a
// value was read between are listed each once.
TEST(CalculationDetailsLayout, OneBlockPerQuantityEachPointOnce) {
  auto rec = MakeSampleRecord(2, 6);
  RecordExplanation e = ExplainRecord(*rec, 0, nullptr, nullptr);
  for (const TestExplanation& t : e.tests) {
    for (const Explanation& x : t.items) {
      for (size_t i = 0; i < x.points.size(); ++i) {
        for (size_t j = i + 1; j < x.points.size(); ++j) {
          EXPECT_FALSE(x.points[i].volts == x.points[j].volts &&
                       x.points[i].amps == x.points[j].amps)
              << t.label << ", " << x.quantity << ": a point twice";
        }
      }
    }
  }
  const std::vector<std::string> lines = WorkingTables(e);
  for (const Explanation& x : e.tests[0].items) {
    SCOPED_TRACE(x.quantity);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), x.quantity), 1);
    const auto head = std::find(lines.begin(), lines.end(), x.quantity);
    ASSERT_NE(head, lines.end());
    // rule, formula, inputs and the way it was read, then the table.
    std::vector<std::string> labels;
    auto it = head + 1;
    for (; it != lines.end() && !IsDetailsHeading(*it); ++it) {
      const std::string t = Trimmed(*it);
      if (it->size() > 2 && (*it)[2] != ' ') labels.push_back(t.substr(0, t.find(' ')));
    }
    EXPECT_EQ(labels, (std::vector<std::string>{"rule", "formula", "inputs", "read"}));
    ASSERT_NE(it, lines.end());
    EXPECT_EQ(Trimmed(*it).rfind("test", 0), 0u) << *it;
    int rows = 0;
    for (++it; it != lines.end() && !it->empty(); ++it) {
      if ((*it)[2] != ' ') {
        ++rows;
        EXPECT_NE(it->find(Format("%d X", rows)), std::string::npos) << *it;
        const std::string extrapolated = Trimmed(it->substr(it->size() - 4));
        EXPECT_TRUE(extrapolated == "no" || extrapolated == "yes") << *it;
      }
    }
    EXPECT_EQ(rows, 6);
  }
}

TEST(CalculationDetailsLayout, WordsWrapAtBlanks) {
  const struct {
    const char* text;
    int width;
    std::vector<std::string> want;
  } cases[] = {
      {"", 10, {""}},
      {"one two three", 7, {"one two", "three"}},
      {"one  two", 20, {"one two"}},
      {"abcdefghij k", 4, {"abcd", "efgh", "ij k"}},
      {"1 V, 2 A\n3 V, 4 A", 20, {"1 V, 2 A", "3 V, 4 A"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WrapWords(c.text, c.width), c.want) << c.text;
  }
}

}  // namespace
}  // namespace kova
