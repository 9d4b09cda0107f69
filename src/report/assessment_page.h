#pragma once
// The "Assessment" page that follows the summary of a record with an
// assessment profile or a reference curve kept for it: what the tests mean
// in one look. The page's content is worked out once (AssessmentPageOf)
// and drawn on any surface; the report generator's sections document
// carries the same content, so the PDF says what the screen says. Texts
// are UTF-8: the page shows "≤", "Ω" and "±".

#include <string>
#include <vector>

#include "assess/iec_assessment.h"
#include "records/test_record.h"
#include "report/record_context.h"
#include "report/surface.h"

namespace kova {

constexpr const char* kAssessmentPageTitle = "IEC 61869-2 ASSESSMENT";

// One row of the page's tables: a check with what it requires, what was
// measured and the verdict, or a tap with its figures.
struct AssessmentPageRow {
  std::string name, required, measured, verdict;
  bool bad = false;  // drawn in the colour of a failure
};

struct AssessmentPage {
  bool has_profile = false;  // a usable profile is kept
  // "IEC 61869-2 5P20: PASS" for the summary page; empty without a usable
  // profile.
  std::string summary_line;
  // ProfileRatingLine with its signs: "PX, Ek 150 V, Ie ≤ 30 mA, Rct ≤ 2.5 Ω".
  std::string rating;
  std::string test;  // the assessed test as the report names it
  std::vector<AssessmentPageRow> checks;
  Verdict verdict = Verdict::kNotAssessed;
  std::string verdict_text;        // "PASS", "FAIL", "NOT ASSESSED"
  std::string why;                 // why not assessed, when it is not
  std::vector<std::string> notes;  // remanence, temperature, ...
  // The comparison with the CT's reference curve: its lines, and whether
  // the largest deviation is outside the band.
  std::vector<std::string> reference;
  bool reference_outside = false;
  // The taps against each other; empty with fewer than two taps compared.
  std::string taps_heading;
  std::vector<AssessmentPageRow> taps;
  // The sister phases the record context holds, by SisterName; empty
  // without any.
  std::string sisters_heading;
  std::vector<AssessmentPageRow> sisters;
};

// The profile's rating line (ProfileRatingLine) with the signs themselves.
std::string PageRating(const AssessmentProfile& p);

AssessmentPage AssessmentPageOf(const TestRecord& rec, const RecordContext& context);

// Draws the page's content into `area` (below the record's header).
// `printing`: the paper's colours (no light grey).
void DrawAssessmentPage(Surface& s, const Rect& area, const AssessmentPage& page, bool printing);

}  // namespace kova
