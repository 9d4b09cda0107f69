// The generator's reading of the record's XML document: the record's part,
// each test with everything below it, paths, and what it refuses.

#include <gtest/gtest.h>

#include <string>

#include "reportgen/report_xml.h"

namespace kova {
namespace {

bool Read(const std::string& doc, ReportData& data, std::string& error) {
  return ReadReportXml(doc.data(), doc.size(), data, error);
}

TEST(ReportXml, RecordPartAndTestsKeepTheirNestedElements) {
  const std::string doc =
      "<helmarkreport><helmarkreport_Id>1</helmarkreport_Id>"
      "<reportinfo><filename>a &amp; b</filename></reportinfo>"
      "<kovareport><reportdata><numtests>2</numtests></reportdata>"
      "<classification><classrow><classrowname>C10</classrowname></classrow>"
      "<classrow><classrowname>C20</classrowname></classrow></classification>"
      "<test><testnum>1</testnum><testdata><datapoint><dpAmps>0.1</dpAmps></datapoint>"
      "<datapoint><dpAmps>0.2</dpAmps></datapoint></testdata></test>"
      "<test><testnum>2</testnum><testdata/></test>"
      "<calculationdetails><explainedtest><explainedtap>X1-X2</explainedtap></explainedtest>"
      "</calculationdetails></kovareport></helmarkreport>";
  ReportData data;
  std::string error;
  ASSERT_TRUE(Read(doc, data, error)) << error;
  // The record: reportinfo's and reportdata's elements, then the other sections.
  ASSERT_EQ(data.record.children.size(), 4u);
  EXPECT_EQ(data.record.Find("filename")->text, "a & b");
  EXPECT_EQ(data.record.Find("numtests")->text, "2");
  EXPECT_EQ(data.record.Find("classification/classrow/classrowname")->text, "C10");
  EXPECT_EQ(data.record.FindAll("classification/classrow").size(), 2u);
  EXPECT_EQ(data.record.Find("calculationdetails/explainedtest/explainedtap")->text, "X1-X2");
  EXPECT_EQ(data.record.Find("helmarkreport_Id"), nullptr);
  ASSERT_EQ(data.tests.size(), 2u);
  EXPECT_EQ(data.tests[0].FindAll("testdata/datapoint").size(), 2u);
  EXPECT_EQ(data.tests[0].FindAll("testdata/datapoint")[1]->Find("dpAmps")->text, "0.2");
  EXPECT_TRUE(data.tests[1].FindAll("testdata/datapoint").empty());
  EXPECT_FALSE(data.tests[1].Find("testdata")->HasContent());
  EXPECT_TRUE(data.record.FindAll("nothing/classrow").empty());
}

TEST(ReportXml, RefusesWhatItCannotReadSafely) {
  auto nested = [](int levels) {
    std::string open, close;
    for (int i = 0; i < levels; ++i) {
      open += "<e>";
      close = "</e>" + close;
    }
    return "<r><kovareport><test>" + open + "x" + close + "</test></kovareport></r>";
  };
  struct Case {
    const char* what;
    std::string doc;
    const char* error;  // "" when read
  };
  const Case cases[] = {
      {"deepest allowed", nested(kMaxReportDepth - 3), ""},
      {"one level deeper", nested(kMaxReportDepth - 2), "nests elements more than 16"},
      {"document type", "<!DOCTYPE r [<!ENTITY e \"x\">]><r/>", "document type declaration"},
      {"not well-formed", "<r><a></r>", "cannot read"},
      {"empty", "", "cannot read"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ReportData data;
    std::string error;
    EXPECT_EQ(Read(c.doc, data, error), std::string(c.error).empty());
    EXPECT_NE(error.find(c.error), std::string::npos) << error;
  }
}

}  // namespace
}  // namespace kova
