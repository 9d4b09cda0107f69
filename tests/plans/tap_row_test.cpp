// The tap-row rules that the plan editor and Edit Test share, and the few
// where they differ, each as a table a reader can check against the rule.

#include "plans/tap_row.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "plans/tap_order.h"
#include "plans/test_plan.h"
#include "plans/value_lists.h"
#include "records/test_record.h"

namespace kova {
namespace {

constexpr int kNone = -1;  // Edit Test with no instrument answering

enum Dialog { kPlan, kRecord };

TapRowRules RulesOf(Dialog dialog, int instrument) {
  return dialog == kPlan ? TapRowRules::ForPlan(instrument) : TapRowRules::ForRecord(instrument);
}

// What is enabled, then which boxes are checked, after the rules ran.
std::string State(const TapRow& row) {
  std::string s;
  auto add = [&](bool on, const char* name) {
    if (on) s += std::string(s.empty() || s.back() == '|' ? "" : " ") + name;
  };
  add(row.repeat_enabled, "repeat");
  add(row.tests_enabled, "tests");
  add(row.winding_enabled, "winding");
  add(row.nameplate_enabled, "nameplate");
  add(row.current_enabled, "current");
  add(row.edit_enabled, "edit");
  s += " |";
  add(row.repeat, "R");
  add(row.ratio, "ratio");
  add(row.excitation, "exc");
  add(row.winding, "wind");
  return s;
}

TEST(TapRowRules, EnablingOfEachDialogAndInstrument) {
  const struct {
    const char* what;
    Dialog dialog;
    int instrument;
    bool repeat, ratio, excitation, winding, burden_calc;
    const char* state;
  } cases[] = {
      // what, dialog, instrument, then the row: repeat, ratio, excitation, winding, ratio
      // error calculation; then what is enabled | which boxes stay checked.
      {"plan: nothing", kPlan, kPlanKova7100BC, false, false, false, false, false,
       "tests current |"},
      {"plan: ratio asks for the nameplate", kPlan, kPlanKova7100BC, false, true, false, false,
       false, "tests nameplate current |ratio"},
      {"plan: excitation opens winding", kPlan, kPlanKova7100BC, false, false, true, false, false,
       "tests winding nameplate current |exc"},
      {"plan: winding needs excitation", kPlan, kPlanKova7100BC, false, false, false, true, false,
       "tests current |"},
      {"plan: excitation and winding open Edit", kPlan, kPlanKova7100BC, false, false, true, true,
       false, "tests winding nameplate current edit |exc wind"},
      {"plan: a KOVA-7KA edits ratio error", kPlan, kPlanKova7KA, false, false, true, true, false,
       "tests winding nameplate current edit |exc wind"},
      {"plan: a KOVA-R5 has no winding", kPlan, kPlanKovaR5, false, false, true, true, false,
       "tests nameplate current |exc"},
      {"plan: KOVA-7100 with burden means current 1", kPlan, kPlanKova7100, false, false, false,
       false, true, "tests |"},
      {"plan: a KOVA-7100B/C keeps its current list", kPlan, kPlanKova7100BC, false, false, false,
       false, true, "tests current |"},
      {"plan: the repeat box is Edit Test's", kPlan, kPlanKova7100, true, false, false, false,
       false, "tests current |"},
      {"record: no instrument, no repeat", kRecord, kNone, true, false, true, true, false,
       "nameplate current |exc wind"},
      {"record: no instrument counts as a KOVA-7100", kRecord, kNone, false, false, false, false,
       true, "nameplate |"},
      {"record: not repeated, boxes locked", kRecord, kPlanKova7100, false, false, true, true,
       false, "repeat nameplate current |exc wind"},
      {"record: repeated on a KOVA-7100", kRecord, kPlanKova7100, true, false, true, true, false,
       "repeat tests winding nameplate current edit |R exc wind"},
      {"record: repeated on a KOVA-7100B/C", kRecord, kPlanKova7100BC, true, true, true, true,
       false, "repeat tests winding nameplate current edit |R ratio exc wind"},
      {"record: a KOVA-7KA edits no ratio error", kRecord, kPlanKova7KA, true, false, true, true,
       false, "repeat tests winding nameplate current |R exc wind"},
      {"record: a KOVA-R5 has no winding", kRecord, kPlanKovaR5, true, false, true, true, false,
       "repeat tests nameplate current |R exc"},
      {"record: winding needs excitation", kRecord, kPlanKova7100, true, false, false, true, false,
       "repeat tests nameplate current |R"},
      {"record: KOVA-7100 with burden means current 1", kRecord, kPlanKova7100, true, false, false,
       false, true, "repeat tests nameplate |R"},
      {"record: a KOVA-7100B/C keeps its current list", kRecord, kPlanKova7100BC, true, false,
       false, false, true, "repeat tests nameplate current |R"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TapRow row;
    row.repeat = c.repeat;
    row.ratio = c.ratio;
    row.excitation = c.excitation;
    row.winding = c.winding;
    row.ratioerror.bDoBurdenTest = c.burden_calc ? 1 : 0;
    row.ApplyEnabling(RulesOf(c.dialog, c.instrument));
    EXPECT_EQ(State(row), c.state);
  }
}

TEST(TapRowRules, RatioErrorOnAKova7100SetsTheCurrentToOneAmp) {
  const struct {
    const char* what;
    Dialog dialog;
    int instrument;
    int burden_calc;
    std::vector<std::string> current;  // the row's current list before
    bool warn;
    std::string selected;
    size_t entries;
  } cases[] = {
      {"plan KOVA-7100", kPlan, kPlanKova7100, 1, FullCurrentEntries(), true, "1", 6},
      {"plan KOVA-7100, calculation off", kPlan, kPlanKova7100, 0, FullCurrentEntries(), false, "5",
       6},
      {"plan KOVA-7100B/C", kPlan, kPlanKova7100BC, 1, FullCurrentEntries(), false, "5", 6},
      {"plan KOVA-7KA", kPlan, kPlanKova7KA, 1, FullCurrentEntries(), false, "5", 6},
      {"record KOVA-7100", kRecord, kPlanKova7100, 1, FullCurrentEntries(), true, "1", 6},
      {"record, no instrument", kRecord, kNone, 1, FullCurrentEntries(), true, "1", 6},
      {"record KOVA-7100B/C", kRecord, kPlanKova7100BC, 1, FullCurrentEntries(), false, "5", 6},
      {"a list without 1 gets it", kPlan, kPlanKova7100, 1, {"0.2", "5"}, true, "1", 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TapRow row;
    row.current.entries = c.current;
    SelectValue(row.current, "5", 5, true);
    RatioErrorValues values{c.burden_calc, 30, 0.5, 1.0};
    EXPECT_EQ(row.SetRatioError(values, RulesOf(c.dialog, c.instrument)), c.warn);
    EXPECT_EQ(row.ratioerror, values);
    ASSERT_GE(row.current.selected, 0);
    EXPECT_EQ(row.current.entries[static_cast<size_t>(row.current.selected)], c.selected);
    EXPECT_EQ(row.current.entries.size(), c.entries);
  }
}

TEST(TapRowRules, ChoosingAVoltageGivesItsCurrentsWithOneSelected) {
  using Entries = std::vector<std::string>;
  const struct {
    const char* what;
    Dialog dialog;
    int instrument;
    int entry;  // of VoltageEntries(false): 50, 300, 500, 1200, 2000
    Entries currents;
  } cases[] = {
      {"plan KOVA-7KA at 2000 V", kPlan, kPlanKova7KA, 4, {"0.2", "0.5", "1", "1.2"}},
      {"plan KOVA-7KA at 300 V", kPlan, kPlanKova7KA, 1, {"0.2", "0.5", "1", "2", "5", "8"}},
      {"plan KOVA-7100 at 300 V", kPlan, kPlanKova7100, 1, {"0.2", "0.5", "1", "2", "5", "10"}},
      {"plan KOVA-7100B/C at 2000 V", kPlan, kPlanKova7100BC, 4, {"0.2", "0.5", "1"}},
      // Edit Test offers the other instruments' steps whatever answered.
      {"record KOVA-7KA at 2000 V", kRecord, kPlanKova7KA, 4, {"0.2", "0.5", "1"}},
      {"record KOVA-7KA at 300 V", kRecord, kPlanKova7KA, 1, {"0.2", "0.5", "1", "2", "5", "10"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TapRow row;
    row.voltage.entries = VoltageEntries(false);
    row.ChooseVoltage(c.entry, RulesOf(c.dialog, c.instrument));
    EXPECT_EQ(row.voltage.selected, c.entry);
    EXPECT_EQ(row.current.entries, c.currents);
    ASSERT_GE(row.current.selected, 0);
    EXPECT_EQ(row.current.entries[static_cast<size_t>(row.current.selected)], "1");
  }
}

TEST(TapRowRules, ChoicesOutsideTheListsChangeNothing) {
  TapRow row;
  row.voltage.entries = VoltageEntries(false);
  row.voltage.selected = 2;
  row.current.entries = FullCurrentEntries();
  row.current.selected = 3;
  for (int entry : {-1, 5, 99}) {
    row.ChooseVoltage(entry, TapRowRules::ForPlan(kPlanKova7100));
    row.ChooseCurrent(entry + 2);  // 1, 7 and 101: only 1 is in the list
  }
  EXPECT_EQ(row.voltage.selected, 2);
  EXPECT_EQ(row.current.entries, FullCurrentEntries());
  EXPECT_EQ(row.current.selected, 1);
}

TEST(TapRowValues, EveryTestCombinationGoesIntoThePlanTapAsLoaded) {
  const RatioErrorValues values{1, 12.5, 0.8, 5};
  for (int type = 0; type < 8; ++type) {
    SCOPED_TRACE(type);
    TapRow row;
    row.LoadValues(type, 1200, 5, "check", values);
    EXPECT_EQ(row.ratio, (type & kRatioTest) != 0);
    EXPECT_EQ(row.winding, (type & kResistanceTest) != 0);
    EXPECT_EQ(row.excitation, (type & kExcitationTest) != 0);
    row.voltage.entries = VoltageEntries(false);
    row.voltage.selected = 3;
    row.current.entries = FullCurrentEntries();
    row.current.selected = 4;
    const PlanTap tap = row.ToPlanTap(6, RatioErrorOf(PlanTap()));
    EXPECT_EQ(tap.uTestType, type);
    EXPECT_EQ(tap.tapid, 6);
    EXPECT_EQ(tap.nNamePlateNum, 1200);
    EXPECT_EQ(tap.fNamePlateDen, 5);
    EXPECT_EQ(tap.fVoltageRange, 1200);
    EXPECT_EQ(tap.fCurrentRange, 5);
    EXPECT_EQ(tap.szTestNote, "check");
    // The values the caller passes, not the row's: Edit Test hands the record's.
    EXPECT_EQ(RatioErrorOf(tap), RatioErrorOf(PlanTap()));
    EXPECT_EQ(row.ratioerror, values);
  }
}

TEST(TapRowValues, NameplateTextsAsTheDialogsShowThem) {
  const struct {
    double primary, secondary;
    const char* shown_primary;
    const char* shown_secondary;
  } cases[] = {
      {600, 5, "600", "5.0"},
      {220.7, 1, "220", "1.0"},  // the primary is a whole number
      {0, 0, "0", "0.0"},
      {1e12, 2.25, "2147483647", "2.2"},  // a damaged file's primary shows clamped
      {-1e12, 0.5, "-2147483648", "0.5"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.shown_primary);
    TapRow row;
    row.LoadValues(0, c.primary, c.secondary, "", RatioErrorValues());
    EXPECT_EQ(row.primary, c.shown_primary);
    EXPECT_EQ(row.secondary, c.shown_secondary);
  }
}

TEST(TapRowValues, PlanTextsThatDoNotFitAreNamedWithTheirTap) {
  const struct {
    const char* primary;
    const char* secondary;
    std::string note;
    const char* error;  // empty: accepted
  } cases[] = {
      {"1200", "5", std::string(kTapNoteChars, 'n'), ""},
      {"", "", "", ""},
      {"12.5", " 5", "", ""},
      {"1200", "5", std::string(kTapNoteChars + 1, 'n'), "Note of X2-X4: at most 20 characters."},
      {"12a", "5", "", "Nameplate primary of X2-X4: please enter a number."},
      {"abc", "5", "", "Nameplate primary of X2-X4: please enter a number."},
      {"1200", "five", "", "Nameplate secondary of X2-X4: please enter a number."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.primary + std::string("/") + c.secondary + "/" + c.note);
    TapRow row;
    row.label = "X2-X4";
    row.primary = c.primary;
    row.secondary = c.secondary;
    row.note = c.note;
    std::string error;
    EXPECT_EQ(row.CheckPlanTexts(error), std::string(c.error).empty());
    EXPECT_EQ(error, c.error);
  }
}

TEST(TapOrder, LoadJoinAndMove) {
  TapOrderNames names;
  LoadTapOrder("", names);
  EXPECT_EQ(JoinTapOrder(names), "X1-X2,X1-X3,X1-X4,X1-X5,X2-X3,X2-X4,X2-X5,X3-X4,X3-X5,X4-X5");
  LoadTapOrder("X1-X5", names);  // past its last name the last one repeats
  EXPECT_EQ(JoinTapOrder(names), "X1-X5,X1-X5,X1-X5,X1-X5,X1-X5,X1-X5,X1-X5,X1-X5,X1-X5,X1-X5");

  const struct {
    int index, step, moved_to;
    const char* order;
  } moves[] = {
      {0, 1, 1, "X1-X3,X1-X2,X1-X4"},   {1, -1, 0, "X1-X3,X1-X2,X1-X4"},
      {0, -1, 0, "X1-X2,X1-X3,X1-X4"},   // past the top: ignored
      {9, 1, 9, "X1-X2,X1-X3,X1-X4"},    // past the bottom: ignored
      {-1, 1, -1, "X1-X2,X1-X3,X1-X4"},  // nothing selected
  };
  for (const auto& m : moves) {
    SCOPED_TRACE(std::to_string(m.index) + " by " + std::to_string(m.step));
    LoadTapOrder("", names);
    EXPECT_EQ(MoveTapOrder(names, m.index, m.step), m.moved_to);
    EXPECT_EQ(JoinTapOrder(names).substr(0, 17), m.order);
  }
}

}  // namespace
}  // namespace kova
