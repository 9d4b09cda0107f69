#include "app/override_command.h"
#include "analysis/compute_derived.h"
#include "plans/value_lists.h"
#include "records/record_edits.h"
#include "records/test_record.h"

namespace kova {

bool CanOverride(const TestRecord& rec, int shown_test, std::string& why) {
  if (shown_test < 0 || shown_test >= rec.UsableTests()) {
    why = "Show the page of one test to override its data.";
    return false;
  }
  if (!OverrideAllowed(rec.deviceversion)) {
    why = "Test data can be overridden only in records of 32 data points.";
    return false;
  }
  return true;
}

bool ApplyOverride(TestRecord& rec, int shown_test, const OverrideFields& f, std::string& error) {
  if (!CanOverride(rec, shown_test, error)) return false;
  if (!IsNumberText(f.point) || !IsNumberText(f.current) || !IsNumberText(f.voltage)) {
    error = "Please enter a number.";
    return false;
  }
  const double point = TextNumber(f.point);
  if (point < -1 || point > kOverridePoints + 1) {
    error = "Data point must be from 1 to 32.";
    return false;
  }
  if (point != static_cast<int>(point)) {
    error = "Please enter an integer.";
    return false;
  }
  if (!OverrideDataPoint(rec, shown_test, static_cast<int>(point), TextNumber(f.current),
                         TextNumber(f.voltage), error)) {
    return false;
  }
  ComputeDerived(rec);
  return true;
}

}  // namespace kova
