#pragma once
// The rules of the "Test Plan" editor without its widgets: the controls'
// values, which control depends on which, the value lists, the presets and
// the automatic nameplate tables, loading a plan into the controls and
// storing the controls back. The dialog shows this model and calls one
// operation per user action; every operation applies the enabling rules.
//
// A model is a plain value: the dialog's undo keeps copies of it.

#include <string>
#include <vector>

#include "plans/tap_row_table.h"
#include "plans/test_plan.h"
#include "plans/value_lists.h"

namespace kova {

// "Select device type test plan".
enum PlanInstrumentChoice : int {
  kChoice7100 = 0,
  kChoiceR5 = 1,
  kChoice7100BC = 2,
  kChoice7KA = 3,
};

constexpr int kPlanRows = kTapRows;
constexpr const char* kOneAmpWarning = "Warning: Excitation current will be set to 1 AMP";

// The editor's fixed lists.
const std::vector<std::string>& InstrumentChoices();     // "KOVA-7100" … "KOVA-7KA"
const std::vector<std::string>& KneeMarkerEntries();     // "IEEE 30 deg" …
const std::vector<std::string>& AutoNamePlateEntries();  // "None", "600:5 (C57.13)" …
const std::vector<std::string>& RatedCurrentEntries();   // "5", "1", " "
const std::vector<std::string>& CtTypeEntries();         // "None", "Protection", "Metering"
// Primary amperes of an Auto Name Plate entry (1..6) for a row.
int AutoNamePlatePrimary(int entry, int row);

// Tap code of a row (rows run X1-X5, X1-X4, … X4-X5) and its name.
int RowTapCode(int row);
std::string RowTapName(int row);

class PlanEditorModel : public TapRowTable {
 public:
  PlanEditorModel();  // the controls of a new plan

  // The plan as loaded; the pass/fail setup edits its blocks directly.
  kvTestPlan plan;

  int instrument = kChoice7100BC;
  std::string company, station, circuit, manufacturer, model, serialnumber, operatorname, comment;
  int kneemarker = 0;
  int autonameplate = 0;
  std::string ratedcurrent = "5";  // the text of "Current (A):"
  std::string temperature = "25.00";
  int cttype = 0;
  bool singletap = false, multitap = false;
  // The tap rows (each with the plan's copy of its ratio error values) and
  // the tap order list are TapRowTable's.
  bool runinsulation = false, runburden = false;
  bool insulation1000v = false;  // else "500V"
  bool burden1a = false;         // else "Test Current = 5A"

  // Enabling of the dialog-wide controls.
  bool runtests_enabled = true;  // "Run Insulation Test", "Run Burden Test"
  bool insulationchoice_enabled = false;
  bool burdenchoice_enabled = false;
  bool ratedcurrent_enabled = true;

  // Plan → controls.
  void Load(const kvTestPlan& source);
  // Controls → plan (into `plan`, which is also returned in `out`); false
  // with a message when a value does not fit the plan image.
  bool Store(kvTestPlan& out, std::string& error);

  void SetInstrument(int choice);
  void SetColumn(TestColumn column, bool checked);
  void SetNameplate(int row, const std::string& primary, const std::string& secondary);
  // "Current (A):" chosen or typed: its text goes into every row's secondary.
  void SetRatedCurrent(const std::string& text);
  void ChooseAutoNamePlate(int entry);
  void ClickMultiTap(bool checked);
  void ClickSingleTap(bool checked);
  void SetRunInsulation(bool checked);
  void SetRunBurden(bool checked);
  // The ratio error dialog of a row ended with OK. True when the 1 A warning
  // is to be shown (a KOVA-7100 with the calculation on).
  bool SetRatioError(int row, const RatioErrorValues& values);

  void ApplyEnabling() override;
  // The tap-row rules of the instrument chosen.
  TapRowRules RowRules() const override;

 private:
  int RowsShown() const override { return kPlanRows; }
  int DeviceType() const;  // the instrument choice as a plan's devicetype
  void RebuildLists(bool kova_r5_voltages);
  void TapPreset(int row, bool state);
};

}  // namespace kova
