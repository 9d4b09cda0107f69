#include "records/test_label.h"

#include "base/format.h"
#include "records/tap_names.h"
#include "records/test_record.h"

namespace kova {

// The test pages come in the order the record stores its tests.
int ReportTestNumber(int index) { return index + 1; }

std::string ReportTestLabel(int index, const std::string& tap) {
  const std::string number = Format("Test %d", ReportTestNumber(index));
  return tap.empty() ? number : number + " (tap " + tap + ")";
}

std::string ReportTestLabel(const TestRecord& rec, int index) {
  if (index < 0 || index >= kMaxTaps) return ReportTestLabel(index, std::string());
  return ReportTestLabel(index, TapNameFromCode(rec.taps[index].nTapConnection));
}

std::string MissingTestText(int number, int count) {
  const int first = ReportTestNumber(0);
  const int last = ReportTestNumber(count - 1);
  if (count > 0 && number >= first && number <= last) return std::string();
  if (count <= 0) return Format("the record has no test %d: it has no tests", number);
  if (count == 1) return Format("the record has no test %d: its only test is %d", number, first);
  return Format("the record has no test %d: its tests are %d to %d", number, first, last);
}

}  // namespace kova
