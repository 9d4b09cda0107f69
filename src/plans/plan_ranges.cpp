#include "plans/plan_ranges.h"

#include <cmath>
#include <cstdint>

#include "base/format.h"
#include "plans/test_plan.h"
#include "records/record_edits.h"
#include "records/tap_names.h"
#include "records/test_record.h"

namespace kova {
namespace {

bool Fits(const char* what, const std::string& who, double value, double scale, uint32_t max,
          const char* unit, std::string& error) {
  uint32_t out = 0;
  if (TruncatedField(value, scale, max, out)) return true;
  const double top = std::floor(max / scale * 1e4) / 1e4;
  error = Format("%s of %s must be from 0 to %.10g%s.", what, who.c_str(), top, unit);
  return false;
}

}  // namespace

bool PlanFitsImage(const kvTestPlan& plan, std::string& error) {
  if (!Fits("Knee point marker", "the plan", plan.kneetype, 1, 0xFF, "", error)) return false;
  if (plan.devicetype == kPlanKova7100BC) {
    if (!Fits("Burden test current", "the plan", plan.burdencurrent, 1, 0xFF, "", error) ||
        !Fits("Insulation test voltage", "the plan", plan.insulationvoltage, 1, 0xFF, "", error)) {
      return false;
    }
  }
  for (int i = 0; i < plan.numtests && i < kMaxPlanTaps; ++i) {
    const PlanTap& tap = plan.taps[i];
    std::string who = TapNameFromCode(tap.tapid + 1);
    if (who.empty()) who = Format("tap entry %d", i + 1);
    if (!Fits("Nameplate primary", who, std::trunc(tap.nNamePlateNum), 1, 0xFFFF, " A", error) ||
        !Fits("Nameplate secondary", who, tap.fNamePlateDen, 10, 0xFFFF, " A", error) ||
        !Fits("Excitation voltage", who, tap.fVoltageRange, 0.1, 0xFF, " V", error) ||
        !Fits("Excitation current", who, tap.fCurrentRange, 10, 0xFF, " A", error)) {
      return false;
    }
    const int both = kResistanceTest | kExcitationTest;
    if (tap.bDoBurdenTest && (tap.uTestType & both) == both) {
      if (!Fits("Max burden", who, tap.fBurdenVA, 100, 0xFFFF, " VA", error) ||
          !Fits("Power factor", who, tap.fCosPhi, 100, 0xFF, "", error) ||
          !Fits("Rated secondary current", who, tap.fSecCurrent, 10, 0xFF, " A", error)) {
        return false;
      }
    }
  }
  return true;
}

}  // namespace kova
