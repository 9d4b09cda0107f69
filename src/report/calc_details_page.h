#pragma once
// The "Calculation details" pages at the end of a report that asks for them: the
// IEC 61869-2 assessment when the record has an assessment profile beside
// it, the comparison with the CT's reference curve when one is kept, the
// taps against each other, then the working of every computed value of
// every test. An overlay lists the details of each of its records.

#include <string>
#include <vector>

#include "assess/comparisons.h"
#include "assess/explain.h"
#include "assess/reference_keeper.h"
#include "records/test_record.h"
#include "report/record_context.h"
#include "report/surface.h"

namespace kova {

constexpr const char* kCalculationDetailsTitle = "Calculation details";
// Lines of text on one details page.
constexpr int kDetailsLinesPerPage = 72;

// What the details are made of, for the pages and the XML document alike.
struct CalculationDetails {
  bool have_profile = false;  // a usable profile is kept beside the record
  AssessmentProfile profile;
  AssessmentResult assessment;
  std::string profile_problem;  // a profile is kept but cannot be used
  bool have_reference = false;  // a readable reference is kept for the CT
  ReferenceComparison reference;
  std::string reference_where;    // the file, or the library, it came from
  std::string reference_problem;  // a reference is kept but cannot be read
  std::string reference_note;     // why no reference applies, when told
  double tap_band_percent = kTapBandPercent;
  std::vector<TapComparison> taps;
  RecordExplanation working;  // comparisons' working included
};
// `reference` is the one kept for the record's CT; left empty, the file
// beside the record is read. The profile is read beside the record.
CalculationDetails GatherCalculationDetails(const TestRecord& rec,
                                            const ComparisonBands& bands = {},
                                            const KeptReference& reference = {});
// The same from what was gathered when the record was opened.
CalculationDetails GatherCalculationDetails(const TestRecord& rec, const RecordContext& context);

// Every line of the details of one record, Windows-1252; `reference` is the
// one kept for its CT.
std::vector<std::string> CalculationDetailsLines(const TestRecord& rec,
                                                 const ComparisonBands& bands = {},
                                                 const KeptReference& reference = {});
std::vector<std::string> CalculationDetailsLines(const TestRecord& rec,
                                                 const RecordContext& context);
std::vector<std::string> DetailsLines(const CalculationDetails& details);
// The same for the records of an overlay, each under a line naming it, each
// with its context.
std::vector<std::string> OverlayDetailsLines(const std::vector<const TestRecord*>& records,
                                             const std::vector<RecordContext>& contexts);
int DetailsPageCount(const std::vector<std::string>& lines);

// Details page `index` (from 0) of `lines` inside `inner`, in a fixed-pitch
// font sized to the page.
void DrawCalculationDetails(Surface& s, const Rect& inner, const std::vector<std::string>& lines,
                            int index);

}  // namespace kova
