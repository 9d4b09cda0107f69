#pragma once
// The rules of the "Edit Test" dialog without its widgets: what it shows of a
// record, which controls depend on which, storing the dialog into the record
// (through the record's binary record, so that the record file keeps what is
// shown), "Save to Test Plan" and "Repeat Tests". The dialog shows this model
// and calls one operation per user action.

#include <functional>
#include <string>
#include <vector>

#include "plans/plan_editor_model.h"
#include "plans/ratio_error.h"
#include "plans/tap_row_table.h"
#include "plans/value_lists.h"

namespace kova {

struct TestRecord;
class kvTestPlan;
class Prompter;

constexpr int kEditRows = kTapRows;  // records of more tests show their first ten
constexpr const char* kNoTestsSelected = "No tests selected to run";
const std::vector<std::string>& FrequencyEntries();  // "60 Hz", "50 Hz"

class EditTestModel : public TapRowTable {
 public:
  std::string company, station, circuit, manufacturer, model, serialnumber, operatorname, comment;
  int kneemarker = 0;
  int frequency = 0;
  std::string temperature, ratedcurrent;
  int cttype = 0;
  int rowcount = 0;  // the record's tests shown, at most kEditRows
  // The tap rows (each with the record tap's ratio error values) and the tap
  // order list are TapRowTable's.
  bool runinsulation = false, runburden = false;
  // The instrument that answered when the dialog opened: its model code, or
  // -1 when none did.
  int modelcode = -1;

  bool runinsulation_enabled = false, runburden_enabled = false, repeat_enabled = false;

  void Open(const TestRecord& rec, int connected_modelcode);

  void SetRepeat(int row, bool checked);
  void SetRunInsulation(bool checked);
  void SetRunBurden(bool checked);
  void ApplyEnabling() override;
  TapRowRules RowRules() const override { return TapRowRules::ForRecord(modelcode); }

  // A row's ratio error dialog ended with OK: the values reach the record at
  // once (its fields and its binary record). True when the 1 A warning is to
  // be shown. False with a message when the values do not fit the record.
  bool SetRatioError(TestRecord& rec, int row, const RatioErrorValues& values, bool& warn,
                     std::string& error);

  // The dialog's values into the record's fields, nothing else.
  void Store(TestRecord& rec) const;
  // OK of the dialog: Store, write the edits into the binary record, decode
  // it again and recompute the derived figures. A value that does not fit
  // its field refuses the whole edit (message in `error`, record unchanged).
  bool Apply(TestRecord& rec, std::string& error) const;

  // "Save to Test Plan": a plan of the rows whose boxes are checked.
  bool BuildSavePlan(const TestRecord& rec, kvTestPlan& plan, std::string& error) const;
  // "Repeat Tests": a plan of the rows whose Repeat Test box is checked;
  // `sources` receives the test each tap entry measures again (-1 for a
  // plan-wide entry).
  bool BuildRepeatPlan(const TestRecord& rec, kvTestPlan& plan, std::vector<int>& sources,
                       std::string& error) const;

 private:
  int RowsShown() const override { return rowcount; }
  bool FillEntries(const TestRecord& rec, bool repeated_only, kvTestPlan& plan,
                   std::vector<int>& sources) const;
  int deviceversion_ = 1;
  int burdenenabled_ = 0, insulationenabled_ = 0;
};

// Puts the tests of a repeat run into the record's binary record: test block
// `sources[k]` is replaced by the run's block k, and on a KOVA-7100B/C record
// the burden and insulation results when they were run. The record is then
// decoded again. Refused, record unchanged, when the run's record has
// another layout or fewer tests than asked for.
bool MergeRepeatResult(TestRecord& rec, const TestRecord& run, const std::vector<int>& sources,
                       bool burden, bool insulation, std::string& error);

// Runs a plan on the connected instrument and hands back its record; false
// when the run failed or was aborted (its messages are its own).
using PlanRunner = std::function<bool(kvTestPlan& plan, TestRecord& result)>;

// The whole "Repeat Tests" button: build the plan, run it, merge the result
// and store the dialog. True when the record changed (the dialog then closes
// with OK); messages go through the prompter.
bool RepeatTests(const EditTestModel& model, TestRecord& rec, const PlanRunner& run,
                 Prompter& prompter);

}  // namespace kova
