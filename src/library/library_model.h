#pragma once
// What the record library keeps: the CT a record belongs to, the record file
// it came from, and one row per tested tap. Texts are Windows-1252 bytes like
// everywhere in the program; the stores convert at their edge.

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/excitation.h"

namespace kova {

// A CT is its manufacturer and serial number, compared without letter case
// and surrounding spaces; station, circuit and model are as last seen.
struct CtInfo {
  std::string key;  // CtKey(manufacturer, serialnumber)
  std::string manufacturer, serialnumber, station, circuit, model;
  std::string last_test_date;  // "YYYY-MM-DD hh:mm:ss"
  int64_t records = 0;         // filled by searches
};

// A record file as the library knows it.
struct RecordIdentity {
  std::string content_hash;  // hex SHA-256 of the file's bytes
  std::string path;
  int64_t size = 0;
  // The file's time in nanoseconds (of the file system's clock) and its
  // inode (0 where there is none): a rewrite within a second or a swap that
  // keeps the time changes one of them.
  int64_t mtime = 0;
  int64_t inode = 0;
};

// One tested tap of one record.
struct TestRow {
  std::string content_hash;  // the record it belongs to
  std::string path;          // where that record was last seen
  int tap_index = 0;         // position in the record
  std::string tap;           // "X1-X5", ...
  std::string test_date;     // "YYYY-MM-DD hh:mm:ss"
  double knee10_v = 0, knee10_i = 0, knee30_v = 0, knee30_i = 0, knee45_v = 0, knee45_i = 0;
  int kneetype = 1;            // the record's code: KneeRuleOfType
  double nameplate_ratio = 0;  // 0 when the record gives none
  bool has_ratio = false;
  double measured_ratio = 0;
  double ratio_error = 0;  // the turns ratio error, percent (TurnsRatioError)
  bool has_phase = false;
  double phase = 0;
  bool has_resistance = false;
  double winding_res = 0;  // ohms, as measured
  double rct75 = 0;        // ohms at 75 degC
  std::string pass_fail;   // "PASS", "FAIL" or empty
  std::string ct_class;
  bool baseline = false;  // the user marked this record as the CT's baseline
  // The excitation curve as ExcitationCurve keeps it: points of positive
  // voltage and current in rising voltage.
  std::vector<CurvePoint> curve;
};

// A test together with the CT it was made on.
struct CtTestRow {
  CtInfo ct;
  TestRow test;
};

// Everything one record file adds to the library.
struct RecordEntry {
  RecordIdentity identity;
  CtInfo ct;
  std::string test_date;
  std::vector<TestRow> tests;
};

// Upper case, surrounding spaces removed: how the library compares
// manufacturers and serial numbers.
std::string NormalizeIdentityText(const std::string& text);
std::string CtKey(const std::string& manufacturer, const std::string& serialnumber);

}  // namespace kova
