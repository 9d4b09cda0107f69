// The plan editor's enabling rules, one check box or choice at a time: a
// control enabled by the wrong box shows as a difference in the whole list
// of what is enabled.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "plans/plan_editor_model.h"

namespace kova {
namespace {

constexpr int kRow = 3;

// Every control that depends on another, when enabled.
std::string EnabledControls(const PlanEditorModel& m) {
  std::string on;
  auto add = [&](bool enabled, const std::string& name) {
    if (enabled) on += (on.empty() ? "" : " ") + name;
  };
  add(m.runtests_enabled, "run-tests");
  add(m.insulationchoice_enabled, "insulation-choice");
  add(m.burdenchoice_enabled, "burden-choice");
  add(m.ratedcurrent_enabled, "rated-current");
  for (int r = 0; r < kPlanRows; ++r) {
    const TapRow& row = m.rows[r];
    const std::string at = "row" + std::to_string(r) + ":";
    add(row.winding_enabled, at + "winding");
    add(row.nameplate_enabled, at + "nameplate");
    add(!row.current_enabled, at + "current-off");
    add(row.edit_enabled, at + "edit");
  }
  return on;
}

PlanEditorModel Cleared(int instrument) {
  PlanEditorModel m;
  m.SetInstrument(instrument);
  for (TestColumn c : {TestColumn::kRatio, TestColumn::kExcitation, TestColumn::kWinding})
    m.SetColumn(c, false);
  m.SetRunInsulation(false);
  m.SetRunBurden(false);
  m.ChooseAutoNamePlate(0);
  return m;
}

TEST(PlanEditorEnabling, EachBoxAloneEnablesOnlyItsOwnControls) {
  using Action = std::function<void(PlanEditorModel&)>;
  const struct {
    const char* what;
    int instrument;
    Action action;
    const char* enabled;
  } cases[] = {
      {"nothing ticked", kChoice7100BC, [](PlanEditorModel&) {}, "run-tests rated-current"},
      {"run insulation", kChoice7100BC, [](PlanEditorModel& m) { m.SetRunInsulation(true); },
       "run-tests insulation-choice rated-current"},
      {"run burden", kChoice7100BC, [](PlanEditorModel& m) { m.SetRunBurden(true); },
       "run-tests burden-choice rated-current"},
      {"run insulation on a KOVA-7100", kChoice7100,
       [](PlanEditorModel& m) { m.SetRunInsulation(true); }, "rated-current"},
      {"ratio", kChoice7100BC,
       [](PlanEditorModel& m) { m.SetTest(kRow, TestColumn::kRatio, true); },
       "run-tests rated-current row3:nameplate"},
      {"excitation", kChoice7100BC,
       [](PlanEditorModel& m) { m.SetTest(kRow, TestColumn::kExcitation, true); },
       "run-tests rated-current row3:winding row3:nameplate"},
      {"winding without excitation stays off", kChoice7100BC,
       [](PlanEditorModel& m) { m.SetTest(kRow, TestColumn::kWinding, true); },
       "run-tests rated-current"},
      {"excitation and winding", kChoice7100BC,
       [](PlanEditorModel& m) {
         m.SetTest(kRow, TestColumn::kExcitation, true);
         m.SetTest(kRow, TestColumn::kWinding, true);
       },
       "run-tests rated-current row3:winding row3:nameplate row3:edit"},
      {"excitation on a KOVA-R5", kChoiceR5,
       [](PlanEditorModel& m) { m.SetTest(kRow, TestColumn::kExcitation, true); },
       "rated-current row3:nameplate"},
      // The table ticks the whole winding's tests and takes over the rated current.
      {"an automatic nameplate", kChoice7100BC,
       [](PlanEditorModel& m) { m.ChooseAutoNamePlate(1); },
       "run-tests row0:winding row0:nameplate row0:edit"},
      {"burden calculation on a KOVA-7100", kChoice7100,
       [](PlanEditorModel& m) {
         RatioErrorValues v = m.rows[kRow].ratioerror;
         v.bDoBurdenTest = 1;
         m.SetRatioError(kRow, v);
       },
       "rated-current row3:current-off"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    PlanEditorModel m = Cleared(c.instrument);
    c.action(m);
    EXPECT_EQ(EnabledControls(m), c.enabled);
  }
}

}  // namespace
}  // namespace kova
