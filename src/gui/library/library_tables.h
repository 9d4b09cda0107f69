#pragma once
// What the Library window's tables share: their looks and the colours of
// flags, states and verdicts.

#include <QColor>
#include <QStringList>

#include "library/fleet.h"
#include "library/history.h"
#include "library/library_assess.h"

class QTableWidget;
class QWidget;

namespace kova {

// Whole rows selected, nothing edited, no row numbers.
QTableWidget* NewLibraryTable(const QStringList& headers, QWidget* parent);

QColor ChangeFlagColor(ChangeFlag flag);       // invalid for kNone
QColor FleetStateCellColor(FleetState state);  // invalid for kNone
QColor VerdictColor(Verdict verdict);

}  // namespace kova
