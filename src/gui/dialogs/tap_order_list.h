#pragma once
// Pieces the plan editor and the edit-test dialog share: the tap-order list
// with its arrows, and a button that Enter in a field does not press.

#include <QBoxLayout>
#include <QPushButton>
#include <QTableWidget>
#include <QToolButton>

namespace kova {

// A push button that is never the default: Enter in a field must not press it.
QPushButton* PlainButton(const char* text, QWidget* parent);

struct TapOrderList {
  QTableWidget* table = nullptr;  // rows "1".."rows" with the tap in each
  QToolButton* up = nullptr;
  QToolButton* down = nullptr;
};

// Adds to `row` the order list of `rows` positions, all in view without a
// scroll bar, and the arrows that move the selected tap.
TapOrderList AddTapOrderList(QWidget* parent, QBoxLayout* row, int rows);

}  // namespace kova
