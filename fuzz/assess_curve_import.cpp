// A maker's excitation curve as a user imports it (any layout of CSV).

#include <cstdint>
#include <cstdlib>
#include <string>

#include "assess/curve_import.h"
#include "assess/curve_import_model.h"
#include "assess/reference_curve.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  kova::ImportedCurve curve;
  kova::CurveImportError error;
  if (!kova::ReadCurveImport(bytes, curve, error)) {
    if (error.what.empty() || error.line < 0) std::abort();  // a refusal always says why
    return 0;
  }
  // Accepted: at least three points in rising voltage, currents never
  // falling, every value positive and finite.
  if (curve.points.size() < kova::kMinImportedPoints) std::abort();
  for (size_t i = 0; i < curve.points.size(); ++i) {
    const kova::CurvePoint& p = curve.points[i].point;
    if (!(p.volts > 0) || !(p.amps > 0) || p.volts > 1e308 || p.amps > 1e308) std::abort();
    if (i > 0 &&
        (!(p.volts > curve.points[i - 1].point.volts) || p.amps < curve.points[i - 1].point.amps)) {
      std::abort();
    }
  }
  // Completed as the dialog does, it is kept in the stored form and reads
  // back as the same points.
  kova::CurveImportModel model(curve);
  model.tap = "X1-X5";
  model.turns = "400";
  model.voltmeter_index = 1;
  kova::ReferenceCurve ref;
  std::string why;
  if (!model.Store(ref, why)) std::abort();
  kova::ReferenceCurve again;
  if (!kova::ParseReferenceCsv(kova::ReferenceCsv(ref), again, why)) std::abort();
  if (again.points.size() != ref.points.size() || again.tap != ref.tap) std::abort();
  for (size_t i = 0; i < ref.points.size(); ++i) {
    if (again.points[i].volts != ref.points[i].volts || again.points[i].amps != ref.points[i].amps)
      std::abort();
  }
  (void)model.PlotDecades();
  (void)model.Rows();
  (void)model.Said();
  return 0;
}
