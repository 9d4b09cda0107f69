#include "plans/plan_editor_model.h"

#include <algorithm>

#include "base/format.h"
#include "plans/plan_ranges.h"
#include "records/tap_names.h"
#include "records/test_record.h"

namespace kova {
namespace {

constexpr int kNamePlateTables[6][kPlanRows] = {
    {600, 400, 150, 100, 500, 300, 50, 450, 250, 200},
    {1200, 800, 300, 200, 1000, 600, 100, 900, 500, 400},
    {2000, 1500, 1200, 400, 1600, 1100, 800, 800, 300, 500},
    {3000, 2500, 2200, 1000, 2000, 1500, 1200, 800, 300, 500},
    {4000, 3000, 2000, 500, 3500, 2500, 1500, 2000, 1000, 1000},
    {5000, 4000, 2000, 1500, 3500, 2500, 500, 3000, 2000, 1000},
};

constexpr int kMultiTapRow = 0;   // X1-X5
constexpr int kSingleTapRow = 3;  // X1-X2

int Clamp(int v, int lo, int hi) { return std::max(lo, std::min(v, hi)); }

}  // namespace

const std::vector<std::string>& InstrumentChoices() {
  static const std::vector<std::string> v = {"KOVA-7100", "KOVA-R5", "KOVA-7100B/C", "KOVA-7KA"};
  return v;
}
const std::vector<std::string>& KneeMarkerEntries() {
  static const std::vector<std::string> v = {"IEEE 30 deg", "IEEE 45 deg", "IEC 10/50"};
  return v;
}
const std::vector<std::string>& AutoNamePlateEntries() {
  static const std::vector<std::string> v = {"None",
                                             "600:5 (C57.13)",
                                             "1200:5 (C57.13)",
                                             "2000:5 (C57.13)",
                                             "3000:5 (C57.13)",
                                             "4000:5 (C57.13)",
                                             "5000:5 (C57.13)"};
  return v;
}
const std::vector<std::string>& RatedCurrentEntries() {
  static const std::vector<std::string> v = {"5", "1", " "};
  return v;
}
const std::vector<std::string>& CtTypeEntries() {
  static const std::vector<std::string> v = {"None", "Protection", "Metering"};
  return v;
}

int AutoNamePlatePrimary(int entry, int row) {
  if (entry < 1 || entry > 6 || row < 0 || row >= kPlanRows) return 0;
  return kNamePlateTables[entry - 1][row];
}

int RowTapCode(int row) {
  for (int code = 1; code <= kTapCodes; ++code) {
    if (TapPosition(code) == row) return code;
  }
  return 1;
}

std::string RowTapName(int row) { return TapNameFromCode(RowTapCode(row)); }

PlanEditorModel::PlanEditorModel() {
  for (int r = 0; r < kPlanRows; ++r) rows[r].label = RowTapName(r);
  Load(kvTestPlan());
}

int PlanEditorModel::DeviceType() const {
  return instrument == kChoice7KA ? kPlanKova7KA : instrument;
}

TapRowRules PlanEditorModel::RowRules() const { return TapRowRules::ForPlan(DeviceType()); }

void PlanEditorModel::RebuildLists(bool kova_r5_voltages) {
  for (TapRow& row : rows) {
    const double v = row.voltage.SelectedNumber();
    const double a = row.current.SelectedNumber();
    row.voltage.entries = VoltageEntries(kova_r5_voltages);
    SelectValue(row.voltage, VoltageText(v), v, false);
    row.current.entries = FullCurrentEntries();
    SelectValue(row.current, CurrentText(a), a, false);
  }
}

void PlanEditorModel::Load(const kvTestPlan& source) {
  plan = source;
  // 1. Lists of the KOVA-7100B/C, keeping what the rows showed.
  RebuildLists(false);
  instrument = kChoice7100BC;
  ratedcurrent = RatedCurrentEntries()[0];
  // 2, 3. Header, marker, burden and insulation choices.
  company = plan.company;
  station = plan.station;
  circuit = plan.circuit;
  manufacturer = plan.manufacturer;
  model = plan.model;
  comment = plan.comment;
  serialnumber = plan.serialnumber;
  operatorname = plan.operatorname;
  kneemarker = Clamp(plan.kneetype - 1, 0, 2);
  burden1a = plan.burdencurrent == 10;
  insulation1000v = plan.insulationvoltage != 50;
  runburden = runinsulation = false;
  // 4. Types 3 and 4 are both the KOVA-7KA choice.
  instrument = Clamp(plan.devicetype, 0, 3);
  // 5. Class settings.
  multitap = plan.classsettings.multitap != 0;
  singletap = plan.classsettings.singletap != 0;
  temperature = Format("%.2f", plan.classsettings.tempcelsius);
  cttype = Clamp(plan.classsettings.ctusage, 0, 2);
  const double rated = plan.classsettings.ratedcurrent;
  ratedcurrent = rated == 5 ? "5" : rated == 1 ? "1" : Format("%.2f", rated);
  // 6. Tap entries into their rows.
  for (int i = 0; i < std::min(plan.numtests, kMaxPlanTaps); ++i) {
    const PlanTap& tap = plan.taps[i];
    if (tap.uTestType & kBurdenTest) runburden = true;
    if (tap.uTestType & kInsulationTest) runinsulation = true;
    if ((tap.uTestType & (kRatioTest | kResistanceTest | kExcitationTest)) == 0) continue;
    const int code = tap.tapid + 1;
    TapRow& row = rows[code >= 1 && code <= kTapCodes ? TapPosition(code) : kMultiTapRow];
    row.LoadValues(tap.uTestType, tap.nNamePlateNum, tap.fNamePlateDen, tap.szTestNote,
                   RatioErrorOf(tap));
    SelectValue(row.voltage, VoltageText(tap.fVoltageRange), tap.fVoltageRange, true);
    row.current.entries = CurrentEntriesForVoltage(tap.fVoltageRange, RowRules().Kova7KACurrents());
    SelectValue(row.current, CurrentText(tap.fCurrentRange), tap.fCurrentRange, true);
  }
  // 7. The order list; past its last name the last one repeats.
  LoadTapOrder(plan.taporder, order);
  ApplyEnabling();
}

void PlanEditorModel::ApplyEnabling() {
  ApplyRowEnabling();
  runtests_enabled = instrument == kChoice7100BC;
  insulationchoice_enabled = runtests_enabled && runinsulation;
  burdenchoice_enabled = runtests_enabled && runburden;
  ratedcurrent_enabled = autonameplate == 0;
}

void PlanEditorModel::SetInstrument(int choice) {
  instrument = Clamp(choice, 0, 3);
  ApplyEnabling();
  RebuildLists(RowRules().KovaR5Voltages());
}

void PlanEditorModel::SetColumn(TestColumn column, bool checked) {
  for (TapRow& row : rows) row.Box(column) = checked;
  ApplyEnabling();
}

void PlanEditorModel::SetNameplate(int r, const std::string& primary,
                                   const std::string& secondary) {
  if (r < 0 || r >= kPlanRows) return;
  rows[r].primary = primary;
  rows[r].secondary = secondary;
}

void PlanEditorModel::SetRatedCurrent(const std::string& text) {
  ratedcurrent = text;
  for (TapRow& row : rows) row.secondary = text;
}

void PlanEditorModel::TapPreset(int r, bool state) {
  TapRow& row = rows[r];
  row.ratio = false;
  row.excitation = state;
  row.winding = state;
  if (!state) return;
  if (r == kMultiTapRow) {
    for (TapRow& each : rows) each.secondary = ratedcurrent;
  } else {
    row.secondary = ratedcurrent;
  }
}

void PlanEditorModel::ChooseAutoNamePlate(int entry) {
  autonameplate = Clamp(entry, 0, 6);
  for (int r = 0; r < kPlanRows; ++r) {
    if (autonameplate == 0) {
      rows[r].primary.clear();
      rows[r].secondary.clear();
    } else {
      rows[r].primary = Format("%d", AutoNamePlatePrimary(autonameplate, r));
      rows[r].secondary = "5";
    }
  }
  ApplyEnabling();
  ratedcurrent = "5";
  multitap = autonameplate != 0;
  TapPreset(kMultiTapRow, multitap);
  ApplyEnabling();
}

void PlanEditorModel::ClickMultiTap(bool checked) {
  multitap = checked;
  singletap = false;
  TapPreset(kSingleTapRow, false);
  TapPreset(kMultiTapRow, checked);
  ApplyEnabling();
}

void PlanEditorModel::ClickSingleTap(bool checked) {
  singletap = checked;
  multitap = false;
  TapPreset(kMultiTapRow, false);
  TapPreset(kSingleTapRow, checked);
  ApplyEnabling();
}

void PlanEditorModel::SetRunInsulation(bool checked) {
  runinsulation = checked;
  ApplyEnabling();
}

void PlanEditorModel::SetRunBurden(bool checked) {
  runburden = checked;
  ApplyEnabling();
}

bool PlanEditorModel::SetRatioError(int r, const RatioErrorValues& values) {
  return SetRowRatioError(r, values);
}

bool PlanEditorModel::Store(kvTestPlan& out, std::string& error) {
  // Texts longer than the plan keeps would come back cut.
  const struct {
    const std::string& text;
    const char* label;
  } texts[] = {{company, "Company"},  {station, "Station"},      {circuit, "Circuit"},
               {manufacturer, "Mfr"}, {model, "Model"},          {comment, "Comments"},
               {serialnumber, "SN"},  {operatorname, "Operator"}};
  for (const auto& t : texts) {
    if (t.text.size() > kPlanHeaderTextChars) {
      error = Format("%s: at most %d characters.", t.label, static_cast<int>(kPlanHeaderTextChars));
      return false;
    }
  }
  for (const TapRow& row : rows) {
    if (!row.CheckPlanTexts(error)) return false;
  }
  if (!IsNumberText(temperature)) {
    error = "Temperature: please enter a number.";
    return false;
  }
  kvTestPlan p = plan;
  p.devicetype = DeviceType();
  p.kneetype = kneemarker + 1;
  p.company = company;
  p.station = station;
  p.circuit = circuit;
  p.manufacturer = manufacturer;
  p.model = model;
  p.comment = comment;
  p.serialnumber = serialnumber;
  p.operatorname = operatorname;
  p.burdencurrent = burden1a ? 10 : 50;
  p.insulationvoltage = insulation1000v ? 100 : 50;
  p.classsettings.multitap = multitap ? 1 : 0;
  p.classsettings.singletap = singletap ? 1 : 0;
  p.classsettings.tempcelsius = TextNumber(temperature);
  p.classsettings.ctusage = cttype;
  p.classsettings.ratedcurrent = TextNumber(ratedcurrent);
  p.numtests = 0;
  for (int r = 0; r < kPlanRows; ++r) {
    const TapRow& row = rows[r];
    if (row.TestFlags() != 0)
      p.taps[p.numtests++] = row.ToPlanTap(RowTapCode(r) - 1, row.ratioerror);
  }
  if (instrument == kChoice7100BC && (runinsulation || runburden)) {
    if (p.numtests == 0) {
      p.taps[0] = PlanTap();
      p.taps[0].uTestType = 0;
      p.numtests = 1;
    }
    PlanTap& last = p.taps[p.numtests - 1];
    if (runinsulation) last.uTestType += kInsulationTest;
    if (runburden) last.uTestType += kBurdenTest;
  }
  p.taporder = JoinTapOrder(order);
  if (!PlanFitsImage(p, error)) return false;
  p.EncodeImage(p.image);
  plan = p;
  out = p;
  return true;
}

}  // namespace kova
