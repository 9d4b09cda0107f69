#pragma once
// The sister phases of a record as the record library finds them, read
// from their files, with a line for every phase left out and why.

#include <memory>
#include <string>
#include <vector>

#include "assess/comparisons.h"
#include "library/record_store.h"
#include "records/test_record.h"

namespace kova {

struct SisterRecords {
  std::vector<std::unique_ptr<TestRecord>> records;
  std::vector<std::string> names;  // the files' names, as the system gives them
  std::vector<int> tests;          // per record, the test the library chose (from 1); 0: none
  std::vector<std::string> notes;  // "Not compared: ..." for each phase left out (text)
  std::string why;                 // set when the library cannot be asked (no station, ...)
};

// For test `test` (from 1) of `rec`: per other CT of its station and
// circuit, the record whose test of the same tap and ratio is nearest in
// time, within `span_days`.
StoreOutcome LoadSisterRecords(RecordReader& store, const TestRecord& rec, int test, int span_days,
                               const RecordDefaults& defaults, SisterRecords& out);

// The records the user names (without a library): each tested within
// `span_days` of `rec` (a date that does not read cannot be judged and
// stays in). False when a file cannot be read: `out.why` names it.
bool ReadNamedSisters(const TestRecord& rec, const std::vector<std::string>& paths, int span_days,
                      const RecordDefaults& defaults, SisterRecords& out);

// Test `test` of `rec` (from the file `name`) against its sisters at the
// same tap and ratio: each sister by the test the library chose, else by
// its last test of that tap.
SisterComparison CompareWithSisters(const TestRecord& rec, const std::string& name, int test,
                                    const SisterRecords& sisters, const ComparisonBands& bands);

}  // namespace kova
