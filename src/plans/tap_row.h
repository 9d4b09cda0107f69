#pragma once
// One tap row of the two dialogs that edit taps, the plan editor ("Test
// Plan") and "Edit Test": its nameplate ratio, the three test boxes, the
// excitation limits, the ratio error values and the note, with the rules that
// tie them together. The two dialogs differ in a few of these rules; each
// difference is one question of TapRowRules, answered in one place.

#include <cstddef>
#include <string>

#include "plans/ratio_error.h"
#include "plans/test_plan.h"
#include "plans/value_lists.h"

namespace kova {

// The three test boxes of a row.
enum class TestColumn { kRatio, kExcitation, kWinding };
constexpr TestColumn kTestColumns[3] = {TestColumn::kRatio, TestColumn::kExcitation,
                                        TestColumn::kWinding};

// The instrument keeps 20 characters of a tap note, in plans and records.
constexpr size_t kTapNoteChars = kPlanHeaderTextChars;

// Which dialog a row belongs to, and the instrument it is for.
class TapRowRules {
 public:
  // A row of the plan editor; `devicetype` is the plan's instrument type.
  static TapRowRules ForPlan(int devicetype) { return TapRowRules(true, devicetype); }
  // A row of Edit Test; `connected` is the model code of the instrument that
  // answered when the dialog opened, or -1 when none did.
  static TapRowRules ForRecord(int connected) { return TapRowRules(false, connected); }

  // A recorded row is measured again only when its Repeat Test box is
  // checked, and that box needs an instrument.
  bool Repeatable() const;
  bool BoxesNeedRepeat() const { return !plan_; }
  // A plan asks for a nameplate ratio only on the taps it tests; a record
  // keeps the one it was measured with.
  bool NameplateNeedsTest() const { return plan_; }
  // The KOVA-R5 measures no winding resistance.
  bool WindingPossible() const { return instrument_ != kPlanKovaR5; }
  // Which instruments take ratio error values from a row: every plan type
  // but the KOVA-R5; for a repeat measurement the KOVA-7100 and KOVA-7100B/C.
  bool RatioErrorEditable() const;
  // The KOVA-7100 calculates the ratio error at 1 A excitation; a record
  // with no instrument answering is taken as one.
  bool BurdenForcesOneAmp() const;
  // The current limits after a voltage is chosen: a KOVA-7KA plan has its
  // own steps; Edit Test always offers the other instruments' steps.
  bool Kova7KACurrents() const { return plan_ && instrument_ == kPlanKova7KA; }
  bool KovaR5Voltages() const { return instrument_ == kPlanKovaR5; }

 private:
  TapRowRules(bool plan, int instrument) : plan_(plan), instrument_(instrument) {}
  bool plan_;
  int instrument_;
};

// The names of a row's three texts, for the messages that name them.
enum class TapText { kPrimary, kSecondary, kNote };

struct TapRow {
  std::string label;  // the tap's name, "X1-X5" …
  std::string primary, secondary, note;
  bool ratio = false, excitation = false, winding = false;
  bool repeat = false;  // "Repeat Test" (Edit Test only)
  ChoiceList voltage, current;
  RatioErrorValues ratioerror;

  // Enabling, set by ApplyEnabling (a row it never saw is shown disabled).
  bool tests_enabled = false;  // ratio and excitation boxes, voltage list
  bool winding_enabled = false;
  bool nameplate_enabled = false;
  bool current_enabled = true;
  bool edit_enabled = false;
  bool repeat_enabled = false;

  bool& Box(TestColumn column);
  bool Box(TestColumn column) const;
  std::string& Text(TapText which);
  // kRatioTest | kResistanceTest | kExcitationTest of the checked boxes.
  int TestFlags() const;

  // A stored tap's values into the row (its lists are the caller's: the two
  // dialogs fill them by different rules).
  void LoadValues(int test_type, double primary_amps, double secondary_amps,
                  const std::string& test_note, const RatioErrorValues& values);
  // The row as a plan's tap entry; `values` are the ratio error values the
  // entry carries.
  PlanTap ToPlanTap(int tapid, const RatioErrorValues& values) const;

  void ApplyEnabling(const TapRowRules& rules);
  // A voltage chosen: the current list of that voltage, "1" selected.
  void ChooseVoltage(int entry, const TapRowRules& rules);
  void ChooseCurrent(int entry);
  // The ratio error dialog ended with OK. True when the 1 A warning is to be
  // shown (the current list then shows "1", added when missing).
  bool SetRatioError(const RatioErrorValues& values, const TapRowRules& rules);
  // The texts a plan can keep: a note of at most kTapNoteChars and nameplate
  // texts that are empty or numbers; false with the field and tap named.
  bool CheckPlanTexts(std::string& error) const;
};

}  // namespace kova
