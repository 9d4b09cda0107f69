#pragma once
// The model behind the reference-curve import dialog: the points as read,
// the tap, turns and voltmeter the file gives, fields for those it does not
// (only those are asked for), the plot's decades and the one check on OK.

#include <string>
#include <vector>

#include "assess/curve_import.h"

namespace kova {

class CurveImportModel {
 public:
  explicit CurveImportModel(ImportedCurve curve);

  const ImportedCurve& curve() const { return curve_; }
  // The file does not give it: the dialog shows a field.
  bool Asks(ImportField field) const;
  static std::string Label(ImportField field);
  static const std::vector<std::string>& VoltmeterNames();  // rms, average

  // The fields' texts as the user leaves them (Windows-1252).
  std::string tap, turns;
  int voltmeter_index = -1;  // into VoltmeterNames(); -1: none chosen

  // One line per value the file gives, and one naming what it does not.
  std::vector<std::string> Said() const;
  // Line, volts and amperes of each point as the table shows them.
  struct Row {
    std::string line, volts, amps;
  };
  std::vector<Row> Rows() const;
  // Powers of ten around the points, at least one decade each way.
  struct Decades {
    int volts_low = 0, volts_high = 1, amps_low = 0, amps_high = 1;
  };
  Decades PlotDecades() const;

  // The curve to keep; on failure `error` names the field by its label.
  bool Store(ReferenceCurve& out, std::string& error) const;

 private:
  ImportedCurve curve_;
};

}  // namespace kova
