#include "report/calc_details_page.h"

#include <algorithm>

#include "assess/comparisons.h"
#include "assess/explain.h"
#include "assess/profile_file.h"
#include "base/format.h"
#include "base/path.h"

namespace kova {

namespace {

void Append(std::vector<std::string>& to, const std::vector<std::string>& lines) {
  to.insert(to.end(), lines.begin(), lines.end());
}

}  // namespace

std::vector<std::string> CalculationDetailsLines(const TestRecord& rec,
                                                 const ComparisonBands& bands,
                                                 const KeptReference& reference) {
  std::vector<std::string> lines;
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
  }
  ReferenceComparison compared;
  const bool have_ref = reference.loaded();
  if (have_ref) {
    const int test = have_profile && result.usable ? result.test : 1;
    compared = CompareWithReference(rec, test, reference.curve, bands.reference_percent);
    Append(lines, ReferenceLines(compared));
    // Where it came from: the CT's in the library, or a file beside the record.
    lines.push_back("  kept in " + FileNameOf(reference.where));
    lines.push_back("");
  } else if (reference.state == KeptReference::State::kUnusable) {
    lines.push_back("Reference curve not used: " + reference.why);
    lines.push_back("");
  } else if (!reference.why.empty()) {
    lines.push_back("Reference curve not compared: " + reference.why);
    lines.push_back("");
  }
  const std::vector<TapComparison> taps = CompareTaps(rec, bands.tap_percent);
  Append(lines, TapLines(taps, bands.tap_percent));
  lines.push_back("");
  RecordExplanation working =
      ExplainRecord(rec, 0, have_profile ? &result : nullptr, have_profile ? &profile : nullptr);
  AddComparisonWorking(have_ref ? &compared : nullptr, taps, working);
  Append(lines, ExplanationLines(working));
  return WithoutNonFinite(std::move(lines));
}

std::vector<std::string> OverlayDetailsLines(const std::vector<const TestRecord*>& records,
                                             const ComparisonBands& bands,
                                             const KeptReference& reference) {
  std::vector<std::string> lines;
  const int n = static_cast<int>(records.size());
  for (int i = 0; i < n; ++i) {
    const TestRecord& rec = *records[static_cast<size_t>(i)];
    if (i > 0) lines.push_back("");
    lines.push_back(
        Format("Record %d of %d: %s", i + 1, n,
               rec.fullpath.empty() ? "(not saved)" : FileNameOf(rec.fullpath).c_str()));
    lines.push_back("");
    Append(lines, CalculationDetailsLines(rec, bands, reference));
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
