#include "analysis/taps.h"

#include "records/test_record.h"

namespace kova {
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

std::vector<OrderedTest> OrderedTestsWithPositions(const TestRecord& rec) {
  std::vector<OrderedTest> list;
  for (int k = 1; k <= kTapCodes; ++k) {
    const int t = FindTestByCode(rec, TapOrderCode(rec.taporder, k));
    if (t < 0) continue;
    bool listed = false;
    for (const OrderedTest& o : list) listed = listed || o.test == t;
    if (!listed) list.push_back({k, t});
  }
  return list;
}

}  // namespace kova
