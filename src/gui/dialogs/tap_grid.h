#pragma once
// The grid of tap rows that the plan editor and Edit Test both show: one line
// of widgets per TapRow, built, shown from the model and wired to the user's
// actions by this one piece of code. A dialog names the columns it adds to
// the common ones.

#include <QGroupBox>
#include <functional>
#include <string>
#include <vector>

#include "plans/tap_row.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kova {

struct TapRowWidgets {
  QLabel* name = nullptr;
  QLineEdit* primary = nullptr;
  QLineEdit* secondary = nullptr;
  QCheckBox* box[3] = {};  // ratio, excitation, winding
  QComboBox* voltage = nullptr;
  QComboBox* current = nullptr;
  QPushButton* edit = nullptr;  // the row's ratio error values
  QLineEdit* note = nullptr;
  QCheckBox* repeat = nullptr;  // only with kRepeatColumn
};

// Columns beyond the common ones.
enum TapGridColumns : unsigned {
  kColumnBoxes = 1u << 0,   // above each test column, a box that sets the whole column
  kRepeatColumn = 1u << 1,  // "Repeat Test"
};

// What the user did in the grid; an action left empty is ignored.
struct TapGridActions {
  std::function<void(int row, TapText field, const std::string& text)> typed;
  std::function<void(int row, TestColumn column, bool checked)> test;
  std::function<void(TestColumn column, bool checked)> whole_column;
  std::function<void(int row, bool checked)> repeat;
  std::function<void(int row, int entry)> voltage;
  std::function<void(int row, int entry)> current;
  std::function<void(int row)> ratio_error;
};

class TapGrid : public QGroupBox {
 public:
  TapGrid(int rows, unsigned columns, TapGridActions actions, QWidget* parent);

  const TapRowWidgets& row(int r) const { return rows_[r]; }
  QCheckBox* columnBox(int column) const { return column_[column]; }  // null without kColumnBoxes

  // Shows `rows[0]` … `rows[count - 1]` and hides the lines below them. The
  // widgets' changes while they are being shown are not reported as actions.
  void Show(const TapRow* rows, int count);

 private:
  void Build(unsigned columns);
  void Connect();

  std::vector<TapRowWidgets> rows_;
  QCheckBox* column_[3] = {};
  TapGridActions actions_;
  bool showing_ = false;
};

}  // namespace kova
