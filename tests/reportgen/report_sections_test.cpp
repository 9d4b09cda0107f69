// The generator's reading of the report sections document beside the XML
// document: written by the program, read back into the report the XML
// gave, and refused whole when it is malformed or of another record.

#include "reportgen/report_sections.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "export/export_xml.h"
#include "export/xml_report_sections.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

struct Written {
  std::string xml, sections;
};

Written Write(const TestRecord& rec) {
  XmlExportContext ctx;
  ctx.now = 1;
  return {BuildXmlExport(rec, ctx), BuildReportSectionsBeside(rec, {})};
}

ReportData ReadXml(const std::string& xml) {
  ReportData data;
  std::string error;
  EXPECT_TRUE(ReadReportXml(xml.data(), xml.size(), data, error)) << error;
  return data;
}

std::vector<std::string> Names(const ReportNode& node) {
  std::vector<std::string> names;
  for (const ReportNode& c : node.children) names.push_back(c.name);
  return names;
}

// The sections land where the report looks for them: the classification
// beside the record's elements, each test's table and trace after its
// points, the test elements that name a section not repeated.
TEST(ReportSections, WrittenThenReadBackIntoTheReport) {
  auto rec = MakeSampleRecord(2, 3, 4);
  rec->classsettings.ctusage = 2;
  rec->taps[1].burdentable = "B-0.1 VA/COS 0.3\r\n";
  rec->taps[1].taptrace = "trace of the second";
  const Written w = Write(*rec);
  ReportData data = ReadXml(w.xml);
  const size_t record_elements = data.record.children.size();
  EXPECT_EQ(data.record.Find("classification"), nullptr);
  std::string error;
  ASSERT_TRUE(MergeReportSections(w.sections.data(), w.sections.size(), data, error)) << error;
  ASSERT_EQ(data.record.children.size(), record_elements + 1);
  EXPECT_EQ(data.record.children.back().name, "classification");
  EXPECT_EQ(data.record.FindAll("classification/meteringrow").size(), 5u);
  ASSERT_EQ(data.tests.size(), 3u);
  for (const ReportNode& test : data.tests) {
    const std::vector<std::string> names = Names(test);
    SCOPED_TRACE(test.Find("testorder")->text);
    const bool has_table = test.Find("testorder")->text == "1";
    ASSERT_GE(names.size(), 4u);
    // The points, then the report's number of the test, then the sections.
    EXPECT_EQ(names[names.size() - (has_table ? 4 : 3)], "testdata");
    EXPECT_EQ(names[names.size() - (has_table ? 3 : 2)], "reportnum");
    EXPECT_EQ(names.back(), "meteringtrace");
    EXPECT_EQ(test.FindAll("testnum").size(), 1u);
    EXPECT_EQ(test.FindAll("testorder").size(), 1u);
    if (has_table) {
      // As any XML reader gives it: line ends as line feeds.
      EXPECT_EQ(test.Find("ratioerrortable")->text, "B-0.1 \nVA/COS 0.3\n");
      EXPECT_EQ(test.Find("meteringtrace")->text, "trace of the second");
    }
  }
}

TEST(ReportSections, RefusedWholeWhenMalformedOrOfAnotherRecord) {
  auto rec = MakeSampleRecord(1, 2, 3);
  rec->filename = "r.test";
  const Written w = Write(*rec);
  auto other = MakeSampleRecord(1, 2, 3);
  other->filename = "other.test";
  auto fewer = MakeSampleRecord(1, 1, 3);
  fewer->filename = "r.test";
  std::string swapped = w.sections;
  swapped.replace(swapped.find("<testorder>"), 24, "<testorder>7</testorder>");
  std::string deep = w.sections;
  std::string open, close;
  for (int i = 0; i < kMaxReportDepth; ++i) {
    open += "<e>";
    close += "</e>";
  }
  deep.insert(deep.find("</classification>"), open + "x" + close);
  struct Case {
    const char* what;
    std::string doc;
    const char* error;  // "" when merged
  };
  const Case cases[] = {
      {"as written", w.sections, ""},
      {"cut short", w.sections.substr(0, w.sections.size() / 2), "cannot read"},
      {"empty", "", "cannot read"},
      {"the XML document itself", w.xml, "not kovasections"},
      {"no file name", "<kovasections><classification/></kovasections>", "another record"},
      {"another record", Write(*other).sections, "another record"},
      {"fewer tests", Write(*fewer).sections, "1 test sections for 2 tests"},
      {"another test", swapped, "test section 1 names another test"},
      {"nested too deep", deep, "nests elements more than 16"},
      {"document type", "<!DOCTYPE kovasections [<!ENTITY e \"x\">]><kovasections/>",
       "document type declaration"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ReportData data = ReadXml(w.xml);
    const ReportData before = data;
    std::string error;
    const bool merged = MergeReportSections(c.doc.data(), c.doc.size(), data, error);
    EXPECT_EQ(merged, std::string(c.error).empty());
    EXPECT_NE(error.find(c.error), std::string::npos) << error;
    if (!merged) {
      EXPECT_EQ(data.record.children.size(), before.record.children.size());
      for (size_t t = 0; t < data.tests.size(); ++t) {
        EXPECT_EQ(Names(data.tests[t]), Names(before.tests[t]));
      }
    }
  }
  ReportData data = ReadXml(w.xml);
  std::string error;
  EXPECT_FALSE(LoadReportSections("/nonexistent/r.kova-sections.xml", data, error));
  EXPECT_NE(error.find("cannot read the report sections"), std::string::npos) << error;
}

}  // namespace
}  // namespace kova
