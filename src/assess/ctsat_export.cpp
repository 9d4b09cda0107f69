#include "assess/ctsat_export.h"

#include <cmath>

#include "analysis/class_calc.h"
#include "analysis/display_rules.h"
#include "assess/iec_assessment.h"
#include "assess/knee_check.h"
#include "assess/loglog_curve.h"
#include "base/file_io.h"
#include "base/format.h"
#include "base/path.h"
#include "records/tap_names.h"
#include "records/test_label.h"

namespace kova {

namespace {

constexpr double kVsCurrent = 10.0;  // amperes

// Least-squares slope of ln I on ln V; false with fewer than two points.
bool InverseSlope(const std::vector<CurvePoint>& pts, double& s) {
  if (pts.size() < 2) return false;
  double sx = 0, sy = 0, sxx = 0, sxy = 0;
  for (const CurvePoint& p : pts) {
    const double x = std::log(p.volts), y = std::log(p.amps);
    sx += x;
    sy += y;
    sxx += x * x;
    sxy += x * y;
  }
  const double n = static_cast<double>(pts.size());
  const double den = n * sxx - sx * sx;
  if (!(den > 0)) return false;
  s = (n * sxy - sx * sy) / den;
  return std::isfinite(s) && s > 0;
}

std::string Num(bool has, const char* format, double v) {
  return has && std::isfinite(v) ? Format(format, v) : std::string("N/A");
}

}  // namespace

std::vector<CtsatRow> CtsatRows(const TestRecord& rec) {
  std::vector<CtsatRow> rows;
  for (int t = 0; t < rec.UsableTests(); ++t) {
    const TapTest& tap = rec.taps[t];
    CtsatRow row;
    row.test = ReportTestNumber(t);
    row.tap = TapNameFromCode(tap.nTapConnection);
    const ExcitationCurve curve = ExcitationCurve::FromTap(rec, tap);
    const double knee = RecordKnee(rec, tap).volts;
    std::vector<CurvePoint> above;
    if (knee > 0) {
      for (const CurvePoint& p : curve.points()) {
        if (p.volts >= knee) above.push_back(p);
      }
    }
    row.has_s = InverseSlope(above, row.s);
    if (curve.Usable() && curve.points().back().amps >= kVsCurrent) {
      const CurveReading v = curve.VoltageAt(kVsCurrent);
      row.has_vs = v.ok;
      row.vs = v.value;
    } else if (row.has_s) {
      const CurvePoint& top = curve.points().back();
      row.vs = top.volts * std::pow(kVsCurrent / top.amps, 1.0 / row.s);
      row.has_vs = true;
      row.vs_extrapolated = true;
    }
    if (tap.uTestType & kRatioTest) {
      row.n = tap.fTestRatio;
      row.n_measured = true;
    } else {
      row.n = NameplateRatio(tap);
    }
    row.has_n = row.n > 0 && std::isfinite(row.n);
    if (tap.uTestType & kResistanceTest) {
      row.rw = TapRct75(rec, tap);
      row.has_rw = row.rw > 0;
    }
    rows.push_back(row);
  }
  return rows;
}

std::string CtsatCsv(const TestRecord& rec) {
  std::string csv =
      "Test,Tap,S,Vs (V rms at 10 A),Vs extrapolated,N (turns ratio),N source,"
      "Rw at 75 degC (ohm)\r\n";
  for (const CtsatRow& r : CtsatRows(rec)) {
    csv += Format("%d,%s,", r.test, r.tap.c_str());
    csv += Num(r.has_s, "%.3f", r.s) + ",";
    csv += Num(r.has_vs, "%.2f", r.vs) + ",";
    csv += r.has_vs ? (r.vs_extrapolated ? "yes," : "no,") : "N/A,";
    csv += Num(r.has_n, "%.4f", r.n) + ",";
    csv += r.has_n ? (r.n_measured ? "measured," : "nameplate,") : "N/A,";
    csv += Num(r.has_rw, "%.4f", r.rw) + "\r\n";
  }
  return csv;
}

std::string CtsatExportPath(const std::string& record_path, const std::string& folder) {
  const std::string base = folder.empty() ? FolderOf(record_path) : folder;
  const std::string name = StemOf(FileNameOf(record_path)) + ".ctsat.csv";
  return base.empty() ? name : PathJoin(base, name);
}

bool ExportCtsat(const TestRecord& rec, const std::string& path, std::string* why) {
  return WriteFileAtomically(path, CtsatCsv(rec), why);
}

}  // namespace kova
