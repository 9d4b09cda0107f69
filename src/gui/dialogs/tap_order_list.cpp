#include "gui/dialogs/tap_order_list.h"

#include <QHeaderView>
#include <QVBoxLayout>

namespace kova {

QPushButton* PlainButton(const char* text, QWidget* parent) {
  auto* b = new QPushButton(text, parent);
  b->setAutoDefault(false);
  return b;
}

TapOrderList AddTapOrderList(QWidget* parent, QBoxLayout* row, int rows) {
  constexpr int kRowHeight = 24;
  TapOrderList list;
  list.table = new QTableWidget(rows, 2, parent);
  QTableWidget* t = list.table;
  t->setHorizontalHeaderLabels({"Order", "Tap"});
  t->verticalHeader()->hide();
  t->setSelectionBehavior(QAbstractItemView::SelectRows);
  t->setSelectionMode(QAbstractItemView::SingleSelection);
  t->setEditTriggers(QAbstractItemView::NoEditTriggers);
  t->setColumnWidth(0, 50);
  t->setColumnWidth(1, 70);
  t->setFixedWidth(140);
  t->verticalHeader()->setDefaultSectionSize(kRowHeight);
  t->horizontalHeader()->setStretchLastSection(true);
  t->setFixedHeight(kRowHeight * rows + t->horizontalHeader()->sizeHint().height() + 4);
  t->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  for (int r = 0; r < rows; ++r) {
    t->setItem(r, 0, new QTableWidgetItem(QString::number(r + 1)));
    t->setItem(r, 1, new QTableWidgetItem());
  }
  row->addWidget(t);
  auto* arrows = new QVBoxLayout();
  list.up = new QToolButton(parent);
  list.up->setArrowType(Qt::UpArrow);
  list.down = new QToolButton(parent);
  list.down->setArrowType(Qt::DownArrow);
  arrows->addStretch(1);
  arrows->addWidget(list.up);
  arrows->addWidget(list.down);
  arrows->addStretch(1);
  row->addLayout(arrows);
  return list;
}

}  // namespace kova
