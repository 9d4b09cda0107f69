#include "export/xml_report_sections.h"

#include "analysis/display_rules.h"
#include "analysis/taps.h"
#include "base/format.h"
#include "base/path.h"
#include "export/export_xml.h"
#include "export/xml_writer.h"
#include "report/assessment_page.h"
#include "report/calc_details_page.h"

namespace kova {
namespace {

void RelayingClass(XmlWriter& w, const TestRecord& rec) {
  w.TextElement("classificationstr",
                rec.classdone == 0
                    ? std::string("Classification: N/A")
                    : Format("Classification: %s for %s: %s", rec.classresult.c_str(),
                             rec.tapmode.c_str(), rec.classtap.c_str()));
  if (rec.classdone == 0) return;
  w.TextElement("classresult", rec.classresult);
  w.TextElement("tapmode", rec.tapmode);
  w.TextElement("classtap", rec.classtap);
  w.TextElement("IRated", NumberText("%.2lf", rec.IRated));
  w.TextElement("Tmeas", NumberText("%.2lf", rec.Tmeas));
  w.TextElement("Rmeas", NumberText("%.4lf", rec.Rmeas));
  w.TextElement("Rct75", NumberText("%.4lf", rec.Rct75));
  for (const BurdenRow& row : rec.rows) {
    w.OpenElement("classrow");
    w.TextElement("classrowname", row.name);
    w.TextElement("classrowbr", NumberText("%.2lf", row.Rb));
    w.TextElement("classrowbi", NumberText("%.2lf", row.Xb));
    w.TextElement("classrowbtot", NumberText("%.2lf", row.Ztot));
    w.TextElement("classrowvsec", NumberText("%.2lf", row.Vsec));
    w.CloseElement("classrow");
  }
}

// The metering summary of the printed report: the record's first test.
void MeteringClass(XmlWriter& w, const TestRecord& rec) {
  const TapTest& first = rec.taps[0];
  w.TextElement("meteringtap", TapNameFromCode(first.nTapConnection));
  for (int j = 0; j < 5; ++j) {
    const BurdenRow& row = first.taprows[j];
    w.OpenElement("meteringrow");
    w.TextElement("meteringclass", row.meteringclass);
    w.TextElement("meteringburden", row.name);
    w.TextElement("rcf10", row.rcf10.rcftext);
    w.TextElement("rcf100", row.rcf100.rcftext);
    w.CloseElement("meteringrow");
  }
}

std::string Percent(double value) { return NumberText("%+.2f %%", value); }
std::string Band(double percent) { return "+/-" + NumberText("%.1f %%", percent); }
const char* FlagWord(bool flagged) { return flagged ? "FLAGGED" : "inside"; }

void ValueElement(XmlWriter& w, const std::string& name, const std::string& text) {
  w.OpenElement("assessmentvalue");
  w.TextElement("valuename", name);
  w.TextElement("valuetext", text);
  w.CloseElement("assessmentvalue");
}

void Assessment(XmlWriter& w, const AssessmentResult& r, const AssessmentProfile& p) {
  w.OpenElement("assessment");
  w.TextElement("assessmentclass", IecClassName(p.iec_class));
  w.IntElement("assessedtest", r.test);
  w.TextElement("assessmentverdict", VerdictWord(r.usable ? r.verdict : Verdict::kNotAssessed));
  w.TextElement("assessmentproblem", r.usable ? std::string() : r.problem);
  if (r.usable) {
    ValueElement(
        w, "Rct at 75 degC",
        NumberText("%.4f ohm", r.rct75) + (r.default_temperature ? " (temperature: default)" : ""));
    if (!IsPxClass(p.iec_class)) {
      ValueElement(w, "Rated burden",
                   Format("%.4g + j%.4g ohm", r.burden.r, r.burden.x) +
                       (r.burden.default_power_factor ? " (power factor: default)" : ""));
      ValueElement(w, "E_ALF", NumberText("%.1f V", r.e_alf));
      ValueElement(w, "Method", "indirect method: holds for low-leakage designs");
    } else {
      ValueElement(w, "Required Ek", NumberText("%.2f V", r.ek_required));
    }
    for (const AssessCheck& c : r.checks) {
      w.OpenElement("assessmentcheck");
      w.TextElement("checkname", c.name);
      w.TextElement("checkvalue", c.value);
      w.TextElement("checklimit", c.limit);
      w.TextElement("checkverdict", VerdictWord(c.verdict));
      w.CloseElement("assessmentcheck");
    }
  }
  w.TextElement("remanence", r.remanence);
  w.CloseElement("assessment");
}

void Comparison(XmlWriter& w, const std::string& name, const std::string& value,
                const std::string& band, const std::string& result) {
  w.OpenElement("comparison");
  w.TextElement("comparisonname", name);
  w.TextElement("comparisonvalue", value);
  w.TextElement("comparisonband", band);
  w.TextElement("comparisonresult", result);
  w.CloseElement("comparison");
}

void Comparisons(XmlWriter& w, const CalculationDetails& d) {
  if (d.have_reference) {
    const ReferenceComparison& c = d.reference;
    const std::string name = "Reference curve, " + c.label;
    if (!c.done) {
      Comparison(w, name, "not compared: " + c.problem, Band(c.band_percent), "");
    } else {
      if (c.has_knee) {
        Comparison(w, name + ", knee",
                   NumberText("reference %.2f V", c.knee_reference) +
                       NumberText(", measured %.2f V, ", c.knee_measured) +
                       Percent(c.knee_deviation),
                   Band(c.band_percent), "");
      }
      Comparison(w, name,
                 c.compared > 0
                     ? "largest deviation " + Percent(c.largest_deviation) +
                           NumberText(" at %.2f V", c.at_volts) + NumberText(", %.4f A", c.at_amps)
                     : std::string("no measured point within 0.5-1.5 x knee current"),
                 Band(c.band_percent), FlagWord(c.flagged));
    }
  } else if (!d.reference_problem.empty()) {
    Comparison(w, "Reference curve", "not used: " + d.reference_problem, "", "");
  }
  for (const TapComparison& t : d.taps) {
    Comparison(w, t.label, NumberText("%.5f V/turn, ", t.per_turn) + Percent(t.deviation),
               Band(d.tap_band_percent), FlagWord(t.flagged));
  }
}

void Working(XmlWriter& w, const TestExplanation& t) {
  w.OpenElement("explainedtest");
  w.IntElement("explainedtestnum", t.test);
  w.TextElement("explainedtap", t.tap);
  for (const Explanation& x : t.items) {
    w.OpenElement("explained");
    w.TextElement("quantity", x.quantity);
    w.TextElement("result", x.result);
    w.TextElement("rule", x.rule);
    w.TextElement("formula", x.formula);
    for (const ExplainInput& in : x.inputs) {
      w.OpenElement("input");
      w.TextElement("inputname", in.name);
      w.TextElement("inputvalue", NumberText("%.6g", in.value));
      w.TextElement("inputunit", in.unit);
      w.TextElement("inputorigin", OriginWord(in.origin));
      w.CloseElement("input");
    }
    for (const CurvePoint& p : x.points) {
      w.OpenElement("bracket");
      w.TextElement("bracketvolts", NumberText("%.6g", p.volts));
      w.TextElement("bracketamps", NumberText("%.6g", p.amps));
      w.CloseElement("bracket");
    }
    w.TextElement("interpolation", x.interpolation);
    w.TextElement("extrapolated", x.extrapolated ? "yes" : "no");
    w.CloseElement("explained");
  }
  w.CloseElement("explainedtest");
}

// Inside a test section: "ratioerrortable" when the test has a ratio error
// table, "meteringtrace" on a metering CT.
void TestSection(XmlWriter& w, const TestRecord& rec, int index, int number) {
  const TapTest& tap = rec.taps[index];
  w.OpenElement("testsection");
  w.IntElement("testnum", number);
  w.IntElement("testorder", index);
  if (!tap.burdentable.empty()) {
    w.TextElement("ratioerrortable", RatioErrorTableText(tap.burdentable));
  }
  if (rec.classsettings.ctusage == 2) w.TextElement("meteringtrace", tap.taptrace);
  w.CloseElement("testsection");
}

void WriteClassification(XmlWriter& w, const TestRecord& rec) {
  w.OpenElement("classification");
  w.IntElement("ctusage", rec.classsettings.ctusage);
  w.IntElement("classdone", rec.classdone != 0 ? 1 : 0);
  if (rec.classsettings.ctusage == 2) {
    MeteringClass(w, rec);
  } else {
    RelayingClass(w, rec);
  }
  w.CloseElement("classification");
}

void WriteCalculationDetails(XmlWriter& w, const TestRecord& rec, const RecordContext& context) {
  if (!context.HasKept()) return;
  const CalculationDetails d = GatherCalculationDetails(rec, context);
  w.OpenElement("calculationdetails");
  if (d.have_profile) {
    Assessment(w, d.assessment, d.profile);
  } else if (!d.profile_problem.empty()) {
    w.TextElement("profileproblem", d.profile_problem);
  }
  Comparisons(w, d);
  for (const TestExplanation& t : d.working.tests) Working(w, t);
  w.CloseElement("calculationdetails");
}

void PageRows(XmlWriter& w, const char* element, const std::vector<AssessmentPageRow>& rows) {
  for (const AssessmentPageRow& r : rows) {
    w.OpenElement(element);
    w.Utf8Element("rowname", r.name);
    w.Utf8Element("rowrequired", r.required);
    w.Utf8Element("rowmeasured", r.measured);
    w.Utf8Element("rowverdict", r.verdict);
    w.CloseElement(element);
  }
}

// A group's heading as the page draws it: "TITLE (what it is judged by)"
// as a title and the line under it.
void GroupHeading(XmlWriter& w, const char* title, const char* judged, const std::string& text) {
  const size_t open = text.find(" (");
  const bool split = open != std::string::npos && text.size() > open + 3 && text.back() == ')';
  w.Utf8Element(title, text.substr(0, split ? open : std::string::npos));
  std::string rest = split ? text.substr(open + 2, text.size() - open - 3) : std::string();
  if (!rest.empty() && rest[0] >= 'a' && rest[0] <= 'z') rest[0] = static_cast<char>(rest[0] - 32);
  w.Utf8Element(judged, rest);
}

// The "Assessment" page as the report draws it, for the page of the PDF
// that follows the summary.
void WriteAssessmentPage(XmlWriter& w, const TestRecord& rec, const RecordContext& context) {
  if (!context.HasKept()) return;
  const AssessmentPage page = AssessmentPageOf(rec, context);
  w.OpenElement("assessmentpage");
  w.Utf8Element("pagetitle", kAssessmentPageTitle);
  w.Utf8Element("rating", page.has_profile ? page.rating : "No assessment profile");
  w.Utf8Element("assessed", page.test);
  w.Utf8Element("verdict", page.verdict_text);
  w.Utf8Element("verdictwhy", page.why);
  PageRows(w, "check", page.checks);
  // Each line an element of its own holding its text, so a template walks them.
  auto lines = [&w](const char* element, const std::vector<std::string>& texts) {
    for (const std::string& text : texts) {
      w.OpenElement(element);
      w.Utf8Element("linetext", text);
      w.CloseElement(element);
    }
  };
  lines("note", page.notes);
  lines("referenceline", page.reference);
  GroupHeading(w, "tapsheading", "tapsjudged", page.taps_heading);
  PageRows(w, "tap", page.taps);
  GroupHeading(w, "sistersheading", "sistersjudged", page.sisters_heading);
  PageRows(w, "sister", page.sisters);
  w.CloseElement("assessmentpage");
}

}  // namespace

std::string RatioErrorTableText(const std::string& burdentable) {
  std::string table = XmlBurdenTable(burdentable);
  ReplaceAll(table, "VA/COS", "\r\nVA/COS");
  return table;
}

std::string ReportSectionsPath(const std::string& xml_path) {
  return FolderOf(xml_path) + StemOf(FileNameOf(xml_path)) + ".kova-sections.xml";
}

std::string BuildReportSections(const TestRecord& rec, const RecordContext& context) {
  XmlWriter w;
  w.OpenElement("kovasections");
  // The record it belongs to, as its XML document names it.
  w.PathElement("filename", rec.filename);
  // A record whose file ended early: the banner every page of the PDF carries.
  if (rec.fileend.Early()) w.TextElement("damaged", DamagedRecordBanner(rec.fileend));
  WriteClassification(w, rec);
  int order[kTapCodes] = {};
  const int listed = OrderedTests(rec, order);
  for (int k = 0; k < listed; ++k) TestSection(w, rec, order[k], k + 1);
  WriteAssessmentPage(w, rec, context);
  WriteCalculationDetails(w, rec, context);
  w.CloseElement("kovasections");
  return w.Text();
}

std::string BuildReportSectionsBeside(const TestRecord& rec, const ComparisonBands& bands) {
  return BuildReportSections(rec, RecordContextBeside(rec, bands));
}

}  // namespace kova
