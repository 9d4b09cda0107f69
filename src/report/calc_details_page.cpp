#include "report/calc_details_page.h"

#include <algorithm>

#include "assess/comparisons.h"
#include "assess/explain.h"
#include "assess/profile_file.h"
#include "assess/reference_curve.h"
#include "base/codepage.h"
#include "base/file_io.h"
#include "base/format.h"
#include "base/path.h"
#include "report/details_tables.h"

namespace kova {

namespace {

// Lines kept to the appendix's width, a wrapped line under its own indent.
void Append(std::vector<std::string>& to, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    const size_t at = std::min(line.find_first_not_of(' '), line.size());
    const int indent = static_cast<int>(at) + (at == 0 ? 2 : 0);
    const std::vector<std::string> parts =
        WrapWords(line.substr(at), kDetailsWidth - static_cast<int>(at));
    for (size_t i = 0; i < parts.size(); ++i) {
      to.push_back(std::string(i == 0 ? at : static_cast<size_t>(indent), ' ') + parts[i]);
    }
  }
}

}  // namespace

CalculationDetails GatherCalculationDetails(const TestRecord& rec, const ComparisonBands& bands,
                                            const KeptReference& given) {
  RecordContext context = RecordContextBeside(rec, bands);
  // A keeper's answer given replaces the file beside the record.
  if (given.state != KeptReference::State::kNone || !given.why.empty()) context.reference = given;
  return GatherCalculationDetails(rec, context);
}

CalculationDetails GatherCalculationDetails(const TestRecord& rec, const RecordContext& context) {
  CalculationDetails d;
  const ComparisonBands& bands = context.bands;
  d.have_profile = context.profile.loaded();
  if (d.have_profile) {
    d.profile = context.profile.profile;
    d.assessment = AssessRecord(rec, d.profile);
  } else if (context.profile.load != ProfileLoad::kMissing) {
    d.profile_problem = context.profile.why;
  }
  const KeptReference& reference = context.reference;
  if (reference.loaded()) {
    const int test = d.have_profile && d.assessment.usable ? d.assessment.test : 1;
    d.reference = CompareWithReference(rec, test, reference.curve, bands.reference_percent);
    d.have_reference = true;
    d.reference_where = reference.where;
  } else if (reference.state == KeptReference::State::kUnusable) {
    d.reference_problem = reference.why.empty() ? "unreadable" : reference.why;
  } else {
    d.reference_note = reference.why;
  }
  d.tap_band_percent = bands.tap_percent;
  d.taps = CompareTaps(rec, bands.tap_percent);
  d.working = ExplainRecord(rec, 0, d.have_profile ? &d.assessment : nullptr,
                            d.have_profile ? &d.profile : nullptr);
  AddComparisonWorking(d.have_reference ? &d.reference : nullptr, d.taps, d.working);
  return d;
}

std::vector<std::string> CalculationDetailsLines(const TestRecord& rec,
                                                 const ComparisonBands& bands,
                                                 const KeptReference& reference) {
  return DetailsLines(GatherCalculationDetails(rec, bands, reference));
}

std::vector<std::string> CalculationDetailsLines(const TestRecord& rec,
                                                 const RecordContext& context) {
  return DetailsLines(GatherCalculationDetails(rec, context));
}

std::vector<std::string> DetailsLines(const CalculationDetails& d) {
  std::vector<std::string> lines;
  if (d.have_profile) {
    Append(lines, AssessmentLines(d.assessment, d.profile));
    lines.push_back("");
  } else if (!d.profile_problem.empty()) {
    lines.push_back("Assessment profile not used: " + d.profile_problem);
    lines.push_back("");
  }
  if (d.have_reference) {
    Append(lines, ReferenceLines(d.reference));
    // Where it came from: the CT's in the library, or a file beside the record.
    lines.push_back("  kept in " + SystemNameToCp1252(FileNameOf(d.reference_where)));
    lines.push_back("");
  } else if (!d.reference_problem.empty()) {
    lines.push_back("Reference curve not used: " + d.reference_problem);
    lines.push_back("");
  } else if (!d.reference_note.empty()) {
    lines.push_back("Reference curve not compared: " + d.reference_note);
    lines.push_back("");
  }
  Append(lines, TapLines(d.taps, d.tap_band_percent));
  lines.push_back("");
  const std::vector<std::string> tables = WorkingTables(d.working);
  lines.insert(lines.end(), tables.begin(), tables.end());
  return WithoutNonFinite(std::move(lines));
}

std::vector<std::string> OverlayDetailsLines(const std::vector<const TestRecord*>& records,
                                             const std::vector<RecordContext>& contexts) {
  std::vector<std::string> lines;
  const int n = static_cast<int>(records.size());
  for (int i = 0; i < n; ++i) {
    const TestRecord& rec = *records[static_cast<size_t>(i)];
    if (i > 0) lines.push_back("");
    lines.push_back(
        Format("Record %d of %d: %s", i + 1, n,
               rec.fullpath.empty() ? "(not saved)" : FileNameOf(rec.fullpath).c_str()));
    lines.push_back("");
    Append(lines, CalculationDetailsLines(rec, contexts[static_cast<size_t>(i)]));
  }
  return lines;
}

int DetailsPageCount(const std::vector<std::string>& lines) {
  return static_cast<int>(DetailsPageStarts(lines, kDetailsLinesPerPage).size());
}

void DrawCalculationDetails(Surface& s, const Rect& inner, const std::vector<std::string>& lines,
                            int index) {
  const std::vector<size_t> starts = DetailsPageStarts(lines, kDetailsLinesPerPage);
  const int pages = static_cast<int>(starts.size());
  // Title, a blank line, the page's lines, a quarter line under each
  // table's column names and room for the footer.
  const int rows = kDetailsLinesPerPage + 9;
  const int L = std::max(1, inner.Height() / rows);
  // The report's fixed-pitch font, small enough for a whole line across:
  // its characters are 0.6 of its height wide.
  const int across = (inner.Width() - 20) * 10 / (kDetailsWidth * 6);
  const int body = std::max(1, std::min(L * 9 / 10, across));
  const int x = inner.left + 10;
  int y = inner.top + L / 2;
  s.SelectFont({"Courier New", std::min(L, across * 11 / 10), 700, true});
  s.TextAt(x, y, Format("%s (%d of %d)", kCalculationDetailsTitle, index + 1, pages));
  y += 2 * L;
  if (index < 0 || index >= pages) return;
  const size_t first = starts[static_cast<size_t>(index)];
  const size_t end = index + 1 < pages ? starts[static_cast<size_t>(index) + 1] : lines.size();
  s.SetPen({0, 0, 0}, PenStyle::kSolid, 1);
  const FontSpec plain{"Courier New", body, 400, true}, bold{"Courier New", body, 700, true};
  for (size_t i = first; i < end; ++i) {
    if (lines[i].empty()) {
      y += L;
      continue;
    }
    const bool heading = IsDetailsHeading(lines[i]);
    s.SelectFont(heading ? bold : plain);
    s.TextAt(x, y, lines[i]);
    y += L;
    // A table's column names ruled off from its rows, a quarter line apart.
    if (heading && lines[i][0] == ' ') {
      s.Line(x, y, x + static_cast<int>(lines[i].size()) * body * 6 / 10, y);
      y += L / 4;
    }
  }
}

}  // namespace kova
