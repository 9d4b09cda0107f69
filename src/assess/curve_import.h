#pragma once
// A maker's excitation curve as people have it: a spreadsheet's CSV, a
// test set's export, or the "<stem>.reference.csv" this program keeps.
//
//   # CT 1234, curve from the data sheet        comment lines: '#' or "//"
//   tap;X1-X5                                    optional: tap, turns and
//   turns;400                                    the voltmeter (rms or average)
//   Current (mA);Voltage (V)                     optional heading: names with
//   1,2;100                                      units (V, mV, kV; A, mA), in
//   ...                                          either order
//
// The separator is a comma, a semicolon or a tab, the one the first line
// that is not a comment uses; with a semicolon or a tab a decimal comma is
// read too. A UTF-8 or UTF-16 byte-order mark is skipped. Without a heading
// the first column is volts and the second amperes. The points come back in
// V and A in rising voltage; what the file does not say (the tap, its
// turns, the voltmeter) is asked for by whoever imports it.

#include <string>
#include <vector>

#include "assess/reference_curve.h"

namespace kova {

constexpr size_t kMinImportedPoints = 3;
constexpr size_t kMaxImportLine = 400;

enum class Voltmeter { kNotGiven, kRms, kAverage };

struct ImportedPoint {
  CurvePoint point;  // V and A
  int line = 0;      // where it was read
};

struct ImportedCurve {
  std::vector<ImportedPoint> points;  // rising voltage
  bool tap_given = false;
  std::string tap;   // Windows-1252, as the program keeps texts
  double turns = 0;  // 0: not given
  Voltmeter voltmeter = Voltmeter::kNotGiven;
  // How the file was read, one line each, to show with the preview:
  // "separator: semicolon, decimal comma", "columns: current (mA), voltage (V)".
  std::vector<std::string> read_as;
};

struct CurveImportError {
  int line = 0;  // 0: the file as a whole
  std::string what;
  // "line 7: ..." or the whole-file reason.
  std::string Text() const;
};

// A whole field as a decimal number: digits with one optional point (or a
// decimal comma when allowed) and an optional exponent, a sign before them.
// Hex, "inf", "nan", thousands separators and blanks are refused.
bool DecimalNumber(const std::string& field, bool decimal_comma, double& out);

// Reads `bytes` (at most kMaxReferenceBytes); false with `error` naming the
// line and what was expected there.
bool ReadCurveImport(const std::string& bytes, ImportedCurve& out, CurveImportError& error);

// Reads the file at `path` the same way; false with `why` ("no such file",
// "not a reference curve: line 7: ...").
bool ReadCurveImportFile(const std::string& path, ImportedCurve& out, std::string& why);

// What the importer gives where the file says nothing.
struct ImportAnswers {
  bool tap_given = false;
  std::string tap;   // Windows-1252
  double turns = 0;  // 0: not given
  Voltmeter voltmeter = Voltmeter::kNotGiven;
};

enum class ImportField { kTap, kTurns, kVoltmeter };
// The fields the file does not give, in that order. The tap may stay empty;
// the turns and the voltmeter are required.
std::vector<ImportField> MissingFields(const ImportedCurve& curve);
bool FieldRequired(ImportField field);

// The curve to keep: the file's values, the answers where it has none. An
// answer the file also gives must agree with it. False with `why` naming
// the field by `names` (the dialog's labels or the command's options).
bool CompleteImport(const ImportedCurve& curve, const ImportAnswers& answers,
                    const std::vector<std::string>& names, ReferenceCurve& out, std::string& why);

}  // namespace kova
