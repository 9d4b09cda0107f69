#include "export/text_export.h"

#include "analysis/display_rules.h"
#include "analysis/taps.h"
#include "analysis/test_result_fields.h"
#include "base/file_io.h"
#include "base/format.h"
#include "base/path.h"
#include "records/record_header.h"

namespace kova {
namespace {

// Lines are built with "\n"; every line end becomes CR LF, and a CR LF that
// a note already holds stays one line end.
std::string WithCrLf(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
    out += text[i];
  }
  return out;
}

void Line(std::string& out, const std::string& label, const std::string& value) {
  out += label;
  out += value;
  out += '\n';
}

void DataPoints(std::string& out, const TestRecord& rec, const TapTest& tap) {
  out += "\nDATA POINTS\tCUR(A)\tVTG(V)\tZ(OHM)\n";
  const int slots = ExportDataPointSlots(rec);
  for (int n = 1; n <= slots; ++n) {
    const int i = slots - n;
    out += Format("%d\t%s\t%s\t%s\n", n, NumberText("%2.4f", tap.dpAmps[i]).c_str(),
                  NumberText("%3.2f", tap.dpVolts[i]).c_str(),
                  PointImpedanceText(tap.dpVolts[i], tap.dpAmps[i]).c_str());
  }
}

void GraphPoints(std::string& out, const TapTest& tap) {
  out += "\nGRAPH POINTS\tCUR(A)\tVTG(V)\tZ(OHM)\n";
  for (int g = 0; g < kGraphPointsPerTap; ++g) {
    const GraphPoint& gp = tap.graph[g];
    if (gp.gpAmps != 0 || gp.gpVolts != 0) {
      out += Format("%d\t%s\t%s\t%s\n", g + 1, NumberText("%2.4f", gp.gpAmps).c_str(),
                    NumberText("%3.2f", gp.gpVolts).c_str(),
                    PointImpedanceText(gp.gpVolts, gp.gpAmps).c_str());
    } else {
      out += Format("%d\t\t\t\n", g + 1);
    }
  }
}

// A burden or insulation block: its headings, then one line per result.
void Results(std::string& out, const TestRecord& rec, ResultBlock block) {
  const std::vector<std::string> headings = ResultHeadings(block, rec);
  out += '\n';
  for (size_t i = 0; i < headings.size(); ++i) {
    out += headings[i] + (i == 0 ? "\n\n" : "\n");
  }
  for (const ResultLineRow* line : ResultLines(block)) {
    Line(out, ResultLineLabel(*line, FieldOutput::kText), line->value(rec, FieldOutput::kText));
  }
}

void OneTest(std::string& out, const TestRecord& rec, const TapTest& tap, int n) {
  out += Format("\nTEST # %d\n\n", n);
  for (const SheetLine& line : SheetTestLines(rec, tap, FieldOutput::kText)) {
    Line(out, line.label, line.value);
  }
  DataPoints(out, rec, tap);
  GraphPoints(out, tap);
  if (tap.uTestType & kBurdenTest) Results(out, rec, ResultBlock::kBurden);
  if (tap.uTestType & kInsulationTest) Results(out, rec, ResultBlock::kInsulation);
}

}  // namespace

std::string BuildTextExport(const TestRecord& rec) {
  std::string out;
  for (const HeaderFieldRow* row : SheetHeaderRows()) {
    if (row->text_label != nullptr) Line(out, row->text_label, row->value(rec));
  }
  out += '\n';
  const int n = rec.UsableTests();
  for (int t = 0; t < n; ++t) OneTest(out, rec, rec.taps[t], t + 1);
  out += "\nNOTE PAD:\n";
  out += rec.testnote;
  out += '\n';
  return WithCrLf(out);
}

bool ExportText(const TestRecord& rec, const std::string& path, std::string* why) {
  return WriteFileAtomically(path, BuildTextExport(rec), why);
}

std::string TextExportPath(const std::string& record_path, const std::string& folder) {
  const std::string base = folder.empty() ? FolderOf(record_path) : folder;
  const std::string name = StemOf(FileNameOf(record_path)) + ".txt";
  return base.empty() ? name : PathJoin(base, name);
}

}  // namespace kova
