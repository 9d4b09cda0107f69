#pragma once
// The inputs a CT saturation calculator takes, per test, for system studies:
// S (the inverse slope of the curve above the knee on log-log axes), Vs
// (the r.m.s. voltage at 10 A excitation current, continued along that
// slope and marked so when the curve stops short of 10 A), N (the turns
// ratio) and Rw (the winding resistance at 75 degC). Written as CSV whose
// header line names the units.

#include <string>
#include <vector>

#include "records/test_record.h"

namespace kova {

struct CtsatRow {
  int test = 0;  // 1-based
  std::string tap;
  bool has_s = false;
  double s = 0;
  bool has_vs = false;
  double vs = 0;
  bool vs_extrapolated = false;
  bool has_n = false;
  double n = 0;
  bool n_measured = false;  // false: the nameplate ratio
  bool has_rw = false;
  double rw = 0;
};

// S by least squares of ln I on ln V over the points at and above the
// knee (at least two); Vs read at 10 A, or continued from the highest point.
std::vector<CtsatRow> CtsatRows(const TestRecord& rec);
// "Test,Tap,S,Vs (V rms at 10 A),Vs extrapolated,N (turns ratio),N source,
// Rw at 75 degC (ohm)" and one line per test; "N/A" where a value is missing.
std::string CtsatCsv(const TestRecord& rec);
// "<stem>.ctsat.csv" in `folder`, or beside the record without one.
std::string CtsatExportPath(const std::string& record_path, const std::string& folder);
// Written atomically.
// `why` (optional) says why the file could not be written.
bool ExportCtsat(const TestRecord& rec, const std::string& path, std::string* why = nullptr);

}  // namespace kova
