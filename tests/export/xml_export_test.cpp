#include "export/export_xml.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>

#include <limits>
#include <memory>

#include "analysis/taps.h"
#include "base/format.h"
#include "base/path.h"
#include "export/export_test_support.h"
#include "export/xml_writer.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

constexpr std::time_t kNoon = 1700000000;  // a fixed report date

XmlExportContext Context() {
  XmlExportContext ctx;
  ctx.install_dir = "/opt/kova/";
  ctx.report_logo = "/opt/kova/report_logo.bmp";
  ctx.now = kNoon;
  return ctx;
}

// One model 1 test on X1-X5 with known values and pass/fail on.
std::unique_ptr<TestRecord> KnownRecord() {
  auto rec = std::make_unique<TestRecord>();
  rec->deviceversion = 1;
  rec->filename = "T1.test";
  rec->testdatetime = "12/31/15 10:45:00";
  rec->company = "A&B <Power>";
  rec->operatorname = "J\xD8RN\tX";
  rec->KneeTypeName(1);
  rec->taporder = DefaultTapOrder();
  rec->numtests = 1;
  rec->passfail.pfenable = 1;
  rec->passfail.pfkneevoltage[TapPosition(4)] = 240;  // X1-X5
  rec->resistance.pfresistance[TapPosition(4)] = 1.5;
  TapTest& tap = rec->taps[0];
  tap.nTapConnection = 4;
  tap.szTestNote = "<A&B>";
  tap.fKneeVtg30 = 240.5;
  tap.fKneeCur30 = 0.0025;
  tap.nNamePlateNum = 600;
  tap.fNamePlateDen = 5.0;
  tap.uTestType = kRatioTest | kResistanceTest | kExcitationTest;
  tap.fTestRatio = 119.7;
  tap.fWindingRes = 1500;
  tap.fTestPhase = 185;
  tap.dpVolts[0] = 100;
  tap.dpAmps[0] = 0.01;
  tap.dpVolts[5] = 50;  // no current: no element, no number
  tap.dpAmps[31] = 0.0005;
  tap.graph[0] = {0.01, 100, 7};
  tap.graph[3] = {0, 5, 0};
  tap.burdentable = "#01 B0.1 PHASE ERROR TABLE #10 x";
  return rec;
}

TEST(XmlWriter, LayoutOfElements) {
  XmlWriter w;
  w.OpenElement("a");
  w.IntElement("i", -3);
  w.RealElement("r", 2.5);
  w.RealElement("nan", std::numeric_limits<double>::quiet_NaN());
  w.OpenElement("b");
  w.TextElement("t", "x");
  w.CloseElement("b");
  w.CloseElement("a");
  EXPECT_EQ(w.Text(),
            "<a>\r\n\t<i>-3</i>\r\n\t<r>2.5000</r>\r\n\t<nan>N/A</nan>\r\n\t<b>\r\n"
            "\t\t<t>x</t>\r\n\t</b>\r\n</a>\r\n");
  EXPECT_EQ(w.Depth(), 0);
}

TEST(XmlWriter, Escaping) {
  const struct {
    std::string in, out;
  } cases[] = {
      {"<A&B>", "&lt;A&amp;B&gt;"},
      {"it's \"q\"", "it&apos;s &quot;q&quot;"},
      {"a\tb\x01\x7F"
       "c",
       "abc"},                                 // tab, controls and DEL dropped
      {std::string("x\0y", 3), "xy"},          // NUL dropped
      {"l1\r\nl2", "l1\r\nl2"},                // line ends stay
      {"90\xB0 \xD8", "90\xC2\xB0 \xC3\x98"},  // degree sign and O slash to UTF-8
      {"\x80", "\xE2\x82\xAC"},                // euro sign
      {"&amp;", "&amp;amp;"},                  // no double decoding
  };
  for (const auto& c : cases) EXPECT_EQ(EscapeXmlText(c.in), c.out) << c.in;
}

TEST(XmlExport, DocumentShape) {
  auto rec = KnownRecord();
  const std::string xml = BuildXmlExport(*rec, Context());
  EXPECT_EQ(xml.rfind("<helmarkreport>\r\n\t<helmarkreport_Id>1</helmarkreport_Id>\r\n", 0), 0u);
  EXPECT_EQ(xml.substr(xml.size() - 18), "</helmarkreport>\r\n");
  EXPECT_EQ(xml.find("<?xml"), std::string::npos);
  EXPECT_EQ(CountOf(xml, "\n"), CountOf(xml, "\r\n"));
  EXPECT_NE(xml.find("\r\n\t\t\t<testnum>1</testnum>\r\n"), std::string::npos);
  EXPECT_EQ(ElementText(xml, "company"), "A&amp;B &lt;Power&gt;");
  EXPECT_EQ(ElementText(xml, "operatorname"), "J\xC3\x98RNX");
  EXPECT_EQ(ElementText(xml, "szTestNote"), "&lt;A&amp;B&gt;");
  EXPECT_EQ(ElementText(xml, "programversion"), "3.0");
  EXPECT_EQ(ElementText(xml, "reportlogo"), "/opt/kova/report_logo.bmp");
  EXPECT_EQ(ElementText(xml, "reportdatetime"), ReportDateText(kNoon));
  EXPECT_EQ(ElementText(xml, "testimagecolorfile"), "/opt/kova/TestColor1.bmp");
  EXPECT_EQ(ElementText(xml, "burdentable"), " B0.1 \r\n\r\nPHASE ERROR TABLE  x");
  // Data points from the last slot down, with a current only.
  EXPECT_EQ(CountOf(xml, "<datapoint>"), 2);
  EXPECT_EQ(ElementText(xml, "dpAmps", 0), "0.0005");
  EXPECT_EQ(ElementText(xml, "dpRes", 0), "0.00");
  EXPECT_EQ(ElementText(xml, "dpPoint", 1), "2");
  EXPECT_EQ(ElementText(xml, "dpRes", 1), "10000.00");
  EXPECT_EQ(CountOf(xml, "<graphpoint>"), 2);
  EXPECT_EQ(ElementText(xml, "gpAmps", 1), "0.0000");
  EXPECT_EQ(ElementText(xml, "gpRes", 1), "");
  EXPECT_EQ(ElementText(xml, "gpPoint", 1), "2");
}

TEST(XmlExport, ReportDateFormat) {
  const std::string t = ReportDateText(kNoon);
  // "Nov 14, 2023 10:13 PM" in any time zone's shape.
  ASSERT_EQ(t.size(), 21u) << t;
  EXPECT_EQ(t[3], ' ');
  EXPECT_EQ(t.substr(6, 2), ", ");
  EXPECT_TRUE(t.substr(19) == "AM" || t.substr(19) == "PM") << t;
}

// The report date reads the same under every locale: month names and the
// AM/PM marker are the program's own, not the user's language.
TEST(XmlExport, ReportDateIgnoresTheUsersLanguage) {
  const std::string c_locale = ReportDateText(kNoon);
  const char* old = std::setlocale(LC_TIME, nullptr);
  const std::string keep = old ? old : "C";
  bool switched = false;
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"}) {
    if (std::setlocale(LC_TIME, name)) {
      switched = true;
      break;
    }
  }
#ifndef _WIN32
  if (!switched) {
    const std::string dir = TempFolder("time-locale");
    const std::string cmd = "localedef -i de_DE -f UTF-8 '" + dir + "/de_DE.UTF-8' >/dev/null 2>&1";
    if (std::system(cmd.c_str()) == 0) {
      setenv("LOCPATH", dir.c_str(), 1);
      switched = std::setlocale(LC_TIME, "de_DE.UTF-8") != nullptr;
    }
  }
#endif
  const std::string other = ReportDateText(kNoon);
  std::setlocale(LC_TIME, keep.c_str());
  if (!switched) GTEST_SKIP() << "no locale with other month names can be made here";
  EXPECT_EQ(other, c_locale);
}

// File names in the document are UTF-8 once: a UTF-8 name as it is, a name
// in an 8-bit encoding read as Windows-1252; never encoded twice.
TEST(XmlWriter, FileNamesAreEncodedOnce) {
  struct Case {
    std::string name, want;
    bool utf8;
  };
  const Case cases[] = {
      {"plain/r.test", "plain/r.test", true},
      {"Pr\xC3\xBC"
       "fung/Z\xC3\xA4hler.test",
       "Pr\xC3\xBC"
       "fung/Z\xC3\xA4hler.test",
       true},
      {"Z\xE4hler & <b>.test", "Z\xC3\xA4hler &amp; &lt;b&gt;.test", false},
      {"cut\xC3", "cut\xC3\x83", false},
      {"overlong\xC0\xAF", "overlong\xC3\x80\xC2\xAF", false},
      {"surrogate\xED\xA0\x80", "surrogate\xC3\xAD\xC2\xA0\xE2\x82\xAC", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(IsUtf8(c.name), c.utf8);
#ifndef _WIN32
    XmlWriter w;
    w.PathElement("f", c.name);
    EXPECT_EQ(w.Text(), "<f>" + c.want + "</f>\r\n");
#endif
  }
}

// Per-test values by phase, pass/fail, resistance and ratio.
TEST(XmlExport, TestValuesTable) {
  const struct {
    const char* what;
    double phase;
    int pfenable;
    int type;
    int np_num;
    double res;
    const char* element;
    const char* expected;
  } cases[] = {
      {"out of phase", 185, 1, 3, 600, 1500, "phaseangle", "185.00\xC2\xB0 [Out \xC3\x98]"},
      {"out of phase, p/f", 185, 1, 3, 600, 1500, "phaseanglepf", "185.00\xC2\xB0 [F]"},
      {"neither", 90, 1, 3, 600, 1500, "phaseangle", "90.00\xC2\xB0 "},
      {"neither, p/f", 90, 1, 3, 600, 1500, "phaseanglepf", "90.00\xC2\xB0 "},
      {"in phase, p/f off", 2, 0, 3, 600, 1500, "phaseanglepf", "2.00\xC2\xB0 "},
      {"in phase", -1, 1, 3, 600, 1500, "phaseanglepf", "-1.00\xC2\xB0 [P]"},
      {"not measured", 400, 1, 3, 600, 1500, "phaseangle", "N/A"},
      {"not measured, p/f", 400, 1, 3, 600, 1500, "phaseanglepf", ""},
      {"not measured value", 400, 1, 3, 600, 1500, "fTestPhase", "N/A"},
      {"p/f off: no knee", 0, 0, 3, 600, 1500, "pfkneevoltagestr", ""},
      {"p/f on: knee", 0, 1, 3, 600, 1500, "pfkneevoltagestr", "240.50 [P]"},
      {"p/f off: pf = error", 0, 0, 3, 600, 1500, "percenterrorpf", "0.2500"},
      {"p/f on: [P]", 0, 1, 3, 600, 1500, "percenterrorpf", "0.2500 [P]"},
      {"p/f off: no res mark", 0, 0, 3, 600, 1500, "fWindingRes", "1.50 ohms "},
      {"p/f on: res mark", 0, 1, 3, 600, 1500, "fWindingRes", "1.50 ohms [P]"},
      {"p/f on: res fails", 0, 1, 3, 600, 800, "fWindingRes", "800.00 milliohms [F]"},
      {"resistance off", 0, 1, 1, 600, 1500, "fWindingRes", ""},
      {"resistance off 2", 0, 1, 1, 600, 1500, "windingres", ""},
      {"ratio off", 0, 1, 2, 600, 1500, "percenterror", ""},
      {"ratio off: N/A", 0, 1, 2, 600, 1500, "fTestRatio", "N/A"},
      {"nameplate 0", 0, 1, 3, 0, 1500, "percenterror", "0.0000"},
      {"nameplate 0 text", 0, 1, 3, 0, 1500, "nameplateratio", "N/A"},
  };
  for (const auto& c : cases) {
    auto rec = KnownRecord();
    TapTest& tap = rec->taps[0];
    tap.fTestPhase = c.phase;
    rec->passfail.pfenable = c.pfenable;
    tap.uTestType = c.type;
    tap.nNamePlateNum = c.np_num;
    tap.fWindingRes = c.res;
    const std::string xml = BuildXmlExport(*rec, Context());
    EXPECT_EQ(ElementText(xml, c.element), c.expected) << c.what;
  }
}

TEST(XmlExport, BurdenAndInsulationOnlyFromModel2) {
  for (int model : {1, 2, 3, 4}) {
    auto rec = KnownRecord();
    rec->deviceversion = model;
    rec->burdenenabled = 5;
    rec->insulationenabled = 1;
    rec->B200fBurdenReqCur = 5.9;
    rec->B200fMeggerOhms = 1000.5;
    const std::string xml = BuildXmlExport(*rec, Context());
    EXPECT_EQ(ElementText(xml, "burdenenabled"), "1");
    EXPECT_EQ(xml.find("<B200fBurdenReqCur>") != std::string::npos, model == 2) << model;
    EXPECT_EQ(xml.find("<B200fMeggerOhms>") != std::string::npos, model == 2) << model;
    if (model == 2) {
      EXPECT_EQ(ElementText(xml, "B200fBurdenReqCur"), "5");
      EXPECT_EQ(ElementText(xml, "B200fMeggerOhms"), "&gt;1,000 MEG-OHMS");
    }
  }
}

TEST(XmlExport, TestsFollowTheTapOrder) {
  auto rec = MakeSampleRecord(2, 3);
  rec->taporder = "X2-X5,X1-X5,X1-X2";  // codes 7, 4, 1
  const int taps[] = {4, 7, 1};
  for (int t = 0; t < 3; ++t) rec->taps[t].nTapConnection = taps[t];
  const std::string xml = BuildXmlExport(*rec, Context());
  ASSERT_EQ(CountOf(xml, "<test>"), 3);
  EXPECT_EQ(ElementText(xml, "testorder", 0), "1");
  EXPECT_EQ(ElementText(xml, "testorder", 1), "0");
  EXPECT_EQ(ElementText(xml, "testorder", 2), "2");
  EXPECT_EQ(ElementText(xml, "testimagecolorfile", 0), "/opt/kova/TestColor2.bmp");

  // A single test whose tap is not in the order: report data, no test.
  auto lone = KnownRecord();
  lone->taporder = "X1-X2";
  const std::string only = BuildXmlExport(*lone, Context());
  EXPECT_EQ(CountOf(only, "<test>"), 0);
  EXPECT_NE(only.find("</reportdata>\r\n\t</kovareport>"), std::string::npos);
}

TEST(XmlExport, WrittenDocumentsValidateAgainstTheSchema) {
  const std::string dir = TempFolder("xml-schema");
  std::vector<std::unique_ptr<TestRecord>> records;
  for (int model = 1; model <= 4; ++model) records.push_back(MakeSampleRecord(model, 5, model));
  records.push_back(KnownRecord());
  auto lone = KnownRecord();
  lone->taporder = "X1-X2";
  records.push_back(std::move(lone));
  auto odd = MakeSampleRecord(2, 2);
  odd->burdenenabled = odd->insulationenabled = 1;
  odd->taps[0].fTestPhase = 400;
  odd->taps[0].fKneeVtg30 = std::numeric_limits<double>::infinity();
  odd->taps[1].nNamePlateNum = 0;
  odd->passfail.pfenable = 1;
  odd->testnote = "notes\r\n\"quoted\" & <tagged>\t\x01";
  records.push_back(std::move(odd));
  // Finite values of any size a record can hold: printed with their
  // decimals they pass the 24 digits a validator's xs:decimal takes.
  auto huge = MakeSampleRecord(2, 2);
  huge->taps[0].fKneeVtg30 = 1e22;
  huge->taps[0].fTestRatio = -9.9e300;
  huge->taps[1].fTestPhase = 1.7e308;
  huge->taps[1].graph[0].gpAmps = 1e25;
  records.push_back(std::move(huge));
  for (size_t i = 0; i < records.size(); ++i) {
    const std::string path = PathJoin(dir, Format("r%d.xml", static_cast<int>(i)));
    ASSERT_TRUE(ExportXml(*records[i], path, Context()));
#ifndef _WIN32
    EXPECT_EQ(SchemaErrors(path), "") << "record " << i;
#endif
  }
  EXPECT_FALSE(ExportXml(*records[0], PathJoin(dir, "missing/folder/x.xml"), Context()));
#ifdef _WIN32
  GTEST_SKIP() << "written, but not validated: xmllint runs on the Linux build only";
#endif
}

}  // namespace
}  // namespace kova
