#pragma once
// How every view names one test of a record: by the number the printed
// report heads the test's pages with ("TEST # n"), the tap beside it. The
// summary table and the exports keep their own order of the tests; a number
// the program prints or takes (`--test`, a profile's "test") is this one.

#include <string>

namespace kova {

struct TestRecord;

// The report's number of the test at `index` (from 0) of its record.
int ReportTestNumber(int index);
// "Test 2 (tap X1-X4)" for the test at index 1 of tap "X1-X4"; "Test 2"
// without a tap name.
std::string ReportTestLabel(int index, const std::string& tap);
// The same for a test of `rec`; no tap for a code outside 1..10.
std::string ReportTestLabel(const TestRecord& rec, int index);
// Why `number` (a report number) names no test of a record of `count`
// tests: "the record has no test 9: its tests are 1 to 5"; empty when it
// names one.
std::string MissingTestText(int number, int count);

}  // namespace kova
