#include "plans/plan_from_record.h"

#include <algorithm>

#include "records/test_record.h"

namespace kova {

bool PlanFromRecord(const TestRecord& rec, kvTestPlan& plan) {
  kvTestPlan p;
  // A record's deviceversion numbers the instruments differently.
  if (rec.deviceversion == 2) {
    p.devicetype = kPlanKova7100BC;
  } else if (rec.deviceversion == 3) {
    p.devicetype = kPlanKovaR5;
  } else {
    p.devicetype = kPlanKova7100;
  }
  p.kneetype = rec.kneetype;
  const int tests = std::max(0, std::min(rec.UsableTests(), kMaxPlanTaps));
  const int run_bits = kRatioTest | kResistanceTest | kExcitationTest;
  int count = 0;
  for (int i = 0; i < tests; ++i) {
    const TapTest& test = rec.taps[i];
    const int flags = test.uTestType & run_bits;
    if (flags == 0) continue;
    PlanTap& tap = p.taps[count++];
    tap.tapid = test.nTapConnection - 1;
    tap.uTestType = flags;
    tap.nNamePlateNum = test.nNamePlateNum;
    tap.fNamePlateDen = test.fNamePlateDen;
    tap.fVoltageRange = test.fVoltageRange;
    tap.fCurrentRange = test.fCurrentRange;
    tap.bDoBurdenTest = test.bDoBurdenTest;
    tap.fBurdenVA = test.fBurdenVA;
    tap.fCosPhi = test.fCosPhi;
    tap.fSecCurrent = test.fSecCurrent;
    tap.szTestNote = test.szTestNote;
  }
  if (count == 0) return false;
  p.numtests = count;
  p.company = rec.company;
  p.station = rec.station;
  p.circuit = rec.circuit;
  p.manufacturer = rec.manufacturer;
  p.model = rec.model;
  p.comment = rec.comment;
  p.serialnumber = rec.serialnumber;
  p.operatorname = rec.operatorname;
  p.taporder = rec.taporder;
  p.EncodeImage(p.image);
  plan = std::move(p);
  return true;
}

}  // namespace kova
