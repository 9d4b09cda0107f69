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

namespace kova {

namespace {

void Append(std::vector<std::string>& to, const std::vector<std::string>& lines) {
  to.insert(to.end(), lines.begin(), lines.end());
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
  Append(lines, ExplanationLines(d.working));
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
  const int n = static_cast<int>(lines.size());
  return std::max(1, (n + kDetailsLinesPerPage - 1) / kDetailsLinesPerPage);
}

void DrawCalculationDetails(Surface& s, const Rect& inner, const std::vector<std::string>& lines,
                            int index) {
  const int pages = DetailsPageCount(lines);
  // Title, a blank line, the page's lines and room for the footer.
  const int rows = kDetailsLinesPerPage + 6;
  const int L = std::max(1, inner.Height() / rows);
  s.SelectFont({"Courier New", L, 700, true});
  const int x = inner.left + 10;
  int y = inner.top + L / 2;
  s.TextAt(x, y, Format("%s (%d of %d)", kCalculationDetailsTitle, index + 1, pages));
  y += 2 * L;
  s.SelectFont({"Courier New", L * 9 / 10, 400, true});
  const size_t first = static_cast<size_t>(index) * kDetailsLinesPerPage;
  for (size_t i = first; i < lines.size() && i < first + kDetailsLinesPerPage; ++i) {
    s.TextAt(x, y, lines[i]);
    y += L;
  }
}

}  // namespace kova
