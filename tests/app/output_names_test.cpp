// The names one export run hands out, and the whole-PDF check every PDF
// passes before it counts as written.

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "app/output_rule.h"
#include "base/file_io.h"
#include "base/format.h"
#include "base/path.h"
#include "export/whole_pdf.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

TEST(ExportNames, SameNamesNumberedInputsRefusedAcrossSpellings) {
  const std::string dir = TempFolder("export-names");
  const std::string input = PathJoin(dir, "r.txt");
  ASSERT_TRUE(WriteFileAtomically(input, std::string("in")));
  ExportNames names({input});
  EXPECT_EQ(names.Claim(input), "");
  EXPECT_EQ(names.Claim(dir + "/./sub/../r.txt"), "");
  const std::string out = PathJoin(dir, "out.txt");
  EXPECT_EQ(names.Claim(out), out);
  EXPECT_EQ(names.Claim(out), PathJoin(dir, "out (2).txt"));
  EXPECT_EQ(names.Claim(dir + "/./out.txt"), PathJoin(dir + "/.", "out (3).txt"));
  // A numbered name claimed directly is skipped by the numbering.
  EXPECT_EQ(names.Claim(PathJoin(dir, "b (2).txt")), PathJoin(dir, "b (2).txt"));
  EXPECT_EQ(names.Claim(PathJoin(dir, "b.txt")), PathJoin(dir, "b.txt"));
  EXPECT_EQ(names.Claim(PathJoin(dir, "b.txt")), PathJoin(dir, "b (3).txt"));
}

// A thousand records of one name get a thousand distinct names.
TEST(ExportNames, AThousandSameNamesAllDistinct) {
  const std::string dir = TempFolder("export-names-many");
  ExportNames names({});
  std::set<std::string> given;
  for (int i = 0; i < 1000; ++i) given.insert(names.Claim(PathJoin(dir, "r.pdf")));
  EXPECT_EQ(given.size(), 1000u);
  EXPECT_EQ(given.count(PathJoin(dir, "r (1000).pdf")), 1u);
}

TEST(WholePdf, BeginningAndEndBothNeeded) {
  const struct {
    std::string bytes;
    bool whole;
  } cases[] = {
      {"%PDF-1.4\n1 0 obj\nendobj\n%%EOF\n", true},
      {"%PDF-1.4\n%%EOF", true},
      {"%PDF-1.4\n%%EOF\r\n  \n", true},
      {"%PDF-1.4\n1 0 obj\n", false},  // cut short
      {"%PDF-1.4\n%%EO", false},       // cut in the last line
      {"%PDF", false},                 // just a start
      {"<xml/>\n%%EOF\n", false},      // not a PDF
      {"", false},
      {"%PDF-%%EOF", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsWholePdf(c.bytes.data(), c.bytes.size()), c.whole) << c.bytes;
  }
}

}  // namespace
}  // namespace kova
