// Derived figures of a record: the winding resistance corrected to 75 degC
// and the CT's accuracy class, relaying ("C" class of the whole winding) or
// metering (RCF and class per tap and standard metering burden).

#include "analysis/compute_derived.h"

#include <cmath>

#include "analysis/class_calc.h"
#include "analysis/excitation.h"
#include "analysis/taps.h"
#include "base/format.h"
#include "records/test_record.h"

namespace kova {
namespace {

constexpr int kTapWholeWinding = 4;  // X1-X5
constexpr int kTapSingle = 1;        // X1-X2
constexpr double kMaxClassAmps = 2.0;
const char kNoCorrection[] =
    "The winding resistance cannot be corrected to 75 \xB0"
    "C: no class is calculated.\r\n";

// Derived figures start from nothing, so computing twice gives the same.
void ClearDerived(TestRecord& rec) {
  rec.Rct75 = 0;
  rec.Rmeas = 0;
  rec.classdone = 0;
  rec.classresult.clear();
  rec.classtap.clear();
  rec.tapmode.clear();
  rec.calctext.clear();
  for (BurdenRow& row : rec.rows) row = BurdenRow();
  for (TapTest& tap : rec.taps) {
    tap.tapclass.clear();
    for (BurdenRow& row : tap.taprows) row = BurdenRow();
    tap.taptrace.clear();
  }
}

void FillRow(BurdenRow& row, double z, double rb, double xb, const TestRecord& rec,
             const char* name) {
  row.Z = z;
  row.Rb = rb;
  row.Xb = xb;
  row.Ztot = std::sqrt((rb + rec.Rct75) * (rb + rec.Rct75) + xb * xb);
  row.Vsec = rec.vmultiple * rec.IRated * row.Ztot;
  row.name = name;
  row.Vsec10 = row.Vsec * 0.1;
}

void RelayingClass(TestRecord& rec) {
  rec.classdone = 0;
  rec.IRated = rec.classsettings.ratedcurrent == 5.0 ? 5.0 : 1.0;
  rec.Tmeas = rec.classsettings.tempcelsius;
  rec.vmultiple = 20.0;
  rec.classresult = "N/A";

  rec.tapmode = "Multi Tap";
  int t = FindTestByCode(rec, kTapWholeWinding);
  if (t < 0) {
    rec.tapmode = "Single Tap";
    t = FindTestByCode(rec, kTapSingle);
  }
  if (t < 0) return;
  TapTest& tap = rec.taps[t];
  rec.classtap = TapNameFromCode(tap.nTapConnection);
  if (!CorrectTo75(rec, tap)) {
    rec.calctext += kNoCorrection;
    return;
  }
  rec.classdone = 1;

  for (int i = 0; i < kBurdenRows; ++i) {
    const double z = StandardBurdenOhms(rec.IRated, i);
    const double pf = rec.IRated == 5.0 && i < 3 ? 0.9 : 0.5;
    FillRow(rec.rows[i], z, z * pf, z * std::sqrt(1 - pf * pf), rec,
            RelayingClassName(rec.IRated, i));
  }

  // The highest class whose secondary voltage the curve still reaches below
  // the current limit.
  const int places = rec.deviceversion == 2 ? 64 : 32;
  for (int i = kBurdenRows - 1; i >= 0; --i) {
    for (int p = places - 1; p >= 0; --p) {
      if (tap.dpVolts[p] > rec.rows[i].Vsec && tap.dpAmps[p] < kMaxClassAmps) {
        tap.tapclass = rec.rows[i].name;
        rec.classresult = rec.rows[i].name;
        return;
      }
    }
  }
}

void MeteringRow(TestRecord& rec, TapTest& tap, int j) {
  BurdenRow& row = tap.taprows[j];
  const double z = StandardBurdenOhms(5.0, j);
  FillRow(row, z, 0.9 * z, std::sqrt(0.19) * z, rec, MeteringBurdenName(j));
  InterpolateAt(rec, tap, row, row.Vsec, row.rcf100, 1.0);
  InterpolateAt(rec, tap, row, row.Vsec10, row.rcf10, 0.1);
  row.meteringclass = "N/A";
  if (row.rcf100.found && row.rcf10.found) {
    row.meteringclass = MeteringClass(row.rcf100.RCF, row.rcf10.RCF);
  }
  tap.taptrace += Format("RCF(10%%)=%s, RCF(100%%)=%s\n", row.rcf10.rcftext.c_str(),
                         row.rcf100.rcftext.c_str());
  row.rowtext = Format(
      "Class %s Metering %s Bmag=%.2lf, Br=%.2lf, Bi=%.2lf, Btot=%.3lf, Vsec(10%%)=%.3lf, "
      "Vsec(100%%)=%.3lf\n",
      row.name.c_str(), row.meteringclass.c_str(), row.Z, row.Rb, row.Xb, row.Ztot, row.Vsec10,
      row.Vsec);
  row.rowtext += row.rcf100.trace;
  row.rowtext += row.rcf10.trace;
  row.rowtext += "\n";
  tap.taptrace += row.rowtext;
}

void MeteringClasses(TestRecord& rec) {
  rec.IRated = 5.0;
  rec.Tmeas = rec.classsettings.tempcelsius;
  rec.classdone = 0;
  rec.vmultiple = 1.0;
  rec.classresult = "N/A";
  rec.calctext = "\r\n                TEST CALCULATIONS\r\n\r\n";
  const int n = rec.UsableTests();
  for (int t = 0; t < n; ++t) {
    TapTest& tap = rec.taps[t];
    rec.classtap = TapNameFromCode(tap.nTapConnection);
    const bool corrected = CorrectTo75(rec, tap);
    rec.calctext += Format("Test %s\r\n\r\n", rec.classtap.c_str());
    if (!corrected) {
      // The rows keep their burdens and say that no class was found.
      for (int j = 0; j < kMeteringRows; ++j) {
        BurdenRow& row = tap.taprows[j];
        const double z = StandardBurdenOhms(5.0, j);
        row.Z = z;
        row.Rb = 0.9 * z;
        row.Xb = std::sqrt(0.19) * z;
        row.name = MeteringBurdenName(j);
        row.meteringclass = "N/A";
        row.rcf10.rcftext = row.rcf100.rcftext = "N/A";
      }
      rec.calctext += kNoCorrection;
      tap.taptrace += kNoCorrection;
      continue;
    }
    rec.classdone = 1;
    for (int j = 0; j < kMeteringRows; ++j) MeteringRow(rec, tap, j);
  }
}

}  // namespace

void ComputeDerived(TestRecord& rec) {
  ClearDerived(rec);
  if (rec.classsettings.ctusage == 2) {
    MeteringClasses(rec);
  } else {
    RelayingClass(rec);
  }
}

}  // namespace kova
