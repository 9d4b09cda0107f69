#pragma once
// What a record's report and its exports draw on besides the record: the
// assessment profile and the reference curve kept for its CT (beside the
// file or in the record library), its sister phases the library knows and
// the comparisons' bands. Gathered once when a record is opened, so the screen, the printout,
// the report generator's input and the CLI all see the same, and paging or
// rebuilding the pages never asks the library again.

#include <string>

#include "assess/comparisons.h"
#include "assess/iec_assessment.h"
#include "assess/profile_file.h"
#include "assess/reference_keeper.h"
#include "records/test_record.h"

namespace kova {

struct RecordContext {
  KeptProfile profile;
  KeptReference reference;
  ComparisonBands bands;
  // The record against its sister phases; no rows when none are known.
  SisterComparison sisters;
  // A profile or a reference curve is kept for the record, usable or not.
  bool HasKept() const {
    return profile.load != ProfileLoad::kMissing || reference.state != KeptReference::State::kNone;
  }
};

// Asks `keeper` once for the reference and the profile of the record's CT.
RecordContext GatherRecordContext(const TestRecord& rec, ReferenceKeeper& keeper,
                                  const ComparisonBands& bands);

// What is kept beside the record file alone (no library).
RecordContext RecordContextBeside(const TestRecord& rec, const ComparisonBands& bands);

}  // namespace kova
