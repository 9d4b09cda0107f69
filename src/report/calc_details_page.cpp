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

std::vector<std::string> CalculationDetailsLines(const TestRecord& rec,
                                                 const ComparisonBands& bands) {
  std::vector<std::string> lines;
  ReferenceComparison compared;
  bool have_ref = false;
  AssessmentProfile profile;
  AssessmentResult result;
  std::string why;
  bool have_profile = false;
  if (!rec.fullpath.empty()) {
    const ProfileLoad load = LoadAssessmentProfile(ProfilePathBeside(rec.fullpath), profile, why);
    have_profile = load == ProfileLoad::kLoaded;
    if (have_profile) {
      result = AssessRecord(rec, profile);
      Append(lines, AssessmentLines(result, profile));
      lines.push_back("");
    } else if (load != ProfileLoad::kMissing) {
      lines.push_back("Assessment profile not used: " + why);
      lines.push_back("");
    }
    std::string text;
    ReferenceCurve ref;
    const std::string ref_path = ReferencePathBeside(rec.fullpath);
    if (FileExists(ref_path)) {
      if (ReadFileText(ref_path, text, kMaxReferenceBytes) && ParseReferenceCsv(text, ref, why)) {
        const int test = have_profile && result.usable ? result.test : 1;
        compared = CompareWithReference(rec, test, ref, bands.reference_percent);
        have_ref = true;
        Append(lines, ReferenceLines(compared));
      } else {
        lines.push_back("Reference curve not used: " + (why.empty() ? "unreadable" : why));
      }
      lines.push_back("");
    }
  }
  const std::vector<TapComparison> taps = CompareTaps(rec, bands.tap_percent);
  Append(lines, TapLines(taps, bands.tap_percent));
  lines.push_back("");
  RecordExplanation working =
      ExplainRecord(rec, 0, have_profile ? &result : nullptr, have_profile ? &profile : nullptr);
  AddComparisonWorking(have_ref ? &compared : nullptr, taps, working);
  Append(lines, ExplanationLines(working));
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
