#include "plans/plan_editor_model.h"

#include <gtest/gtest.h>

#include <functional>

#include <string>
#include <vector>

#include "analysis/taps.h"
#include "plans/pass_fail_model.h"
#include "plans/ratio_error.h"
#include "plans/value_lists.h"
#include "records/test_record.h"

namespace kova {
namespace {

using Entries = std::vector<std::string>;

const std::string& Selected(const ChoiceList& list) {
  static const std::string none = "(none)";
  return list.selected < 0 ? none : list.entries[static_cast<size_t>(list.selected)];
}

int RowOf(const char* name) { return TapPosition(TapCodeFromName(name)); }

TEST(ValueLists, CurrentStepsFollowTheVoltageAndTheInstrument) {
  struct Case {
    double volts;
    bool kova7ka;
    Entries expected;
  } cases[] = {
      {2000, true, {"0.2", "0.5", "1", "1.2"}},
      {1200, true, {"0.2", "0.5", "1", "2"}},
      {500, true, {"0.2", "0.5", "1", "2", "5"}},
      {300, true, {"0.2", "0.5", "1", "2", "5", "8"}},
      {50, true, {"0.2", "0.5", "1", "2", "5", "10"}},
      {2000, false, {"0.2", "0.5", "1"}},
      {1500, false, {"0.2", "0.5", "1", "2"}},
      {500, false, {"0.2", "0.5", "1", "2", "5"}},
      {300, false, {"0.2", "0.5", "1", "2", "5", "10"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CurrentEntriesForVoltage(c.volts, c.kova7ka), c.expected) << c.volts << c.kova7ka;
  }
}

TEST(ValueLists, SelectionByTextThenNearestEntry) {
  struct Case {
    Entries entries;
    double value;
    bool current;
    bool add;
    std::string expected;
    size_t size;
  } cases[] = {
      {VoltageEntries(false), 1200, false, false, "1200", 5},
      {VoltageEntries(true), 1200, false, false, "1500", 4},  // nearest
      {VoltageEntries(true), 0, false, false, "50", 4},
      {FullCurrentEntries(), 0, true, false, "0.2", 6},   // "0.2" and "0.5" both count 0: first
      {FullCurrentEntries(), 5.0, true, false, "5", 6},   // "%d" when the text holds ".0"
      {FullCurrentEntries(), 1.2, true, true, "1.2", 7},  // loading adds what is missing
      {FullCurrentEntries(), 1.2, true, false, "1", 6},
      {VoltageEntries(false), 5, false, false, "50", 5},     // text "5" begins "50"
      {VoltageEntries(false), 9000, false, false, "50", 5},  // nothing within 1000: first
  };
  for (const Case& c : cases) {
    ChoiceList list{c.entries, -1};
    SelectValue(list, c.current ? CurrentText(c.value) : VoltageText(c.value), c.value, c.add);
    EXPECT_EQ(Selected(list), c.expected) << c.value;
    EXPECT_EQ(list.entries.size(), c.size);
  }
}

TEST(ValueLists, NumbersInTexts) {
  EXPECT_EQ(TextNumber(" 2.5x"), 2.5);
  EXPECT_EQ(TextNumber("abc"), 0);
  EXPECT_EQ(TextWholeNumber("220.7"), 220);
  EXPECT_EQ(TextWholeNumber("-5"), -5);
  EXPECT_TRUE(IsNumberText(" 1.5 "));
  EXPECT_FALSE(IsNumberText("1.5V"));
  EXPECT_FALSE(IsNumberText(""));
}

TEST(PlanEditor, NewPlanOpensWithItsDefaults) {
  PlanEditorModel m;
  EXPECT_EQ(m.instrument, kChoice7100BC);
  EXPECT_EQ(m.kneemarker, 0);
  EXPECT_EQ(m.temperature, "25.00");
  EXPECT_EQ(m.ratedcurrent, "5");
  EXPECT_FALSE(m.burden1a);
  EXPECT_EQ(m.order[0], "X1-X2");
  EXPECT_EQ(m.order[9], "X4-X5");
  for (const TapRow& row : m.rows) {
    EXPECT_FALSE(row.ratio || row.excitation || row.winding);
    EXPECT_EQ(Selected(row.voltage), "50");
    EXPECT_EQ(Selected(row.current), "0.2");
    EXPECT_FALSE(row.nameplate_enabled);
  }
  EXPECT_TRUE(m.runtests_enabled);
  EXPECT_TRUE(m.ratedcurrent_enabled);
}

TEST(PlanEditor, ChoosingTheR5DropsWindingTestsAndChangesVoltages) {
  PlanEditorModel m;
  const int row = RowOf("X2-X3");
  m.SetTest(row, TestColumn::kExcitation, true);
  m.SetTest(row, TestColumn::kWinding, true);
  m.ChooseVoltage(row, 3);  // 1200
  EXPECT_TRUE(m.rows[row].edit_enabled);
  m.SetInstrument(kChoiceR5);
  EXPECT_FALSE(m.rows[row].winding);
  EXPECT_FALSE(m.rows[row].winding_enabled);
  EXPECT_FALSE(m.rows[row].edit_enabled);
  EXPECT_EQ(m.rows[row].voltage.entries, (Entries{"50", "250", "500", "1500"}));
  EXPECT_EQ(Selected(m.rows[row].voltage), "1500");
  EXPECT_FALSE(m.runtests_enabled);
}

TEST(PlanEditor, VoltageChoiceRebuildsTheCurrentListAndSelectsOneAmp) {
  PlanEditorModel m;
  m.SetInstrument(kChoice7KA);
  const struct {
    int entry;
    Entries currents;
  } cases[] = {{4, {"0.2", "0.5", "1", "1.2"}},
               {1, {"0.2", "0.5", "1", "2", "5", "8"}},
               {0, {"0.2", "0.5", "1", "2", "5", "10"}}};
  for (const auto& c : cases) {
    m.ChooseVoltage(2, c.entry);
    EXPECT_EQ(m.rows[2].current.entries, c.currents);
    EXPECT_EQ(Selected(m.rows[2].current), "1");
  }
}

TEST(PlanEditor, AutoNamePlateFillsTheTableAndAppliesTheMultiTapPreset) {
  PlanEditorModel m;
  m.ChooseAutoNamePlate(2);  // 1200:5
  EXPECT_EQ(m.rows[RowOf("X2-X3")].primary, "100");
  EXPECT_EQ(m.rows[RowOf("X2-X3")].secondary, "5");
  EXPECT_EQ(m.rows[RowOf("X1-X5")].primary, "1200");
  EXPECT_TRUE(m.multitap);
  const TapRow& x15 = m.rows[RowOf("X1-X5")];
  EXPECT_TRUE(x15.excitation && x15.winding && !x15.ratio);
  EXPECT_FALSE(m.ratedcurrent_enabled);
  EXPECT_EQ(AutoNamePlatePrimary(3, RowOf("X3-X5")), 800);
  EXPECT_EQ(AutoNamePlatePrimary(6, RowOf("X4-X5")), 1000);
  m.ChooseAutoNamePlate(0);
  EXPECT_EQ(m.rows[RowOf("X2-X3")].primary, "");
  EXPECT_FALSE(m.multitap);
  EXPECT_FALSE(m.rows[RowOf("X1-X5")].excitation);
  EXPECT_TRUE(m.ratedcurrent_enabled);
}

TEST(PlanEditor, TapPresetsExcludeEachOther) {
  PlanEditorModel m;
  m.SetRatedCurrent("1");
  m.ClickSingleTap(true);
  const TapRow& x12 = m.rows[RowOf("X1-X2")];
  EXPECT_TRUE(x12.excitation && x12.winding);
  EXPECT_EQ(x12.secondary, "1");
  m.ClickMultiTap(true);
  EXPECT_FALSE(m.singletap);
  EXPECT_FALSE(m.rows[RowOf("X1-X2")].excitation);
  EXPECT_TRUE(m.rows[RowOf("X1-X5")].winding);
  m.SetColumn(TestColumn::kRatio, true);
  for (const TapRow& row : m.rows) EXPECT_TRUE(row.ratio && row.nameplate_enabled);
}

TEST(PlanEditor, RatioErrorOnTheKova7100ForcesOneAmp) {
  PlanEditorModel m;
  m.SetInstrument(kChoice7100);
  const int row = 4;
  m.ChooseVoltage(row, 0);
  m.ChooseCurrent(row, 5);  // 10 A
  EXPECT_TRUE(m.SetRatioError(row, {1, 30, 0.5, 1.0}));
  EXPECT_EQ(Selected(m.rows[row].current), "1");
  EXPECT_FALSE(m.rows[row].current_enabled);
  m.SetInstrument(kChoice7100BC);
  EXPECT_FALSE(m.SetRatioError(row, {1, 30, 0.5, 1.0}));
  EXPECT_TRUE(m.rows[row].current_enabled);
}

TEST(PlanEditor, BurdenAndInsulationBitsGoToTheLastEntryOnlyOnThe7100BC) {
  struct Case {
    int instrument;
    bool tap;
    int numtests;
    int lasttype;
  } cases[] = {{kChoice7100BC, false, 1, 8 + 16},
               {kChoice7100BC, true, 1, 4 + 8 + 16},
               {kChoice7KA, false, 0, 0},
               {kChoice7KA, true, 1, 4}};
  for (const Case& c : cases) {
    PlanEditorModel m;
    m.SetInstrument(c.instrument);
    if (c.tap) m.SetTest(3, TestColumn::kExcitation, true);
    m.SetRunBurden(true);
    m.SetRunInsulation(true);
    kvTestPlan p;
    std::string error;
    ASSERT_TRUE(m.Store(p, error)) << error;
    ASSERT_EQ(p.numtests, c.numtests);
    if (c.numtests) {
      EXPECT_EQ(p.taps[0].uTestType, c.lasttype);
    }
  }
}

// Every field of a plan survives Load then Store, for every instrument type.
TEST(PlanEditor, LoadThenStoreKeepsEveryField) {
  for (int type : {0, 1, 2, 3, 4}) {
    kvTestPlan plan;
    plan.devicetype = type;
    plan.kneetype = 3;
    plan.company = "Co";
    plan.station = "St";
    plan.circuit = "Ci";
    plan.manufacturer = "Mf";
    plan.model = "Mo";
    plan.comment = "Cm";
    plan.burdencurrent = 10;
    plan.insulationvoltage = 100;
    plan.classsettings.tempcelsius = 31.5;
    plan.classsettings.ratedcurrent = 1;
    plan.classsettings.ctusage = 2;
    plan.classsettings.multitap = 1;
    plan.taporder = "X1-X5,X2-X4";
    plan.numtests = 2;
    plan.taps[0] = {1200, 5, TapCodeFromName("X1-X5") - 1, 7, 1200, 1, "first", 1, 30, 0.5, 1};
    plan.taps[1] = {300, 1, TapCodeFromName("X2-X4") - 1, 5, 300, 1.2, "second", 0, 0, 0, 0};
    PlanEditorModel m;
    m.Load(plan);
    EXPECT_EQ(m.instrument, type == 4 ? kChoice7KA : type);
    kvTestPlan out;
    std::string error;
    ASSERT_TRUE(m.Store(out, error)) << error;
    SCOPED_TRACE("type " + std::to_string(type));
    EXPECT_EQ(out.devicetype, type == 3 ? 4 : type);
    EXPECT_EQ(out.kneetype, 3);
    EXPECT_EQ(out.company + out.station + out.circuit + out.manufacturer + out.model + out.comment,
              "CoStCiMfMoCm");
    EXPECT_EQ(out.burdencurrent, 10);
    EXPECT_EQ(out.insulationvoltage, 100);
    EXPECT_EQ(out.classsettings.tempcelsius, 31.5);
    EXPECT_EQ(out.classsettings.ratedcurrent, 1);
    EXPECT_EQ(out.classsettings.ctusage, 2);
    EXPECT_EQ(out.classsettings.multitap, 1);
    EXPECT_EQ(out.taporder, "X1-X5,X2-X4,X2-X4,X2-X4,X2-X4,X2-X4,X2-X4,X2-X4,X2-X4,X2-X4");
    ASSERT_EQ(out.numtests, 2);
    for (int i = 0; i < 2; ++i) {
      const PlanTap &a = plan.taps[i], &b = out.taps[i];
      EXPECT_EQ(b.tapid, a.tapid);
      // The KOVA-R5 runs no winding resistance test.
      EXPECT_EQ(b.uTestType, type == 1 ? a.uTestType & ~kResistanceTest : a.uTestType);
      EXPECT_EQ(b.nNamePlateNum, a.nNamePlateNum);
      EXPECT_EQ(b.fNamePlateDen, a.fNamePlateDen);
      EXPECT_EQ(b.fVoltageRange, a.fVoltageRange);
      EXPECT_EQ(b.fCurrentRange, a.fCurrentRange);
      EXPECT_EQ(b.szTestNote, a.szTestNote);
      EXPECT_EQ(b.bDoBurdenTest, a.bDoBurdenTest);
      EXPECT_EQ(b.fBurdenVA, a.fBurdenVA);
    }
  }
}

TEST(PlanEditor, EntriesAreStoredInRowOrder) {
  kvTestPlan plan;
  plan.numtests = 2;
  plan.taps[0].tapid = TapCodeFromName("X2-X4") - 1;
  plan.taps[1].tapid = TapCodeFromName("X1-X3") - 1;
  PlanEditorModel m;
  m.Load(plan);
  EXPECT_TRUE(m.rows[RowOf("X2-X4")].ratio);
  kvTestPlan out;
  std::string error;
  ASSERT_TRUE(m.Store(out, error));
  EXPECT_EQ(out.taps[0].tapid + 1, TapCodeFromName("X1-X3"));
  EXPECT_EQ(out.taps[1].tapid + 1, TapCodeFromName("X2-X4"));
}

TEST(PlanEditor, ValuesTheImageCannotHoldAreRefused) {
  const struct {
    const char* primary;
    const char* secondary;
    const char* message;
  } cases[] = {{"70000", "5", "Nameplate primary of X1-X5 must be from 0 to 65535 A."},
               {"-1", "5", "Nameplate primary"},
               {"600", "7000", "Nameplate secondary"},
               {"abc", "5", "Nameplate primary of X1-X5: please enter a number."},
               {"600", "five", "Nameplate secondary of X1-X5: please enter a number."}};
  for (const auto& c : cases) {
    PlanEditorModel m;
    m.SetTest(0, TestColumn::kRatio, true);
    m.SetNameplate(0, c.primary, c.secondary);
    kvTestPlan out;
    out.company = "untouched";
    std::string error;
    EXPECT_FALSE(m.Store(out, error));
    EXPECT_EQ(error.rfind(c.message, 0), 0u) << error;
    EXPECT_EQ(out.company, "untouched");
  }
}

TEST(PlanEditor, TextsLongerThanThePlanKeepsAreRefusedNotCut) {
  const std::string fits(kPlanHeaderTextChars, 'A'), longer = fits + "B";
  const struct {
    const char* what;
    std::function<void(PlanEditorModel&, const std::string&)> set;
    const char* message;
  } cases[] = {
      {"company", [](PlanEditorModel& m, const std::string& t) { m.company = t; },
       "Company: at most 20 characters."},
      {"comment", [](PlanEditorModel& m, const std::string& t) { m.comment = t; },
       "Comments: at most 20 characters."},
      {"tap note", [](PlanEditorModel& m, const std::string& t) { m.rows[2].note = t; },
       "Note of X1-X3: at most 20 characters."},
      {"temperature", [](PlanEditorModel& m, const std::string&) { m.temperature = "warm"; },
       "Temperature: please enter a number."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    PlanEditorModel m;
    m.SetTest(2, TestColumn::kRatio, true);
    kvTestPlan out;
    std::string error;
    c.set(m, fits);
    if (std::string(c.what) != "temperature") {
      ASSERT_TRUE(m.Store(out, error)) << error;
      // Exactly as long as the field: it comes back whole.
      kvTestPlan reread;
      ASSERT_TRUE(reread.DecodeImage(out.image, sizeof out.image));
      EXPECT_TRUE(reread.company == fits || reread.comment == fits ||
                  reread.taps[0].szTestNote == fits);
    }
    c.set(m, longer);
    EXPECT_FALSE(m.Store(out, error));
    EXPECT_EQ(error, c.message);
  }
}

TEST(PlanEditor, OrderMovesStayInsideTheList) {
  PlanEditorModel m;
  EXPECT_EQ(m.MoveOrder(0, -1), 0);
  EXPECT_EQ(m.MoveOrder(9, 1), 9);
  EXPECT_EQ(m.MoveOrder(0, 1), 1);
  EXPECT_EQ(m.order[0], "X1-X3");
  EXPECT_EQ(m.order[1], "X1-X2");
}

TEST(PassFail, OpensAndStoresTheBlocks) {
  PassFailBlock pf;
  ResistanceBlock res;
  pf.pfcustomdeviation = 7;
  pf.pfkneevoltage[2] = 220;
  res.pfresistance[1] = 1.5;
  PassFailModel m;
  m.Load(pf, res);
  EXPECT_EQ(m.kneevoltage[0], "");
  EXPECT_EQ(m.kneevoltage[2], "220");
  EXPECT_EQ(m.resistance[1], "1.50");
  EXPECT_FALSE(m.CustomRatioVisible());
  m.ratiodeviation = 2;
  m.resdeviation = 2;
  EXPECT_TRUE(m.CustomRatioVisible() && m.CustomResVisible());
  m.kneevoltage[0] = "220.7";
  m.kneevoltage[2] = "";
  m.resistance[1] = "";
  m.customratio = "99";
  m.customres = "2.5";
  std::string error;
  ASSERT_TRUE(m.Store(pf, res, error)) << error;
  EXPECT_EQ(pf.pfkneevoltage[0], 220);
  EXPECT_EQ(pf.pfkneevoltage[2], 0);
  EXPECT_EQ(res.pfresistance[1], 0);
  EXPECT_EQ(res.pfresistance[3], 0);
  EXPECT_EQ(pf.pfcustomdeviation, 99);
  EXPECT_EQ(pf.pfturnsratiodeviation, 2);
  EXPECT_EQ(res.pfcustomresdeviation, 2.5);
  EXPECT_EQ(PassFailModel::LimitCustomRatio("100"), "10");
}

TEST(PassFail, InvalidCustomFieldsKeepTheDialogOpen) {
  const struct {
    const char* ratio;
    const char* res;
    const char* knee;        // of X1-X3
    const char* resistance;  // of X1-X3
    const char* message;
  } cases[] = {
      {"", "1", "", "", "Please enter an integer between 0 and 100."},
      {"-1", "1", "", "", "Please enter an integer between 0 and 100."},
      {"5", "x", "", "", "Please enter a number."},
      {"5", "1", "", "abc", "Resistance of X1-X3: please enter a number of ohms, 0 or more."},
      {"5", "1", "", "-2", "Resistance of X1-X3: please enter a number of ohms, 0 or more."},
      {"5", "1", "high", "", "Knee voltage of X1-X3: please enter a number."},
      {"5", "1", "-40", "", "Knee voltage of X1-X3 must be from 0 to 2147483647 V."},
  };
  for (const auto& c : cases) {
    PassFailModel m;
    m.customratio = c.ratio;
    m.customres = c.res;
    m.kneevoltage[2] = c.knee;
    m.resistance[2] = c.resistance;
    m.enable = true;
    PassFailBlock pf;
    ResistanceBlock res;
    std::string error;
    EXPECT_FALSE(m.Store(pf, res, error));
    EXPECT_EQ(error, c.message);
    EXPECT_EQ(pf.pfenable, 0);
  }
}

TEST(RatioError, RunFillsDefaultsAndFieldsMustFitThePlan) {
  RatioErrorModel m;
  m.Load({0, 12, 0.8, 5});
  m.ClickRun(true);
  EXPECT_EQ(m.burden_va + "|" + m.cos_phi + "|" + m.sec_current, "30|0.5|1.0");
  RatioErrorValues v;
  std::string error;
  ASSERT_TRUE(m.Store(v, error));
  EXPECT_EQ(v, (RatioErrorValues{1, 30, 0.5, 1.0}));
  m.ClickRun(false);
  ASSERT_TRUE(m.Store(v, error));
  EXPECT_EQ(v, (RatioErrorValues{0, 0, 0, 0}));
  // With the calculation on, each value stays in the range shown beside it.
  const struct {
    const char *burden, *cos_phi, *current, *message;
  } cases[] = {
      {"700", "0.5", "1", "Max Burden must be from 0 to 500 VA."},
      {"30", "1.5", "1", "Power Factor must be from 0.00 to 1.00."},
      {"30", "0.5", "0.5", "Rated Sec Cur must be from 1.0 to 5.0 A."},
      {"30", "0.5", "6", "Rated Sec Cur must be from 1.0 to 5.0 A."},
      {"30", "half", "1", "Please enter a number."},
      {"500", "1", "5", ""},
  };
  for (const auto& c : cases) {
    m.ClickRun(true);
    m.burden_va = c.burden;
    m.cos_phi = c.cos_phi;
    m.sec_current = c.current;
    error.clear();
    EXPECT_EQ(m.Store(v, error), c.message[0] == '\0') << c.message;
    EXPECT_EQ(error, c.message);
  }
}

TEST(TestNote, LineEndsBetweenRecordAndEditor) {
  EXPECT_EQ(NoteForEditor("a\r\nb"), "a\nb");
  EXPECT_EQ(NoteForRecord("a\nb"), "a\r\nb");
  EXPECT_EQ(NoteForRecord("a\r\nb"), "a\r\nb");
}

}  // namespace
}  // namespace kova
