#include "export/text_export.h"
#include "analysis/compute_derived.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>

#include "base/file_io.h"
#include "base/format.h"
#include "base/path.h"
#include "export/record_json.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

// A hand-made model 1 record with one test whose every line is known.
std::unique_ptr<TestRecord> KnownRecord() {
  auto rec = std::make_unique<TestRecord>();
  rec->deviceversion = 1;
  rec->filename = "T1.test";
  rec->testdatetime = "12/31/15 10:45:00";
  rec->numtests = 1;
  rec->company = "ACME";
  rec->circuit = "F12";
  rec->model = "CT-600";
  rec->station = "NORTH";
  rec->manufacturer = "HELMARK";
  rec->serialnumber = "SN1";
  rec->operatorname = "J\xD8RN";  // Windows-1252 O slash stays one byte
  rec->comment = "ANNUAL";
  rec->KneeTypeName(2);
  rec->frequency = 1;
  rec->testnote = "first\r\nsecond\nthird";
  TapTest& tap = rec->taps[0];
  tap.szTestNote = "TAP 1";
  tap.nTapConnection = 4;
  tap.fKneeVtg30 = 240.5;
  tap.fKneeCur30 = 0.0025;
  tap.fKneeVtg45 = 216;
  tap.fKneeCur45 = 0.002;
  tap.fKneeVtg10 = 264.25;
  tap.fKneeCur10 = 0.004;
  tap.nNamePlateNum = 600;
  tap.fNamePlateDen = 5.0;
  tap.uTestType = kRatioTest | kResistanceTest | kExcitationTest;
  tap.fTestRatio = 119.7;  // -0.25 %
  tap.fTestRatioVtg = 10;
  tap.fTestRatioCur = 0.05;
  tap.fWindingRes = 1500;
  tap.fTestPhase = -0.5;
  tap.dpVolts[0] = 100;
  tap.dpAmps[0] = 0.01;
  tap.dpVolts[1] = 50;
  tap.dpAmps[1] = 0.004;
  tap.dpAmps[31] = 0.0005;  // no voltage: impedance 0
  tap.graph[0] = {0.01, 100, 7};
  tap.graph[1] = {0, 5, 0};  // no current: no impedance
  return rec;
}

TEST(TextExport, EveryLineOfAKnownRecord) {
  auto rec = KnownRecord();
  std::string expected =
      "FILENAME: T1.test\r\n"
      "DATE: 12/31/15 10:45:00\r\n"
      "# TESTS 1\r\n"
      "COMPANY: ACME\r\n"
      "CIRCUIT: F12\r\n"
      "MODEL: CT-600\r\n"
      "STATION: NORTH\r\n"
      "MFR: HELMARK\r\n"
      "SN: SN1\r\n"
      "OPERATOR: J\xD8RN\r\n"
      "COMMENTS: ANNUAL\r\n"
      "KNEE TYPE: IEEE 45 Deg\r\n"
      "FREQUENCY: 50 Hz\r\n"
      "\r\n"
      "\r\nTEST # 1\r\n\r\n"
      "TEST NOTES: TAP 1\r\n"
      "TAP: X1-X5\r\n"
      "IEEE 30 Vkp[Volts]: 240.500\r\n"
      "IEEE 30 Ikp[Amps]: 0.0025\r\n"
      "IEEE 45 Vkp[Volts]: 216.000\r\n"
      "IEEE 45 Ikp[Amps]: 0.0020\r\n"
      "IEC 10/50 Vkp[Volts]: 264.250\r\n"
      "IEC 10/50 Ikp[Amps]: 0.0040\r\n"
      "NP-RATIO: 600/5.0\r\n"
      "M-RATIO: 119.700\r\n"
      "% ERROR 0.2500\r\n"
      "Ex V[Volts]: 10.000\r\n"
      "Ex I[Amps]: 0.050\r\n"
      "Winding Res: 1.50 ohms\r\n"
      "Phase Angle: -0.50\r\n"
      "Phase Angle Is: In Phase\r\n"
      "\r\nDATA POINTS\tCUR(A)\tVTG(V)\tZ(OHM)\r\n"
      "1\t0.0005\t0.00\t0.00\r\n";
  for (int n = 2; n <= 30; ++n) expected += Format("%d\t0.0000\t0.00\t\r\n", n);
  expected +=
      "31\t0.0040\t50.00\t12500.00\r\n"
      "32\t0.0100\t100.00\t10000.00\r\n"
      "\r\nGRAPH POINTS\tCUR(A)\tVTG(V)\tZ(OHM)\r\n"
      "1\t0.0100\t100.00\t10000.00\r\n"
      "2\t0.0000\t5.00\t\r\n";
  for (int g = 3; g <= 21; ++g) expected += Format("%d\t\t\t\r\n", g);
  expected += "\r\nNOTE PAD:\r\nfirst\r\nsecond\r\nthird\r\n";
  EXPECT_EQ(BuildTextExport(*rec), expected);
}

// The first line of the text that starts with `prefix`.
std::string Line(const std::string& text, const std::string& prefix) {
  const size_t at = text.find("\r\n" + prefix);
  if (at == std::string::npos) return "<missing " + prefix + ">";
  const size_t end = text.find("\r\n", at + 2);
  return text.substr(at + 2, end - at - 2);
}

TEST(TextExport, NotAvailableValues) {
  auto rec = KnownRecord();
  TapTest& tap = rec->taps[0];
  tap.fTestRatio = 120;  // error exactly 0
  tap.fWindingRes = 999.99;
  tap.fTestPhase = 999;
  rec->frequency = 0;
  std::string text = BuildTextExport(*rec);
  EXPECT_EQ(Line(text, "% ERROR"), "% ERROR N/A");
  EXPECT_EQ(Line(text, "Winding Res"), "Winding Res: 999.99 milliohms");
  EXPECT_EQ(Line(text, "Phase Angle:"), "Phase Angle: N/A");
  EXPECT_EQ(Line(text, "Phase Angle Is"), "Phase Angle Is: N/A");
  EXPECT_EQ(Line(text, "FREQUENCY"), "FREQUENCY: 60 Hz");

  tap.uTestType = kExcitationTest;  // neither ratio nor resistance measured
  tap.fTestPhase = 182;
  text = BuildTextExport(*rec);
  EXPECT_EQ(Line(text, "M-RATIO"), "M-RATIO: N/A");
  EXPECT_EQ(Line(text, "% ERROR"), "% ERROR N/A");
  EXPECT_EQ(Line(text, "Winding Res"), "Winding Res: N/A");
  EXPECT_EQ(Line(text, "Phase Angle Is"), "Phase Angle Is: Out of Phase");

  tap.uTestType = kRatioTest;
  tap.fNamePlateDen = 0;  // no nameplate ratio
  text = BuildTextExport(*rec);
  EXPECT_EQ(Line(text, "NP-RATIO"), "NP-RATIO: 600/0.0");
  EXPECT_EQ(Line(text, "% ERROR"), "% ERROR N/A");
}

TEST(TextExport, NameplatePrimaryZeroPrintsNotAvailable) {
  auto rec = KnownRecord();
  TapTest& tap = rec->taps[0];
  tap.nNamePlateNum = 0;
  for (double ratio : {121.2, 0.0}) {
    tap.fTestRatio = ratio;
    const std::string text = BuildTextExport(*rec);
    EXPECT_EQ(Line(text, "NP-RATIO"), "NP-RATIO: 0/5.0");
    EXPECT_EQ(Line(text, "% ERROR"), "% ERROR N/A") << ratio;
  }
}

TEST(TextExport, DataPointLinesPerModel) {
  for (int model = 1; model <= 4; ++model) {
    auto rec = MakeSampleRecord(model, 2, 3);
    const std::string text = BuildTextExport(*rec);
    const int slots = model == 2 ? 64 : 32;
    const size_t start = text.find("DATA POINTS");
    const size_t graph = text.find("\r\nGRAPH POINTS", start);
    ASSERT_NE(graph, std::string::npos);
    const std::string block = text.substr(start, graph - start);
    int lines = 0;
    for (size_t at = block.find("\r\n"); at != std::string::npos; at = block.find("\r\n", at + 2)) {
      ++lines;
    }
    // The header line, the points, and the blank line before GRAPH POINTS.
    EXPECT_EQ(lines, slots + 1) << model;
    // The last place comes first, slot 0 (the highest voltage) last.
    const TapTest& tap = rec->taps[0];
    EXPECT_NE(block.find(Format("%d\t%2.4f\t%3.2f\t", slots, tap.dpAmps[0], tap.dpVolts[0])),
              std::string::npos)
        << model;
  }
}

TEST(TextExport, BurdenAndInsulationPerTestWithTheBit) {
  auto rec = MakeSampleRecord(2, 3, 5);
  rec->taps[0].uTestType = kRatioTest | kBurdenTest;
  rec->taps[1].uTestType = kRatioTest;
  rec->taps[2].uTestType = kBurdenTest | kInsulationTest;
  rec->B200fBurdenReqCur = 5.7;
  rec->B200fMeggerOhms = 1000;
  const std::string text = BuildTextExport(*rec);
  const std::string burden =
      "\r\nBURDEN TEST RESULTS\r\n\r\n"
      "5 AMP BURDEN TEST\r\n"
      "MEASURED CURRENT: 4.998 A\r\n"
      "MEASURED VOLTAGE: 2.500 V, 36.87 DEG\r\n"
      "IMPEDANCE    (Z): 0.500 OHMS\r\n"
      "BURDEN: 12.495 VA\r\n"
      "POWER FACTOR: 0.800\r\n";
  const std::string insulation =
      "\r\n1000V INSULATION RES TEST RESULTS\r\n\r\n"
      "VOLTAGE: 1002.5 V\r\n"
      "CURRENT: 0.5 MICRO-AMPS\r\n"
      "RESISTANCE: 1000.00 MEG-OHMS\r\n";
  const size_t test2 = text.find("TEST # 2");
  const size_t test3 = text.find("TEST # 3");
  const size_t first = text.find(burden);
  ASSERT_NE(first, std::string::npos) << text;
  EXPECT_LT(first, test2);
  const size_t second = text.find(burden, first + 1);
  EXPECT_GT(second, test3);
  EXPECT_EQ(text.find(insulation), second + burden.size());
  EXPECT_EQ(text.find("INSULATION"), text.rfind("INSULATION"));

  rec->B200fMeggerOhms = 1000.01;
  EXPECT_NE(BuildTextExport(*rec).find("RESISTANCE: >1,000 MEG-OHMS\r\n"), std::string::npos);
}

TEST(TextExport, OnlyCrLfLineEnds) {
  auto rec = MakeSampleRecord(2, 10, 4);
  rec->testnote = "a\nb\r\nc\n";
  rec->company = "X\nY";
  const std::string text = BuildTextExport(*rec);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') {
      ASSERT_GT(i, 0u);
      EXPECT_EQ(text[i - 1], '\r') << i;
    }
    if (text[i] == '\r') {
      ASSERT_LT(i + 1, text.size());
      EXPECT_EQ(text[i + 1], '\n') << i;
    }
  }
  const std::string tail = "\r\nNOTE PAD:\r\na\r\nb\r\nc\r\n\r\n";
  ASSERT_GT(text.size(), tail.size());
  EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
}

TEST(TextExport, NoNotANumberReachesTheTextOrTheJson) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  auto rec = MakeSampleRecord(4, 2, 11);
  TapTest& tap = rec->taps[0];
  tap.uTestType = 0x1F;
  tap.fKneeVtg30 = nan;
  tap.fKneeCur45 = -inf;
  tap.fTestRatio = inf;
  tap.fWindingRes = nan;
  tap.fTestPhase = nan;
  tap.fTestRatioVtg = inf;
  tap.dpAmps[3] = nan;
  tap.dpVolts[4] = inf;
  tap.dpAmps[5] = 1e-320;  // volts / amps overflows
  tap.dpVolts[5] = 100;
  tap.graph[2] = {nan, 1, 0};
  rec->taps[1].nNamePlateNum = 0;
  rec->taps[1].fTestRatio = 0;
  rec->B200fBurdenReqCur = nan;
  rec->B200fBurdenZ = inf;
  rec->B200fMeggerOhms = nan;
  rec->B200fMeggerReqV = 1e20;
  rec->classsettings.tempcelsius = -234.5;
  ComputeDerived(*rec);
  rec->classsettings.ctusage = 2;
  auto metering = std::make_unique<TestRecord>(*rec);
  ComputeDerived(*metering);
  for (const TestRecord* r : {rec.get(), metering.get()}) {
    const std::string text = BuildTextExport(*r);
    const std::string json = RecordToJson(*r).Dump(1);
    for (const char* bad : {"nan", "NAN", "inf", "INF"}) {
      EXPECT_EQ(text.find(bad), std::string::npos) << bad;
      EXPECT_EQ(json.find(bad), std::string::npos) << bad;
    }
  }
  EXPECT_EQ(Line(BuildTextExport(*rec), "IEEE 30 Vkp"), "IEEE 30 Vkp[Volts]: N/A");
}

TEST(TextExport, WritesTheFileAndFailsWithoutTouchingOthers) {
  const std::string dir = TempFolder("text_export");
  auto rec = KnownRecord();
  const std::string path = PathJoin(dir, "T1.txt");
  ASSERT_TRUE(ExportText(*rec, path));
  std::string written;
  ASSERT_TRUE(ReadFileText(path, written));
  EXPECT_EQ(written, BuildTextExport(*rec));
  EXPECT_FALSE(ExportText(*rec, PathJoin(dir, "missing/folder/T1.txt")));
  EXPECT_FALSE(FileExists(PathJoin(dir, "missing/folder/T1.txt")));
}

TEST(TextExport, OutputPathBesideTheRecordOrInTheFolder) {
  const std::string sep(1, kPathSeparator);
  EXPECT_EQ(TextExportPath("/data/recs/T1.test", ""), "/data/recs/T1.txt");
  EXPECT_EQ(TextExportPath("/data/recs/KOVA-001.tst-kova7k", ""), "/data/recs/KOVA-001.txt");
  EXPECT_EQ(TextExportPath("/data/recs/T1.test", "/out"), "/out" + sep + "T1.txt");
  EXPECT_EQ(TextExportPath("/data/recs/T1.test", "/out/"), "/out/T1.txt");
  EXPECT_EQ(TextExportPath("T1.test", ""), "T1.txt");
  EXPECT_EQ(TextExportPath("rec.v2.test", "out"), "out" + sep + "rec.v2.txt");
  EXPECT_EQ(TextExportPath("C:\\Tests\\T1.test", ""), "C:\\Tests\\T1.txt");
  EXPECT_EQ(TextExportPath("C:\\Tests\\T1.test", "D:\\Out\\"), "D:\\Out\\T1.txt");
}

}  // namespace
}  // namespace kova
