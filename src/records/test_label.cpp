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

}  // namespace kova
