#pragma once
// Sister phases from the record library: the other CTs of a record's
// station and circuit, each by its test of the same tap and ratio made
// nearest in time to the record's, within a span of days.

#include <string>
#include <vector>

#include "library/record_store.h"
#include "records/test_record.h"

namespace kova {

struct SisterCandidate {
  CtInfo ct;
  TestRow test;
  int days_apart = -1;  // -1: a date that does not read
};

struct SisterChoice {
  std::vector<SisterCandidate> chosen;   // one per other CT, in CT order
  std::vector<SisterCandidate> too_far;  // CTs whose nearest test is outside the span
  std::vector<SisterCandidate> undated;  // CTs whose tests' dates do not read
};

// Whole days between two library dates ("YYYY-MM-DD ..."); -1 when either
// does not read.
int LibraryDaysApart(const std::string& a, const std::string& b);

// Per CT of `rows`, its test nearest to `test_date`; a CT whose nearest test
// is more than `span_days` away is left out, and so is one whose dates do
// not read (how far apart cannot be judged from the library). When
// `test_date` itself does not read, every CT's latest test is chosen.
SisterChoice ChooseSisters(const std::vector<CtTestRow>& rows, const std::string& test_date,
                           int span_days);

// The library's candidates for test `test` (from 1) of `rec`. Empty (and
// `why` set) when the record names no station and no circuit.
StoreOutcome FindSisterCandidates(RecordReader& store, const TestRecord& rec, int test,
                                  int span_days, SisterChoice& out, std::string& why);

}  // namespace kova
