#pragma once
// The "Calculation details" pages at the end of every report: the
// IEC 61869-2 assessment when the record has an assessment profile beside
// it, the comparison with the CT's reference curve when one is kept, the
// taps against each other, then the working of every computed value of
// every test. An overlay lists the details of each of its records.

#include <string>
#include <vector>

#include "assess/comparisons.h"
#include "assess/reference_keeper.h"
#include "records/test_record.h"
#include "report/surface.h"

namespace kova {

constexpr const char* kCalculationDetailsTitle = "Calculation details";
// Lines of text on one details page.
constexpr int kDetailsLinesPerPage = 58;

// Every line of the details of one record, Windows-1252; `reference` is the
// one kept for its CT.
std::vector<std::string> CalculationDetailsLines(const TestRecord& rec,
                                                 const ComparisonBands& bands = {},
                                                 const KeptReference& reference = {});
// The same for the records of an overlay, each under a line naming it.
std::vector<std::string> OverlayDetailsLines(const std::vector<const TestRecord*>& records,
                                             const ComparisonBands& bands,
                                             const KeptReference& reference);
int DetailsPageCount(const std::vector<std::string>& lines);

// Details page `index` (from 0) of `lines` inside `inner`, in a fixed-pitch
// font sized to the page.
void DrawCalculationDetails(Surface& s, const Rect& inner, const std::vector<std::string>& lines,
                            int index);

}  // namespace kova
