#include "export/export_xml.h"

#include "analysis/display_rules.h"
#include "analysis/pass_fail.h"
#include "analysis/taps.h"
#include "analysis/test_result_fields.h"
#include "base/file_io.h"
#include "base/format.h"
#include "base/path.h"
#include "base/program_version.h"
#include "export/xml_report_sections.h"
#include "export/xml_writer.h"
#include "records/knee_fields.h"
#include "records/record_header.h"

namespace kova {
namespace {

constexpr const char* kReportVersion = "1.0";

// The burden's or the insulation's numbers, as the report shows them.
void ResultElements(XmlWriter& w, const TestRecord& rec, ResultBlock block) {
  for (const ResultNumber& n : ResultNumberTable()) {
    if (n.block == block)
      w.TextElement(n.xml_element, ResultNumberText(n, rec, FieldOutput::kXml));
  }
}

void ReportData(XmlWriter& w, const TestRecord& rec) {
  const PassFailBlock& pf = rec.passfail;
  w.OpenElement("reportdata");
  w.IntElement("reportdata_Id", 1);
  w.IntElement("kovareport_Id", 1);
  w.IntElement("kneetype", rec.kneetype);
  w.TextElement("kneetypestr", rec.kneetypestr);
  w.IntElement("frequency", rec.frequency);
  w.TextElement("frequencystr", HeaderValue(rec, HeaderField::kFrequency));
  w.IntElement("deviceversion", rec.deviceversion);
  w.IntElement("burdenenabled", rec.burdenenabled != 0 ? 1 : 0);
  w.IntElement("insulationenabled", rec.insulationenabled != 0 ? 1 : 0);
  if (rec.deviceversion == 2 && rec.burdenenabled != 0)
    ResultElements(w, rec, ResultBlock::kBurden);
  if (rec.deviceversion == 2 && rec.insulationenabled != 0)
    ResultElements(w, rec, ResultBlock::kInsulation);
  w.TextElement("taporder", rec.taporder);
  w.TextElement("testnote", rec.testnote);
  w.IntElement("numtests", rec.numtests);
  w.IntElement("pfenable", pf.pfenable != 0 ? 1 : 0);
  w.IntElement("pfturnsratiodeviation", pf.pfturnsratiodeviation);
  w.TextElement("pfturnsratiodeviationstr", RatioToleranceLabel(pf));
  w.IntElement("pfcustomdeviation", pf.pfcustomdeviation);
  w.IntElement("pfkneepointtype", pf.pfkneepointtype);
  w.IntElement("pfkneepointlocation", pf.pfkneepointlocation);
  w.IntElement("pfkneepointdeviation", pf.pfkneepointdeviation);
  w.IntElement("pfcttype", pf.pfcttype);
  w.TextElement("pfcttypestr", CtTypeName(pf.pfcttype));
  w.TextElement("pfctlocationstr", CtLocationName(pf.pfkneepointlocation));
  w.TextElement("pfkneepointdeviationstr", KneeToleranceLabel(pf));
  w.IntElement("pfresdeviation", rec.resistance.pfresdeviation);
  w.TextElement("pfresdeviationstr", ResistanceToleranceLabel(rec.resistance));
  w.TextElement("pfkneevoltagetitlestr", KneeJudgingLabel(rec));
  w.CloseElement("reportdata");
}

std::string KneeVoltagePf(const TestRecord& rec, const TapTest& tap) {
  if (!PassFailEnabled(rec)) return "";
  return NumberText("%3.2lf", KneeVoltageForJudging(rec, tap)) + " " + MarkText(KneeMark(rec, tap));
}

// The test's formatted field texts that stand in `group`.
void FieldElements(XmlWriter& w, const TestRecord& rec, const TapTest& tap, XmlTestGroup group) {
  for (const XmlTestElement* e : XmlTestElements(group)) w.TextElement(e->name, e->value(rec, tap));
}

void TestData(XmlWriter& w, const TestRecord& rec, const TapTest& tap) {
  w.OpenElement("testdata");
  int n = 0;
  for (int slot = ExportDataPointSlots(rec) - 1; slot >= 0; --slot) {
    if (tap.dpAmps[slot] == 0) continue;
    w.OpenElement("datapoint");
    w.IntElement("dpPoint", ++n);
    w.TextElement("dpAmps", NumberText("%2.4f", tap.dpAmps[slot]));
    w.TextElement("dpVolts", NumberText("%3.2f", tap.dpVolts[slot]));
    w.TextElement("dpRes", PointImpedanceText(tap.dpVolts[slot], tap.dpAmps[slot]));
    w.CloseElement("datapoint");
  }
  n = 0;
  for (const GraphPoint& gp : tap.graph) {
    if (gp.gpAmps == 0 && gp.gpVolts == 0) continue;
    w.OpenElement("graphpoint");
    w.IntElement("gpPoint", ++n);
    w.RealElement("gpAmps", gp.gpAmps);
    w.RealElement("gpVolts", gp.gpVolts);
    w.TextElement("gpRes", PointImpedanceText(gp.gpVolts, gp.gpAmps));
    w.CloseElement("graphpoint");
  }
  w.CloseElement("testdata");
}

void OneTest(XmlWriter& w, const TestRecord& rec, int index, int number,
             const XmlExportContext& ctx) {
  const TapTest& tap = rec.taps[index];
  w.OpenElement("test");
  w.IntElement("testnum", number);
  w.IntElement("testorder", index);
  w.PathElement("testimagefile", tap.testimagefile);
  w.PathElement("testimagecolorfile",
                PathJoin(ctx.install_dir, Format("TestColor%d.bmp", index + 1)));
  w.TextElement("burdentable", XmlBurdenTable(tap.burdentable));
  w.RealElement("fVoltageRange", tap.fVoltageRange);
  w.RealElement("fCurrentRange", tap.fCurrentRange);
  w.IntElement("bDoBurdenTest", tap.bDoBurdenTest);
  w.RealElement("fBurdenVA", tap.fBurdenVA);
  w.RealElement("fCosPhi", tap.fCosPhi);
  w.RealElement("fSecCurrent", tap.fSecCurrent);
  for (KneeKind kind : kXmlKneeOrder) {
    const KneeFieldRow& knee = KneeField(kind);
    w.TextElement(knee.voltage_element, NumberText(kXmlKneeFormats.voltage, tap.*knee.voltage));
    w.TextElement(knee.current_element, NumberText(kXmlKneeFormats.current, tap.*knee.current));
  }
  w.TextElement("pfkneevoltagestr", KneeVoltagePf(rec, tap));
  FieldElements(w, rec, tap, XmlTestGroup::kAfterKnees);
  w.IntElement("nNamePlateNum", tap.nNamePlateNum);
  w.RealElement("fNamePlateDen", tap.fNamePlateDen);
  FieldElements(w, rec, tap, XmlTestGroup::kAfterNameplate);
  w.IntElement("nTapConnection", tap.nTapConnection);
  w.IntElement("uTestType", tap.uTestType);
  FieldElements(w, rec, tap, XmlTestGroup::kAfterTestType);
  TestData(w, rec, tap);
  WriteTestReportSections(w, rec, tap);
  w.CloseElement("test");
}

}  // namespace

std::string XmlBurdenTable(const std::string& table) {
  std::string out = table;
  ReplaceAll(out, "PHASE ERROR TABLE", "\r\n\r\nPHASE ERROR TABLE");
  for (int k = 1; k <= 10; ++k) ReplaceAll(out, Format("#%02d", k), "");
  return out;
}

std::string ReportDateText(std::time_t when) {
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &when);
#else
  localtime_r(&when, &local);
#endif
  // "Dec 10, 2026 02:05 PM" under every locale: strftime's %b and %p follow
  // the user's language (and give no AM/PM marker under many).
  static const char* const kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const int month = local.tm_mon >= 0 && local.tm_mon < 12 ? local.tm_mon : 0;
  const int hour12 = local.tm_hour % 12 == 0 ? 12 : local.tm_hour % 12;
  return Format("%s %02d, %d %02d:%02d %s", kMonths[month], local.tm_mday, local.tm_year + 1900,
                hour12, local.tm_min, local.tm_hour < 12 ? "AM" : "PM");
}

std::string BuildXmlExport(const TestRecord& rec, const XmlExportContext& ctx) {
  XmlWriter w;
  w.OpenElement("helmarkreport");
  w.IntElement("helmarkreport_Id", 1);
  w.OpenElement("reportinfo");
  w.PathElement("filename", rec.filename);
  w.TextElement("programversion", kProgramVersion);
  w.TextElement("reportversion", kReportVersion);
  w.PathElement("imagefile", rec.imagefile);
  w.PathElement("reportlogo", ctx.report_logo);
  w.TextElement("testdatetime", rec.testdatetime);
  w.TextElement("reportdatetime", ReportDateText(ctx.now != 0 ? ctx.now : std::time(nullptr)));
  for (const HeaderFieldRow& row : HeaderFieldTable()) {
    if (row.record_name != nullptr) w.TextElement(row.record_name, row.value(rec));
  }
  w.CloseElement("reportinfo");
  w.OpenElement("kovareport");
  ReportData(w, rec);
  WriteClassification(w, rec);
  int order[kTapCodes] = {};
  const int listed = OrderedTests(rec, order);
  for (int k = 0; k < listed; ++k) OneTest(w, rec, order[k], k + 1, ctx);
  WriteCalculationDetails(w, rec, ctx.record ? *ctx.record : RecordContextBeside(rec, ctx.bands));
  w.CloseElement("kovareport");
  w.CloseElement("helmarkreport");
  return w.Text();
}

bool ExportXml(const TestRecord& rec, const std::string& path, const XmlExportContext& ctx) {
  return WriteFileAtomically(path, BuildXmlExport(rec, ctx));
}

}  // namespace kova
