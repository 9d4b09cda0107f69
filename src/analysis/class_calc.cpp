#include "analysis/class_calc.h"

#include <cmath>

namespace kova {
namespace {
const double kBurden5A[kBurdenRows] = {0.1, 0.2, 0.5, 1.0, 2.0, 4.0, 8.0};
const double kBurden1A[kBurdenRows] = {2.5, 5.0, 12.5, 25.0, 50.0, 100.0, 200.0};
const char* const kRelaying5A[kBurdenRows] = {"C10", "C20", "C50", "C100", "C200", "C400", "C800"};
const char* const kRelaying1A[kBurdenRows] = {"C50",   "C100",  "C250", "C500",
                                              "C1000", "C2000", "C4000"};
const char* const kMetering[kBurdenRows] = {"B-0.1", "B-0.2", "B-0.5", "B-0.9", "B-1.8", "", ""};

int Clamp(int row) { return row < 0 ? 0 : (row >= kBurdenRows ? kBurdenRows - 1 : row); }
}  // namespace

double StandardBurdenOhms(double irated, int row) {
  return irated == 5.0 ? kBurden5A[Clamp(row)] : kBurden1A[Clamp(row)];
}

const char* RelayingClassName(double irated, int row) {
  return irated == 5.0 ? kRelaying5A[Clamp(row)] : kRelaying1A[Clamp(row)];
}

const char* MeteringBurdenName(int row) { return kMetering[Clamp(row)]; }

bool ResistanceAt75(double ohms, double celsius, double& at75) {
  at75 = 0;
  if (!std::isfinite(ohms) || !std::isfinite(celsius) || !(celsius + 234.5 > 0)) return false;
  const double r = ohms * 309.5 / (celsius + 234.5);
  if (!std::isfinite(r)) return false;
  at75 = r;
  return true;
}

double TapRct75(const TestRecord& rec, const TapTest& tap) {
  double at75 = 0;
  ResistanceAt75(tap.fWindingRes / 1000.0, rec.classsettings.tempcelsius, at75);
  return at75;
}

bool CorrectTo75(TestRecord& rec, const TapTest& tap) {
  rec.Rmeas = tap.fWindingRes / 1000;
  if (!std::isfinite(rec.Rmeas)) rec.Rmeas = 0;
  return ResistanceAt75(tap.fWindingRes / 1000, rec.Tmeas, rec.Rct75);
}

const char* MeteringClass(double b, double c) {
  if (0.997 <= b && b <= 1.003 && 0.994 <= c && c < 1.006) return "0.3";
  if (0.994 <= b && b <= 1.006 && 0.988 <= c && c < 1.012) return "0.6";
  if (0.988 <= b && b <= 1.012 && 0.976 <= c && c < 1.024) return "1.2";
  return "N/A";
}

}  // namespace kova
