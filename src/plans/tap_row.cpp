#include "plans/tap_row.h"

#include <algorithm>
#include <climits>

#include "base/format.h"
#include "records/test_record.h"

namespace kova {

bool TapRowRules::Repeatable() const { return !plan_ && instrument_ >= 0; }

bool TapRowRules::RatioErrorEditable() const {
  if (plan_) return instrument_ != kPlanKovaR5;
  return instrument_ == kPlanKova7100 || instrument_ == kPlanKova7100BC;
}

bool TapRowRules::BurdenForcesOneAmp() const {
  return instrument_ == kPlanKova7100 || (!plan_ && instrument_ < 0);
}

bool& TapRow::Box(TestColumn column) {
  switch (column) {
    case TestColumn::kRatio:
      return ratio;
    case TestColumn::kExcitation:
      return excitation;
    default:
      return winding;
  }
}

bool TapRow::Box(TestColumn column) const { return const_cast<TapRow*>(this)->Box(column); }

std::string& TapRow::Text(TapText which) {
  return which == TapText::kPrimary ? primary : which == TapText::kSecondary ? secondary : note;
}

int TapRow::TestFlags() const {
  return (ratio ? kRatioTest : 0) | (winding ? kResistanceTest : 0) |
         (excitation ? kExcitationTest : 0);
}

void TapRow::LoadValues(int test_type, double primary_amps, double secondary_amps,
                        const std::string& test_note, const RatioErrorValues& values) {
  // A primary beyond an int (only a damaged file holds one) shows clamped.
  const double whole = std::max<double>(INT_MIN, std::min<double>(primary_amps, INT_MAX));
  primary = Format("%d", static_cast<int>(whole));
  secondary = Format("%.1f", secondary_amps);
  ratio = (test_type & kRatioTest) != 0;
  winding = (test_type & kResistanceTest) != 0;
  excitation = (test_type & kExcitationTest) != 0;
  note = test_note;
  ratioerror = values;
}

PlanTap TapRow::ToPlanTap(int tapid, const RatioErrorValues& values) const {
  PlanTap tap;
  tap.tapid = tapid;
  tap.uTestType = TestFlags();
  tap.nNamePlateNum = static_cast<double>(TextWholeNumber(primary));
  tap.fNamePlateDen = TextNumber(secondary);
  tap.fVoltageRange = voltage.SelectedNumber();
  tap.fCurrentRange = current.SelectedNumber();
  tap.szTestNote = note;
  tap.bDoBurdenTest = values.bDoBurdenTest;
  tap.fBurdenVA = values.fBurdenVA;
  tap.fCosPhi = values.fCosPhi;
  tap.fSecCurrent = values.fSecCurrent;
  return tap;
}

void TapRow::ApplyEnabling(const TapRowRules& rules) {
  repeat_enabled = rules.Repeatable();
  if (!repeat_enabled) repeat = false;
  tests_enabled = !rules.BoxesNeedRepeat() || repeat;
  // Winding resistance is measured with the excitation test only.
  if (!excitation || !rules.WindingPossible()) winding = false;
  winding_enabled = tests_enabled && excitation && rules.WindingPossible();
  nameplate_enabled = !rules.NameplateNeedsTest() || ratio || excitation || winding;
  current_enabled = !(rules.BurdenForcesOneAmp() && ratioerror.bDoBurdenTest);
  edit_enabled = rules.RatioErrorEditable() && tests_enabled && excitation && winding;
}

void TapRow::ChooseVoltage(int entry, const TapRowRules& rules) {
  if (entry < 0 || entry >= static_cast<int>(voltage.entries.size())) return;
  voltage.selected = entry;
  current.entries = CurrentEntriesForVoltage(voltage.SelectedNumber(), rules.Kova7KACurrents());
  SelectValue(current, "1", 1, false);
}

void TapRow::ChooseCurrent(int entry) {
  if (entry < 0 || entry >= static_cast<int>(current.entries.size())) return;
  current.selected = entry;
}

bool TapRow::SetRatioError(const RatioErrorValues& values, const TapRowRules& rules) {
  ratioerror = values;
  if (!(rules.BurdenForcesOneAmp() && values.bDoBurdenTest)) return false;
  SelectValue(current, "1", 1, true);
  return true;
}

bool TapRow::CheckPlanTexts(std::string& error) const {
  if (note.size() > kTapNoteChars) {
    error = Format("Note of %s: at most %d characters.", label.c_str(),
                   static_cast<int>(kTapNoteChars));
    return false;
  }
  // A value typed that is no number is said, never stored as 0.
  const struct {
    const std::string& text;
    const char* name;
  } numbers[] = {{primary, "Nameplate primary"}, {secondary, "Nameplate secondary"}};
  for (const auto& n : numbers) {
    if (!n.text.empty() && !IsNumberText(n.text)) {
      error = Format("%s of %s: please enter a number.", n.name, label.c_str());
      return false;
    }
  }
  return true;
}

}  // namespace kova
