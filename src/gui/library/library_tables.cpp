#include "gui/library/library_tables.h"

#include <QHeaderView>
#include <QTableWidget>

#include "library/fleet_chart.h"

namespace kova {

QTableWidget* NewLibraryTable(const QStringList& headers, QWidget* parent) {
  auto* t = new QTableWidget(0, headers.size(), parent);
  t->setHorizontalHeaderLabels(headers);
  t->setSelectionBehavior(QAbstractItemView::SelectRows);
  t->setEditTriggers(QAbstractItemView::NoEditTriggers);
  t->verticalHeader()->hide();
  t->horizontalHeader()->setStretchLastSection(true);
  return t;
}

QColor ChangeFlagColor(ChangeFlag flag) {
  switch (flag) {
    case ChangeFlag::kOk:
      return QColor(200, 240, 200);
    case ChangeFlag::kWarn:
      return QColor(255, 225, 120);
    case ChangeFlag::kAlarm:
      return QColor(255, 150, 150);
    case ChangeFlag::kNone:
      break;
  }
  return QColor();
}

QColor FleetStateCellColor(FleetState state) {
  if (state == FleetState::kNone) return QColor();
  const Color c = FleetStateTint(state);
  return QColor(c.r, c.g, c.b);
}

QColor VerdictColor(Verdict v) {
  switch (v) {
    case Verdict::kPass:
      return ChangeFlagColor(ChangeFlag::kOk);
    case Verdict::kFail:
      return ChangeFlagColor(ChangeFlag::kAlarm);
    case Verdict::kNotAssessed:
      break;
  }
  return ChangeFlagColor(ChangeFlag::kWarn);
}

}  // namespace kova
