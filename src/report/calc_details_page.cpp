#include "report/calc_details_page.h"

#include <algorithm>

#include "assess/comparisons.h"
#include "assess/explain.h"
#include "assess/profile_file.h"
#include "assess/reference_curve.h"
#include "base/file_io.h"
#include "base/format.h"

namespace kova {

namespace {

bool HasBesideFiles(const TestRecord& rec) {
  return !rec.fullpath.empty() && (FileExists(ProfilePathBeside(rec.fullpath)) ||
                                   FileExists(ReferencePathBeside(rec.fullpath)));
}

void Append(std::vector<std::string>& to, const std::vector<std::string>& lines) {
  to.insert(to.end(), lines.begin(), lines.end());
}

}  // namespace

bool CalculationDetailsWanted(const TestRecord& rec) { return HasBesideFiles(rec); }

CalculationDetails GatherCalculationDetails(const TestRecord& rec, const ComparisonBands& bands) {
  CalculationDetails d;
  std::string why;
  if (!rec.fullpath.empty()) {
    const ProfileLoad load = LoadAssessmentProfile(ProfilePathBeside(rec.fullpath), d.profile, why);
    d.have_profile = load == ProfileLoad::kLoaded;
    if (d.have_profile) {
      d.assessment = AssessRecord(rec, d.profile);
    } else if (load != ProfileLoad::kMissing) {
      d.profile_problem = why;
    }
    std::string text;
    ReferenceCurve ref;
    const std::string ref_path = ReferencePathBeside(rec.fullpath);
    if (FileExists(ref_path)) {
      why.clear();
      if (ReadFileText(ref_path, text, kMaxReferenceBytes) && ParseReferenceCsv(text, ref, why)) {
        const int test = d.have_profile && d.assessment.usable ? d.assessment.test : 1;
        d.reference = CompareWithReference(rec, test, ref, bands.reference_percent);
        d.have_reference = true;
      } else {
        d.reference_problem = why.empty() ? "unreadable" : why;
      }
    }
  }
  d.tap_band_percent = bands.tap_percent;
  d.taps = CompareTaps(rec, bands.tap_percent);
  d.working = ExplainRecord(rec, 0, d.have_profile ? &d.assessment : nullptr,
                            d.have_profile ? &d.profile : nullptr);
  AddComparisonWorking(d.have_reference ? &d.reference : nullptr, d.taps, d.working);
  return d;
}

std::vector<std::string> CalculationDetailsLines(const TestRecord& rec,
                                                 const ComparisonBands& bands) {
  const CalculationDetails d = GatherCalculationDetails(rec, bands);
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
    lines.push_back("");
  } else if (!d.reference_problem.empty()) {
    lines.push_back("Reference curve not used: " + d.reference_problem);
    lines.push_back("");
  }
  Append(lines, TapLines(d.taps, d.tap_band_percent));
  lines.push_back("");
  Append(lines, ExplanationLines(d.working));
  return lines;
}

int CalculationDetailsPageCount(const TestRecord& rec, const ComparisonBands& bands) {
  const int n = static_cast<int>(CalculationDetailsLines(rec, bands).size());
  return (n + kDetailsLinesPerPage - 1) / kDetailsLinesPerPage;
}

void DrawCalculationDetails(Surface& s, const Rect& inner, const TestRecord& rec, int index,
                            const ComparisonBands& bands) {
  const std::vector<std::string> lines = CalculationDetailsLines(rec, bands);
  const int pages = std::max(
      1, (static_cast<int>(lines.size()) + kDetailsLinesPerPage - 1) / kDetailsLinesPerPage);
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
