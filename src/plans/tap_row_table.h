#pragma once
// The ten tap rows and the tap order list that the plan editor and Edit Test
// both hold, with the actions on one row. Each model says how many rows it
// shows and which rules its rows follow.

#include "plans/ratio_error.h"
#include "plans/tap_order.h"
#include "plans/tap_row.h"

namespace kova {

constexpr int kTapRows = kTapOrderRows;

class TapRowTable {
 public:
  TapRow rows[kTapRows];
  TapOrderNames order;  // the tap names of the order list

  void SetTest(int row, TestColumn column, bool checked);
  void ChooseVoltage(int row, int entry);
  void ChooseCurrent(int row, int entry);
  // Moves an entry of the order list by `step` places; returns its new index
  // (the old one when the move would leave the list).
  int MoveOrder(int index, int step) { return MoveTapOrder(order, index, step); }

  // The rules the rows follow, for the instrument of the moment.
  virtual TapRowRules RowRules() const = 0;
  // The rows' enabling rules and the model's own.
  virtual void ApplyEnabling() = 0;

 protected:
  TapRowTable() = default;
  TapRowTable(const TapRowTable&) = default;
  TapRowTable& operator=(const TapRowTable&) = default;
  virtual ~TapRowTable() = default;

  // How many rows, from the top, the dialog shows; the others take no action.
  virtual int RowsShown() const = 0;
  TapRow* ShownRow(int r) { return r >= 0 && r < RowsShown() ? &rows[r] : nullptr; }
  void ApplyRowEnabling();
  // The ratio error dialog of a row ended with OK: the row takes the values.
  // True when the 1 A warning is to be shown.
  bool SetRowRatioError(int row, const RatioErrorValues& values);
};

}  // namespace kova
