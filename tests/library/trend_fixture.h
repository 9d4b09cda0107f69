#pragma once
// A CT tested every year at one tap, its core and winding drifting: knee
// voltage down 1.5 % a year, Rct up 0.8 % a year, the ratio 1.5 turns off
// in the last test; the flags go from OK through WARN to ALARM.

#include <cmath>
#include <string>
#include <vector>

#include "base/format.h"
#include "library/history.h"

namespace kova {

inline TestRow DriftingTest(int i, const std::string& tap = "X1-X5") {
  TestRow t;
  t.tap = tap;
  t.tap_index = 0;
  t.content_hash = Format("hash%02d", i);
  t.path = Format("/records/SN%02d.test", i);
  t.test_date = Format("%04d-07-17 10:00:00", 2010 + i);
  // A long history repeats the drift of eight years.
  const int year = i % 8;
  const double scale = 1.0 - 0.015 * year;
  for (double a : {0.01, 0.03, 0.1, 0.3, 1.0})
    t.curve.push_back({100 * scale * std::pow(a, 0.2), a});
  t.knee45_v = 100 * scale * std::pow(0.1, 0.2);
  t.knee45_i = 0.1;
  t.kneetype = 2;
  t.has_ratio = true;
  t.nameplate_ratio = 240;
  t.measured_ratio = 239.5 + (year == 7 ? 1.5 : 0.0);
  t.ratio_error = (t.measured_ratio - 240) / 240 * 100;
  t.has_resistance = true;
  t.rct75 = 1.945 * (1 + 0.008 * year);
  t.winding_res = t.rct75 * 0.8;
  t.pass_fail = "PASS";
  t.ct_class = "C200";
  return t;
}

inline std::vector<HistoryEntry> DriftingHistory(int tests, const std::string& tap = "X1-X5") {
  std::vector<TestRow> rows;
  for (int i = 0; i < tests; ++i) rows.push_back(DriftingTest(i, tap));
  return BuildHistory(rows, TrendBands());
}

}  // namespace kova
