#pragma once
// The "Calculation details" pages at the end of a record's report: the
// IEC 61869-2 assessment and the comparison flags when the record has an
// assessment profile or a reference curve beside it, then the working of
// every computed value of every test. The text is built from the record
// and the two small files beside it each time it is needed.

#include <string>
#include <vector>

#include "assess/comparisons.h"
#include "assess/explain.h"
#include "records/test_record.h"
#include "report/surface.h"

namespace kova {

constexpr const char* kCalculationDetailsTitle = "Calculation details";
// Lines of text on one details page.
constexpr int kDetailsLinesPerPage = 58;

// True when the record's report gets the details pages: an assessment
// profile or a reference curve is kept beside its file.
bool CalculationDetailsWanted(const TestRecord& rec);
// What the details are made of, for the pages and the XML document alike.
struct CalculationDetails {
  bool have_profile = false;  // a usable profile is kept beside the record
  AssessmentProfile profile;
  AssessmentResult assessment;
  std::string profile_problem;  // a profile is kept but cannot be used
  bool have_reference = false;  // a readable reference is kept beside it
  ReferenceComparison reference;
  std::string reference_problem;  // a reference is kept but cannot be read
  double tap_band_percent = kTapBandPercent;
  std::vector<TapComparison> taps;
  RecordExplanation working;  // comparisons' working included
};
CalculationDetails GatherCalculationDetails(const TestRecord& rec,
                                            const ComparisonBands& bands = {});

// Every line of the details, Windows-1252.
std::vector<std::string> CalculationDetailsLines(const TestRecord& rec,
                                                 const ComparisonBands& bands = {});
int CalculationDetailsPageCount(const TestRecord& rec, const ComparisonBands& bands = {});

// Details page `index` (from 0) inside `inner`, in a fixed-pitch font sized
// to the page.
void DrawCalculationDetails(Surface& s, const Rect& inner, const TestRecord& rec, int index,
                            const ComparisonBands& bands = {});

}  // namespace kova
