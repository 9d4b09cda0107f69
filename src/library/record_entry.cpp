#include "library/record_entry.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

#include "analysis/class_calc.h"
#include "analysis/display_rules.h"
#include "analysis/pass_fail.h"
#include "assess/loglog_curve.h"
#include "records/tap_names.h"

namespace kova {
namespace {

bool TwoDigits(const std::string& s, size_t at, int& value) {
  if (at + 2 > s.size() || !isdigit(static_cast<unsigned char>(s[at])) ||
      !isdigit(static_cast<unsigned char>(s[at + 1])))
    return false;
  value = (s[at] - '0') * 10 + (s[at + 1] - '0');
  return true;
}

std::string PassFailText(const TestRecord& rec, const TapTest& tap) {
  if (!PassFailEnabled(rec)) return "";
  const Mark marks[] = {RatioMark(rec, tap), KneeMark(rec, tap), ResistanceMark(rec, tap),
                        PolarityMark(rec, tap)};
  bool any = false;
  for (Mark m : marks) {
    if (m == Mark::kFail) return "FAIL";
    any = any || m == Mark::kPass;
  }
  return any ? "PASS" : "";
}

}  // namespace

std::string SortableTestDate(const std::string& t) {
  int mo, d, y, h, mi, s;
  if (t.size() < 17 || t[2] != '/' || t[5] != '/' || t[8] != ' ' || t[11] != ':' || t[14] != ':')
    return "";
  if (!TwoDigits(t, 0, mo) || !TwoDigits(t, 3, d) || !TwoDigits(t, 6, y) || !TwoDigits(t, 9, h) ||
      !TwoDigits(t, 12, mi) || !TwoDigits(t, 15, s))
    return "";
  if (mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || s > 59) return "";
  char buf[64];
  snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", y < 70 ? 2000 + y : 1900 + y, mo, d, h,
           mi, s);
  return buf;
}

void EntryFromRecord(const TestRecord& rec, RecordEntry& out) {
  out.ct.manufacturer = rec.manufacturer;
  out.ct.serialnumber = rec.serialnumber;
  out.ct.station = rec.station;
  out.ct.circuit = rec.circuit;
  out.ct.model = rec.model;
  out.ct.key = CtKey(rec.manufacturer, rec.serialnumber);
  out.test_date = SortableTestDate(rec.testdatetime);
  out.ct.last_test_date = out.test_date;
  out.tests.clear();
  const double temp = rec.classsettings.tempcelsius;
  for (int t = 0; t < rec.UsableTests(); ++t) {
    const TapTest& tap = rec.taps[t];
    TestRow row;
    row.tap_index = t;
    row.tap = TapNameFromCode(tap.nTapConnection);
    row.test_date = out.test_date;
    row.kneetype = rec.kneetype;
    row.knee10_v = tap.fKneeVtg10, row.knee10_i = tap.fKneeCur10;
    row.knee30_v = tap.fKneeVtg30, row.knee30_i = tap.fKneeCur30;
    row.knee45_v = tap.fKneeVtg45, row.knee45_i = tap.fKneeCur45;
    if (tap.fNamePlateDen > 0) row.nameplate_ratio = tap.nNamePlateNum / tap.fNamePlateDen;
    row.has_ratio = (tap.uTestType & kRatioTest) != 0 && std::isfinite(tap.fTestRatio);
    if (row.has_ratio) {
      row.measured_ratio = tap.fTestRatio;
      if (row.nameplate_ratio > 0) TurnsRatioError(tap, row.ratio_error);
    }
    row.has_phase = std::isfinite(tap.fTestPhase) && tap.fTestPhase <= 360.0 && row.has_ratio;
    if (row.has_phase) row.phase = tap.fTestPhase;
    if (tap.uTestType & kResistanceTest) {
      row.winding_res = tap.fWindingRes / 1000.0;
      row.has_resistance = ResistanceAt75(row.winding_res, temp, row.rct75);
      if (!row.has_resistance) row.winding_res = 0;
    }
    row.pass_fail = PassFailText(rec, tap);
    row.ct_class = !tap.tapclass.empty()                                   ? tap.tapclass
                   : (rec.classtap == row.tap && rec.classresult != "N/A") ? rec.classresult
                                                                           : "";
    if (tap.uTestType & kExcitationTest) row.curve = ExcitationCurve::FromTap(rec, tap).points();
    out.tests.push_back(std::move(row));
  }
}

}  // namespace kova
