#include "export/export_xml.h"

#include "analysis/display_rules.h"
#include "analysis/pass_fail.h"
#include "analysis/taps.h"
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
// Windows-1252 bytes of the degree sign and the slashed O.
constexpr const char* kDegree = "\xB0";

void BurdenElements(XmlWriter& w, const TestRecord& rec) {
  w.TextElement("B200fBurdenReqCur", WholeNumberText(rec.B200fBurdenReqCur));
  w.TextElement("B200fBurdenMeasCur", NumberText("%3.3lf", rec.B200fBurdenMeasCur));
  w.TextElement("B200fBurdenTestVtg", NumberText("%3.3lf", rec.B200fBurdenTestVtg));
  w.TextElement("B200fBurdenZ", NumberText("%3.3lf", rec.B200fBurdenZ));
  w.TextElement("B200fBurdenPhase", NumberText("%3.2lf", rec.B200fBurdenPhase));
  w.TextElement("B200fBurdenCosPhi", NumberText("%3.2lf", rec.B200fBurdenCosPhi));
  w.TextElement("B200fBurdenMeasVA", NumberText("%3.3lf", rec.B200fBurdenMeasVA));
}

void InsulationElements(XmlWriter& w, const TestRecord& rec) {
  w.TextElement("B200fMeggerReqV", WholeNumberText(rec.B200fMeggerReqV));
  w.TextElement("B200fMeggerMeasV", NumberText("%3.1lf", rec.B200fMeggerMeasV));
  w.TextElement("B200fMeggerL", NumberText("%3.2lf", rec.B200fMeggerL));
  w.TextElement("B200fMeggerOhms", InsulationResistanceText(rec.B200fMeggerOhms));
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
  if (rec.deviceversion == 2 && rec.burdenenabled != 0) BurdenElements(w, rec);
  if (rec.deviceversion == 2 && rec.insulationenabled != 0) InsulationElements(w, rec);
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

std::string MeasuredRatio(const TapTest& tap) {
  return (tap.uTestType & kRatioTest) ? NumberText("%3.3lf", tap.fTestRatio) : std::string("N/A");
}

std::string ShownResistanceText(const TapTest& tap) {
  const ShownResistance r = ShowResistance(tap);
  if (!r.shown) return "";
  return NumberText("%3.2lf", r.value) + " " + ResistanceUnitWord(r, ResistanceUnits::kLong);
}

void PercentError(XmlWriter& w, const TestRecord& rec, const TapTest& tap) {
  std::string error, errorpf;
  const RatioError e = PercentRatioError(tap);
  if (e.state != RatioErrorState::kNotAvailable) {
    // A nameplate primary of 0 gives an error of 0.
    const double percent = e.state == RatioErrorState::kValue ? e.percent : 0.0;
    error = Format("%4.4lf", percent);
    errorpf = error;
    if (PassFailEnabled(rec)) {
      errorpf += RatioTolerancePercent(rec.passfail) > percent ? " [P]" : " [F]";
    }
  }
  w.TextElement("percenterror", error);
  w.TextElement("percenterrorpf", errorpf);
}

void PhaseElements(XmlWriter& w, const TestRecord& rec, const TapTest& tap) {
  if (!PhaseMeasured(tap)) {
    w.TextElement("phaseangle", "N/A");
    w.TextElement("phaseanglepf", "");
    return;
  }
  const Polarity p = PolarityOf(tap);
  const char* polarity = p == Polarity::kInPhase      ? "[In \xD8]"
                         : p == Polarity::kOutOfPhase ? "[Out \xD8]"
                                                      : "";
  const std::string angle = NumberText("%3.2lf", tap.fTestPhase) + kDegree + " ";
  w.TextElement("phaseangle", angle + polarity);
  w.TextElement("phaseanglepf", angle + MarkText(PolarityMark(rec, tap)));
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
  w.TextElement("fTestRatioCur", NumberText("%3.3lf", tap.fTestRatioCur));
  w.TextElement("fTestRatioVtg", NumberText("%3.3lf", tap.fTestRatioVtg));
  w.TextElement("fTestRatio", MeasuredRatio(tap));
  w.TextElement("fTestPhase", PhaseMeasured(tap) ? NumberText("%3.2lf", tap.fTestPhase) + kDegree
                                                 : std::string("N/A"));
  const std::string shown = ShownResistanceText(tap);
  w.TextElement("fWindingRes",
                shown.empty() ? shown : shown + " " + MarkText(ResistanceMark(rec, tap)));
  w.IntElement("nNamePlateNum", tap.nNamePlateNum);
  w.RealElement("fNamePlateDen", tap.fNamePlateDen);
  w.TextElement("nameplateratio",
                tap.nNamePlateNum == 0 ? std::string("N/A") : NameplateRatioText(tap));
  w.TextElement("measuredratio", MeasuredRatio(tap));
  w.IntElement("nTapConnection", tap.nTapConnection);
  w.IntElement("uTestType", tap.uTestType);
  w.TextElement("szTestNote", tap.szTestNote);
  PercentError(w, rec, tap);
  w.TextElement("windingres", shown);
  PhaseElements(w, rec, tap);
  w.TextElement("tapstr", TapNameFromCode(tap.nTapConnection));
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
  WriteCalculationDetails(w, rec, ctx.bands);
  w.CloseElement("kovareport");
  w.CloseElement("helmarkreport");
  return w.Text();
}

bool ExportXml(const TestRecord& rec, const std::string& path, const XmlExportContext& ctx) {
  return WriteFileAtomically(path, BuildXmlExport(rec, ctx));
}

}  // namespace kova
