#pragma once
// Finding a record's tests by tap and listing them in the record's tap
// order.

#include <string>
#include <vector>

#include "records/tap_names.h"

namespace kova {

struct TestRecord;

// Index of the first test whose tap code is `code`, or -1.
int FindTestByCode(const TestRecord& rec, int code);
// Index of the test for order position k (from 0): the first test with
// TapOrderCode(k + 1); 0 when no test has that tap.
int TestForOrderPosition(const TestRecord& rec, int k);
// The tests in report order: for k = 1..10 the first test with
// TapOrderCode(k), if any, each test once. Returns the count written to
// `out` (at most 10). Tests whose tap is not in the order are not listed.
int OrderedTests(const TestRecord& rec, int out[kTapCodes]);

// The same list with each test's tap-order position k (1..10), which the
// summary table prints beside it.
struct OrderedTest {
  int position = 0;
  int test = 0;
};
std::vector<OrderedTest> OrderedTestsWithPositions(const TestRecord& rec);

}  // namespace kova
