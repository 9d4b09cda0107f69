#include "app/edit_test_model.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <memory>

#include "analysis/compute_derived.h"
#include "analysis/taps.h"
#include "base/format.h"
#include "base/prompter.h"
#include "plans/plan_ranges.h"
#include "plans/tap_order.h"
#include "plans/test_plan.h"
#include "records/record_edits.h"
#include "records/record_header.h"
#include "records/record_layout.h"
#include "records/test_record.h"

namespace kova {
namespace {

constexpr size_t kHeaderTextMax = 39;
constexpr size_t kCommentMax = 79;
constexpr size_t kNoteMax = 79;
constexpr size_t kBurdenResultsBytes = 22;
constexpr size_t kInsulationResultsBytes = 12;
constexpr size_t kModel2TestTypeOffset = 543;

int Clamp(int v, int lo, int hi) { return std::max(lo, std::min(v, hi)); }

// A recorded value in a row's list: the first entry that begins with its
// text, else the value is added, except that 0 selects the first entry.
void SelectRecorded(ChoiceList& list, const std::string& text, double value) {
  if (value == 0) {
    list.selected = list.entries.empty() ? -1 : 0;
    return;
  }
  SelectValue(list, text, value, true);
}

}  // namespace

const std::vector<std::string>& FrequencyEntries() {
  static const std::vector<std::string> v = {FrequencyWord(0), FrequencyWord(1)};
  return v;
}

void EditTestModel::Open(const TestRecord& rec, int connected_modelcode) {
  modelcode = connected_modelcode;
  deviceversion_ = rec.deviceversion;
  burdenenabled_ = rec.burdenenabled;
  insulationenabled_ = rec.insulationenabled;
  company = rec.company;
  station = rec.station;
  circuit = rec.circuit;
  manufacturer = rec.manufacturer;
  model = rec.model;
  serialnumber = rec.serialnumber;
  operatorname = rec.operatorname;
  comment = rec.comment;
  kneemarker = Clamp(rec.kneetype - 1, 0, 2);
  frequency = rec.frequency == 0 ? 0 : 1;
  temperature = Format("%.2f", rec.classsettings.tempcelsius);
  const double rated = rec.classsettings.ratedcurrent;
  ratedcurrent = rated == 5 ? "5" : rated == 1 ? "1" : Format("%.2f", rated);
  cttype = Clamp(rec.classsettings.ctusage, 0, 2);
  rowcount = std::max(0, std::min(rec.UsableTests(), kEditRows));
  for (int i = 0; i < kEditRows; ++i) {
    TapRow& row = rows[i];
    row = TapRow();
    if (i >= rowcount) continue;
    const TapTest& tap = rec.taps[i];
    row.label = TapNameFromCode(tap.nTapConnection);
    row.LoadValues(tap.uTestType, tap.nNamePlateNum, tap.fNamePlateDen, tap.szTestNote,
                   RatioErrorOf(tap));
    row.voltage.entries = VoltageEntries(RowRules().KovaR5Voltages());
    row.voltage.selected = 1;
    SelectRecorded(row.voltage, VoltageText(tap.fVoltageRange), tap.fVoltageRange);
    row.current.entries = FullCurrentEntries();
    SelectValue(row.current, "1", 1, false);
    SelectRecorded(row.current, CurrentText(tap.fCurrentRange), tap.fCurrentRange);
  }
  LoadTapOrder(rec.taporder, order);
  runinsulation = runburden = false;
  ApplyEnabling();
}

void EditTestModel::ApplyEnabling() {
  ApplyRowEnabling();
  bool any_repeat = false;
  for (int i = 0; i < rowcount; ++i) any_repeat = any_repeat || rows[i].repeat;
  const bool burden_model = modelcode == kPlanKova7100BC || modelcode == kPlanKovaR5;
  runburden_enabled = burden_model && burdenenabled_;
  runinsulation_enabled = burden_model && insulationenabled_;
  if (!runburden_enabled) runburden = false;
  if (!runinsulation_enabled) runinsulation = false;
  repeat_enabled = any_repeat || runinsulation || runburden;
}

void EditTestModel::SetRepeat(int r, bool checked) {
  if (r < 0 || r >= rowcount) return;
  rows[r].repeat = checked;
  ApplyEnabling();
}

void EditTestModel::SetRunInsulation(bool checked) {
  runinsulation = checked;
  ApplyEnabling();
}

void EditTestModel::SetRunBurden(bool checked) {
  runburden = checked;
  ApplyEnabling();
}

bool EditTestModel::SetRatioError(TestRecord& rec, int r, const RatioErrorValues& values,
                                  bool& warn, std::string& error) {
  warn = false;
  if (r < 0 || r >= rowcount) return false;
  auto copy = std::make_unique<TestRecord>(rec);
  TapTest& tap = copy->taps[r];
  tap.bDoBurdenTest = values.bDoBurdenTest;
  tap.fBurdenVA = values.fBurdenVA;
  tap.fCosPhi = values.fCosPhi;
  tap.fSecCurrent = values.fSecCurrent;
  // Into the binary record too, or a reload would lose them.
  if (!EncodeTestEdits(*copy, r, copy->rawrecord, kRawRecordSize, error)) return false;
  rec = *copy;
  warn = SetRowRatioError(r, values);
  return true;
}

void EditTestModel::Store(TestRecord& rec) const {
  rec.company = company.substr(0, kHeaderTextMax);
  rec.station = station.substr(0, kHeaderTextMax);
  rec.circuit = circuit.substr(0, kHeaderTextMax);
  rec.manufacturer = manufacturer.substr(0, kHeaderTextMax);
  rec.model = model.substr(0, kHeaderTextMax);
  rec.serialnumber = serialnumber.substr(0, kHeaderTextMax);
  rec.operatorname = operatorname.substr(0, kHeaderTextMax);
  rec.comment = comment.substr(0, kCommentMax);
  for (int i = 0; i < rowcount; ++i) {
    TapTest& tap = rec.taps[i];
    tap.szTestNote = rows[i].note.substr(0, kNoteMax);
    const long long primary = TextWholeNumber(rows[i].primary);
    tap.nNamePlateNum =
        static_cast<int>(std::max<long long>(INT_MIN, std::min<long long>(primary, INT_MAX)));
    tap.fNamePlateDen = TextNumber(rows[i].secondary);
  }
  rec.kneetype = kneemarker + 1;
  rec.frequency = frequency;
  rec.classsettings.tempcelsius = TextNumber(temperature);
  rec.classsettings.ratedcurrent = TextNumber(ratedcurrent);
  rec.classsettings.ctusage = cttype;
  rec.taporder = JoinTapOrder(order);
}

bool EditTestModel::Apply(TestRecord& rec, std::string& error) const {
  auto copy = std::make_unique<TestRecord>(rec);
  Store(*copy);
  copy->KneeTypeName(copy->kneetype);
  if (!WriteEditsToRaw(*copy, error)) return false;
  ComputeDerived(*copy);
  rec = *copy;
  return true;
}

bool EditTestModel::FillEntries(const TestRecord& rec, bool repeated_only, kvTestPlan& plan,
                                std::vector<int>& sources) const {
  plan.kneetype = kneemarker + 1;
  plan.numtests = 0;
  sources.clear();
  for (int i = 0; i < rowcount; ++i) {
    const TapRow& row = rows[i];
    if (repeated_only && !row.repeat) continue;
    if (row.TestFlags() == 0) continue;
    // The ratio error values are the record tap's, as the instrument keeps them.
    plan.taps[plan.numtests++] =
        row.ToPlanTap(rec.taps[i].nTapConnection - 1, RatioErrorOf(rec.taps[i]));
    sources.push_back(i);
  }
  return plan.numtests > 0;
}

bool EditTestModel::BuildSavePlan(const TestRecord& rec, kvTestPlan& out,
                                  std::string& error) const {
  kvTestPlan plan;
  plan.devicetype = rec.deviceversion == 2   ? kPlanKova7100BC
                    : rec.deviceversion == 3 ? kPlanKovaR5
                                             : kPlanKova7100;
  std::vector<int> sources;
  if (!FillEntries(rec, false, plan, sources)) {
    error = kNoTestsSelected;
    return false;
  }
  plan.company = company;
  plan.station = station;
  plan.circuit = circuit;
  plan.manufacturer = manufacturer;
  plan.model = model;
  plan.comment = comment;
  plan.serialnumber = serialnumber;
  plan.operatorname = operatorname;
  plan.taporder = JoinTapOrder(order);
  if (!PlanFitsImage(plan, error)) return false;
  plan.EncodeImage(plan.image);
  out = plan;
  return true;
}

bool EditTestModel::BuildRepeatPlan(const TestRecord& rec, kvTestPlan& out,
                                    std::vector<int>& sources, std::string& error) const {
  kvTestPlan plan;
  if (rec.deviceversion == 2) {
    plan.devicetype = kPlanKova7100BC;
    plan.burdencurrent = static_cast<int>(std::trunc(rec.B200fBurdenReqCur * 10));
    plan.insulationvoltage = static_cast<int>(std::trunc(rec.B200fMeggerReqV)) / 10;
  } else if (rec.deviceversion == 3) {
    plan.devicetype = kPlanKovaR5;
  } else {
    plan.devicetype = modelcode < 0 ? kPlanKova7100 : modelcode;
  }
  if (!FillEntries(rec, true, plan, sources)) {
    if (!runinsulation && !runburden) {
      error = kNoTestsSelected;
      return false;
    }
    plan.taps[0] = PlanTap();
    plan.taps[0].uTestType = 0;
    plan.numtests = 1;
    sources.assign(1, -1);
  }
  PlanTap& last = plan.taps[plan.numtests - 1];
  if (runinsulation) last.uTestType += kInsulationTest;
  if (runburden) last.uTestType += kBurdenTest;
  if (!PlanFitsImage(plan, error)) return false;
  plan.EncodeImage(plan.image);
  out = plan;
  return true;
}

bool MergeRepeatResult(TestRecord& rec, const TestRecord& run, const std::vector<int>& sources,
                       bool burden, bool insulation, std::string& error) {
  const RecordLayout& lay = LayoutFor(rec.deviceversion);
  const RecordLayout& runlay = LayoutFor(run.deviceversion);
  if (lay.base != runlay.base || lay.stride != runlay.stride ||
      lay.datapoints != runlay.datapoints) {
    error = "The instrument's record has another layout than this record; the record is unchanged.";
    return false;
  }
  for (size_t k = 0; k < sources.size(); ++k) {
    const int i = sources[k];
    if (i >= rec.UsableTests() || i >= lay.maxtests ||
        (i >= 0 && static_cast<int>(k) >= std::min(run.UsableTests(), lay.maxtests))) {
      error = "The instrument did not return every repeated test; the record is unchanged.";
      return false;
    }
  }
  auto merged = std::make_unique<TestRecord>(rec);
  uint8_t* raw = merged->rawrecord;
  const bool model2 = rec.deviceversion == 2;
  if (model2 && burden) {
    std::memcpy(raw + b200::kBurdenReqCur, run.rawrecord + b200::kBurdenReqCur,
                kBurdenResultsBytes);
  }
  if (model2 && insulation) {
    std::memcpy(raw + b200::kMeggerReqV, run.rawrecord + b200::kMeggerReqV,
                kInsulationResultsBytes);
  }
  for (size_t k = 0; k < sources.size(); ++k) {
    const int i = sources[k];
    if (i < 0) continue;  // a plan-wide entry measures no tap
    uint8_t* block = raw + lay.base + static_cast<size_t>(i) * lay.stride;
    const uint8_t kept = model2 ? block[kModel2TestTypeOffset] : 0;
    std::memcpy(block, run.rawrecord + lay.base + k * lay.stride, lay.stride);
    if (model2) {
      uint8_t& type = block[kModel2TestTypeOffset];
      if (!burden) type = static_cast<uint8_t>((type & ~kBurdenTest) | (kept & kBurdenTest));
      if (!insulation) {
        type = static_cast<uint8_t>((type & ~kInsulationTest) | (kept & kInsulationTest));
      }
    }
    if (burden) merged->taps[i].burdentable = run.taps[k].burdentable;
    // The plotted curve is the new measurement's, not the old one's.
    std::copy(std::begin(run.taps[k].graph), std::end(run.taps[k].graph),
              std::begin(merged->taps[i].graph));
  }
  DecodeEditedRaw(*merged);
  rec = *merged;
  return true;
}

bool RepeatTests(const EditTestModel& model, TestRecord& rec, const PlanRunner& run,
                 Prompter& prompter) {
  kvTestPlan plan;
  std::vector<int> sources;
  std::string error;
  if (!model.BuildRepeatPlan(rec, plan, sources, error)) {
    prompter.Message(kDeviceCaption, error, Buttons::Ok, Icon::Warning);
    return false;
  }
  auto result = std::make_unique<TestRecord>();
  if (!run(plan, *result)) return false;
  auto merged = std::make_unique<TestRecord>(rec);
  if (!MergeRepeatResult(*merged, *result, sources, model.runburden, model.runinsulation, error) ||
      !model.Apply(*merged, error)) {
    prompter.Message(kDeviceCaption, error, Buttons::Ok, Icon::Warning);
    return false;
  }
  rec = *merged;
  return true;
}

}  // namespace kova
