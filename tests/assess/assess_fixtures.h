#pragma once
// Records with an excitation curve of a known shape, for the assessment
// tests.

#include <cmath>
#include <functional>
#include <memory>

#include "records/test_record.h"

namespace kova {

// A record of model 2 (64 points) whose first test holds `count` points of
// amps(volts) at voltages spaced evenly in log from `v_lo` to `v_hi`,
// stored in falling voltage as the instrument stores them.
inline std::unique_ptr<TestRecord> CurveRecord(const std::function<double(double)>& amps,
                                               double v_lo, double v_hi, int count = 64) {
  auto rec = std::make_unique<TestRecord>();
  rec->deviceversion = 2;
  rec->numtests = 1;
  rec->classsettings.tempcelsius = 75.0;
  TapTest& tap = rec->taps[0];
  tap.nTapConnection = 4;
  tap.uTestType = kRatioTest | kResistanceTest | kExcitationTest;
  for (int i = 0; i < count; ++i) {
    const double f = count > 1 ? static_cast<double>(i) / (count - 1) : 0;
    const double v = v_hi * std::pow(v_lo / v_hi, f);
    tap.dpVolts[i] = v;
    tap.dpAmps[i] = amps(v);
  }
  return rec;
}

// A straight line on log-log through (v0, i0): every reading between its
// points is exact.
inline std::function<double(double)> PowerLaw(double v0, double i0, double exponent) {
  return [=](double v) { return i0 * std::pow(v / v0, exponent); };
}

}  // namespace kova
