#include "assess/curve_import_model.h"

#include <algorithm>
#include <cmath>

#include "base/format.h"

namespace kova {

CurveImportModel::CurveImportModel(ImportedCurve curve) : curve_(std::move(curve)) {}

bool CurveImportModel::Asks(ImportField field) const {
  const std::vector<ImportField> missing = MissingFields(curve_);
  return std::find(missing.begin(), missing.end(), field) != missing.end();
}

std::string CurveImportModel::Label(ImportField field) {
  switch (field) {
    case ImportField::kTap:
      return "Tap";
    case ImportField::kTurns:
      return "Turns of the tap";
    case ImportField::kVoltmeter:
      return "Voltmeter reading";
  }
  return "";
}

const std::vector<std::string>& CurveImportModel::VoltmeterNames() {
  static const std::vector<std::string> names{"r.m.s.", "average (rectified)"};
  return names;
}

std::vector<std::string> CurveImportModel::Said() const {
  std::vector<std::string> lines;
  if (curve_.tap_given) lines.push_back("Tap: " + (curve_.tap.empty() ? "(none)" : curve_.tap));
  if (curve_.turns > 0) lines.push_back(Format("Turns of the tap: %.10g", curve_.turns));
  if (curve_.voltmeter != Voltmeter::kNotGiven) {
    lines.push_back("Voltmeter reading: " +
                    VoltmeterNames()[curve_.voltmeter == Voltmeter::kRms ? 0 : 1]);
  }
  std::string missing;
  for (ImportField f : MissingFields(curve_)) {
    std::string label = Label(f);
    label[0] = static_cast<char>(label[0] - 'A' + 'a');
    missing += (missing.empty() ? "" : ", ") + label;
  }
  if (!missing.empty()) lines.push_back("The file does not give: " + missing);
  return lines;
}

std::vector<CurveImportModel::Row> CurveImportModel::Rows() const {
  std::vector<Row> rows;
  for (const ImportedPoint& p : curve_.points) {
    rows.push_back(
        {std::to_string(p.line), Format("%.6g", p.point.volts), Format("%.6g", p.point.amps)});
  }
  return rows;
}

CurveImportModel::Decades CurveImportModel::PlotDecades() const {
  Decades d;
  if (curve_.points.empty()) return d;
  double v_lo = curve_.points.front().point.volts, v_hi = curve_.points.back().point.volts;
  double a_lo = curve_.points.front().point.amps, a_hi = a_lo;
  for (const ImportedPoint& p : curve_.points) {
    a_lo = std::min(a_lo, p.point.amps);
    a_hi = std::max(a_hi, p.point.amps);
  }
  const auto range = [](double lo, double hi, int& low, int& high) {
    // The reader bounds every value to a finite positive double.
    low = static_cast<int>(std::floor(std::log10(lo)));
    high = static_cast<int>(std::ceil(std::log10(hi)));
    if (high <= low) high = low + 1;
  };
  range(v_lo, v_hi, d.volts_low, d.volts_high);
  range(a_lo, a_hi, d.amps_low, d.amps_high);
  return d;
}

bool CurveImportModel::Store(ReferenceCurve& out, std::string& error) const {
  ImportAnswers a;
  if (Asks(ImportField::kTap)) {
    a.tap_given = true;
    a.tap = tap;
    while (!a.tap.empty() && a.tap.back() == ' ') a.tap.pop_back();
    while (!a.tap.empty() && a.tap.front() == ' ') a.tap.erase(0, 1);
  }
  if (Asks(ImportField::kTurns)) {
    std::string t = turns;
    while (!t.empty() && t.back() == ' ') t.pop_back();
    while (!t.empty() && t.front() == ' ') t.erase(0, 1);
    if (!t.empty() && (!DecimalNumber(t, true, a.turns) || !(a.turns > 0))) {
      error = Label(ImportField::kTurns) + ": a number above 0 is required";
      return false;
    }
  }
  if (Asks(ImportField::kVoltmeter) && voltmeter_index >= 0) {
    a.voltmeter = voltmeter_index == 0 ? Voltmeter::kRms : Voltmeter::kAverage;
  }
  return CompleteImport(
      curve_, a,
      {Label(ImportField::kTap), Label(ImportField::kTurns), Label(ImportField::kVoltmeter)}, out,
      error);
}

}  // namespace kova
