#include "analysis/taps.h"

#include "records/test_record.h"

namespace kova {
namespace {
const char* const kNames[kTapCodes] = {"X1-X2", "X1-X3", "X1-X4", "X1-X5", "X2-X3",
                                       "X2-X4", "X2-X5", "X3-X4", "X3-X5", "X4-X5"};
const int kPositions[kTapCodes] = {3, 2, 1, 0, 6, 5, 4, 8, 7, 9};
}  // namespace

std::string TapNameFromCode(int code) {
  if (code < 1 || code > kTapCodes) return std::string();
  return kNames[code - 1];
}

int TapCodeFromName(const std::string& name) {
  for (int i = 0; i < kTapCodes; ++i) {
    if (name == kNames[i]) return i + 1;
  }
  return 1;
}

int TapPosition(int code) {
  if (code < 1 || code > kTapCodes) return 0;
  return kPositions[code - 1];
}

std::string DefaultTapOrder() {
  std::string order;
  for (int i = 0; i < kTapCodes; ++i) {
    if (i) order += ',';
    order += kNames[i];
  }
  return order;
}

int TapOrderCode(const std::string& taporder, int k) {
  std::string remaining = taporder;
  std::string entry;
  for (int i = 0; i < k; ++i) {
    const size_t comma = remaining.find(',');
    if (!remaining.empty() && comma != std::string::npos) {
      entry = remaining.substr(0, comma);
      remaining = remaining.substr(comma + 1);
    } else {
      entry = remaining;
    }
  }
  return TapCodeFromName(entry);
}

int FindTestByCode(const TestRecord& rec, int code) {
  const int n = rec.UsableTests();
  for (int t = 0; t < n; ++t) {
    if (rec.taps[t].nTapConnection == code) return t;
  }
  return -1;
}

int TestForOrderPosition(const TestRecord& rec, int k) {
  const int t = FindTestByCode(rec, TapOrderCode(rec.taporder, k + 1));
  return t < 0 ? 0 : t;
}

int OrderedTests(const TestRecord& rec, int out[kTapCodes]) {
  int count = 0;
  for (int k = 1; k <= kTapCodes; ++k) {
    const int t = FindTestByCode(rec, TapOrderCode(rec.taporder, k));
    if (t < 0) continue;
    // A tap order shorter than ten names repeats its last name: list each
    // test once.
    bool listed = false;
    for (int i = 0; i < count; ++i) listed = listed || out[i] == t;
    if (!listed) out[count++] = t;
  }
  return count;
}

}  // namespace kova
