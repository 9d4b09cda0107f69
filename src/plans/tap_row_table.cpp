#include "plans/tap_row_table.h"

namespace kova {

void TapRowTable::SetTest(int r, TestColumn column, bool checked) {
  TapRow* row = ShownRow(r);
  if (!row) return;
  row->Box(column) = checked;
  ApplyEnabling();
}

void TapRowTable::ChooseVoltage(int r, int entry) {
  if (TapRow* row = ShownRow(r)) row->ChooseVoltage(entry, RowRules());
}

void TapRowTable::ChooseCurrent(int r, int entry) {
  if (TapRow* row = ShownRow(r)) row->ChooseCurrent(entry);
}

void TapRowTable::ApplyRowEnabling() {
  const TapRowRules rules = RowRules();
  for (int r = 0; r < RowsShown(); ++r) rows[r].ApplyEnabling(rules);
}

bool TapRowTable::SetRowRatioError(int r, const RatioErrorValues& values) {
  TapRow* row = ShownRow(r);
  if (!row) return false;
  const bool warn = row->SetRatioError(values, RowRules());
  ApplyEnabling();
  return warn;
}

}  // namespace kova
