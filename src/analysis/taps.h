#pragma once
// Tap codes 1..10 name the ten terminal pairs X1-X2 .. X4-X5 of a
// multi-ratio CT. Per-tap tables of the plan are ordered by tap position.

#include <string>

namespace kova {

struct TestRecord;

constexpr int kTapCodes = 10;

// "X1-X2" .. "X4-X5"; empty for a code outside 1..10.
std::string TapNameFromCode(int code);
// Exact match of one of the ten names, else 1.
int TapCodeFromName(const std::string& name);
// Position in the per-tap tables; 0 for a code outside 1..10.
int TapPosition(int code);
// The ten names in code order, joined by ",".
std::string DefaultTapOrder();
// Code of the k-th entry (k from 1) of a tap order text; past the last entry
// the last one is repeated; an empty text gives 1.
int TapOrderCode(const std::string& taporder, int k);

// Index of the first test whose tap code is `code`, or -1.
int FindTestByCode(const TestRecord& rec, int code);
// Index of the test for order position k (from 0): the first test with
// TapOrderCode(k + 1); 0 when no test has that tap.
int TestForOrderPosition(const TestRecord& rec, int k);
// The tests in report order: for k = 1..10 the first test with
// TapOrderCode(k), if any, each test once. Returns the count written to
// `out` (at most 10). Tests whose tap is not in the order are not listed.
int OrderedTests(const TestRecord& rec, int out[kTapCodes]);

}  // namespace kova
