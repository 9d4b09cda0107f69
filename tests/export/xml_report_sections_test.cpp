// The report sections document our generator reads beside the XML
// document: the ratio error table as the page lays it out, the
// classification, the metering trace, and the calculation details made from
// the files kept beside the record; none of them in the XML document.

#include "export/xml_report_sections.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <limits>
#include <memory>
#include <string>

#include "assess/comparisons.h"
#include "base/file_io.h"
#include "base/format.h"
#include "base/path.h"
#include "export/export_test_support.h"
#include "export/export_xml.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

TEST(XmlReportSections, RatioErrorTableAsThePageLaysItOut) {
  struct Case {
    const char* table;
    const char* shown;
  };
  const Case cases[] = {
      {"STD BURDEN OHMS VA/COS\r\nB-0.1 0.1\r\n", "STD BURDEN OHMS \r\nVA/COS\r\nB-0.1 0.1\r\n"},
      {"#01 B0.1 PHASE ERROR TABLE #10 x", " B0.1 \r\n\r\nPHASE ERROR TABLE  x"},
      {"plain\r\n", "plain\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.table);
    EXPECT_EQ(RatioErrorTableText(c.table), c.shown);
  }
}

std::string Document(const TestRecord& rec, const ComparisonBands& bands = {}) {
  return BuildReportSectionsBeside(rec, bands);
}

// The sections schema's verdict on a document ("" when it validates).
std::string Validate(const std::string& xml) {
  static int n = 0;
  const std::string path = PathJoin(TempFolder("xml-sections"), Format("s%d.xml", n++));
  if (!WriteFileAtomically(path, xml)) return "not written";
#ifndef _WIN32
  return SchemaErrors(path, SectionsSchemaPath());
#else
  return "";
#endif
}

// The XML document has none of what the sections carry, whatever the record.
void ExpectNoneInTheXmlDocument(const TestRecord& rec) {
  XmlExportContext ctx;
  ctx.now = 1;
  const std::string xml = BuildXmlExport(rec, ctx);
  for (const char* name : {"<classification>", "<ratioerrortable>", "<meteringtrace>",
                           "<calculationdetails>", "<testsection>"}) {
    EXPECT_EQ(CountOf(xml, name), 0) << name;
  }
}

TEST(XmlReportSections, BesideTheXmlDocumentNamedLikeIt) {
  EXPECT_EQ(ReportSectionsPath("/tmp/kova-x/report.xml"), "/tmp/kova-x/report.kova-sections.xml");
  EXPECT_EQ(ReportSectionsPath("a.b.xml"), "a.b.kova-sections.xml");
  // Named like the record as the XML document does, its tests as the XML
  // document lists them (tap order, not storage order).
  auto rec = MakeSampleRecord(1, 3);
  rec->filename = "T1 & co.test";
  const std::string doc = Document(*rec);
  EXPECT_EQ(ElementText(doc, "filename"), "T1 &amp; co.test");
  XmlExportContext ctx;
  const std::string xml = BuildXmlExport(*rec, ctx);
  EXPECT_EQ(ElementText(doc, "testorder", 0), "2");
  EXPECT_EQ(CountOf(doc, "<testsection>"), 3);
  EXPECT_EQ(CountOf(xml, "<test>"), 3);
  for (int k = 0; k < CountOf(xml, "<test>"); ++k) {
    EXPECT_EQ(ElementText(doc, "testnum", k), ElementText(xml, "testnum", k));
    EXPECT_EQ(ElementText(doc, "testorder", k), ElementText(xml, "testorder", k));
  }
  EXPECT_EQ(Validate(doc), "");
}

TEST(XmlReportSections, ClassificationRelayingOrMeteringAndTheMeteringTrace) {
  auto rec = MakeSampleRecord(2, 2);
  rec->taps[0].burdentable = "B-0.1 VA/COS 0.3\r\n";
  rec->taps[0].taptrace = "trace of tap 1";
  rec->classdone = 0;
  std::string xml = Document(*rec);
  EXPECT_EQ(ElementText(xml, "classificationstr"), "Classification: N/A");
  EXPECT_EQ(CountOf(xml, "<classrow>"), 0);
  EXPECT_EQ(CountOf(xml, "<ratioerrortable>"), 1);
  EXPECT_EQ(ElementText(xml, "ratioerrortable"), "B-0.1 \r\nVA/COS 0.3\r\n");
  EXPECT_EQ(CountOf(xml, "<meteringtrace>"), 0);
  EXPECT_EQ(Validate(xml), "");

  rec->classdone = 1;
  rec->classresult = "C200";
  rec->tapmode = "Multi Tap";
  rec->classtap = "X1-X5";
  rec->rows[6].name = "C800";
  rec->rows[6].Vsec = 818.794;
  rec->rows[5].Ztot = std::numeric_limits<double>::infinity();
  rec->Rct75 = 1e300;
  xml = Document(*rec);
  EXPECT_EQ(Validate(xml), "");
  EXPECT_EQ(ElementText(xml, "classrowbtot", 5), "N/A");
  EXPECT_EQ(ElementText(xml, "classificationstr"), "Classification: C200 for Multi Tap: X1-X5");
  EXPECT_EQ(CountOf(xml, "<classrow>"), 7);
  EXPECT_EQ(ElementText(xml, "classrowname", 6), "C800");
  EXPECT_EQ(ElementText(xml, "classrowvsec", 6), "818.79");

  rec->classsettings.ctusage = 2;
  rec->taps[0].taprows[4].rcf100.rcftext = "1.002";
  xml = Document(*rec);
  EXPECT_EQ(CountOf(xml, "<classificationstr>"), 0);
  EXPECT_EQ(CountOf(xml, "<meteringrow>"), 5);
  EXPECT_EQ(ElementText(xml, "rcf100", 4), "1.002");
  EXPECT_EQ(CountOf(xml, "<meteringtrace>"), 2);
  EXPECT_NE(xml.find("<meteringtrace>trace of tap 1</meteringtrace>"), std::string::npos);
  EXPECT_EQ(Validate(xml), "");
  ExpectNoneInTheXmlDocument(*rec);
}

// A record file with its working: the profile and reference kept beside it
// decide what the details carry; every form validates.
TEST(XmlReportSections, CalculationDetailsFromTheFilesBesideTheRecord) {
  const std::string dir = TempFolder("xml-details");
  auto rec = MakeSampleRecord(2, 3, 7);
  rec->fullpath = PathJoin(dir, "r.test");
  const TapTest& tap = rec->taps[0];
  // A reference 10 % above the measured curve of test 1, on its own turns.
  std::string ref = Format("turns,%.4f\nvoltmeter,rms\n", TapTurns(tap));
  for (int i = kMaxDataPoints - 1; i >= 0; --i) {
    if (tap.dpAmps[i] > 0 && tap.dpVolts[i] > 0) {
      ref += Format("%.6f,%.6f\n", tap.dpVolts[i] * 1.10, tap.dpAmps[i]);
    }
  }
  struct Case {
    const char* what;
    const char* profile;  // null: none kept
    bool reference;
    double band;
    const char* expect;  // element that must be there with this text
  };
  const Case cases[] = {
      {"nothing kept: no details", nullptr, false, 5, nullptr},
      {"a profile: the assessment", R"({"class":"5P","isr":5,"alf":20,"burden_va":10})", false, 5,
       "<assessmentclass>5P</assessmentclass>"},
      {"a profile that cannot be used", R"({"class":"5P"})", false, 5, "<profileproblem>"},
      {"a reference outside the band", nullptr, true, 5, "<comparisonresult>FLAGGED<"},
      {"the same inside a wider band", nullptr, true, 20, "<comparisonresult>inside<"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::remove(PathJoin(dir, "r.assess.json").c_str());
    std::remove(PathJoin(dir, "r.reference.csv").c_str());
    if (c.profile != nullptr) {
      ASSERT_TRUE(WriteFileAtomically(PathJoin(dir, "r.assess.json"), std::string(c.profile)));
    }
    if (c.reference) {
      ASSERT_TRUE(WriteFileAtomically(PathJoin(dir, "r.reference.csv"), ref));
    }
    ComparisonBands bands;
    bands.reference_percent = c.band;
    const std::string xml = Document(*rec, bands);
    if (c.expect == nullptr) {
      EXPECT_EQ(CountOf(xml, "<calculationdetails>"), 0);
    } else {
      EXPECT_NE(xml.find(c.expect), std::string::npos) << xml;
      // The working of every test, with its inputs and bracketing points.
      EXPECT_EQ(CountOf(xml, "<explainedtest>"), 3);
      EXPECT_GT(CountOf(xml, "<inputorigin>measured</inputorigin>"), 3);
      EXPECT_GT(CountOf(xml, "<bracket>"), 3);
    }
    EXPECT_EQ(Validate(xml), "");
    ExpectNoneInTheXmlDocument(*rec);
  }
}

}  // namespace
}  // namespace kova
