#pragma once
// The "Assessment" menu of the main window: the assessment profile of the
// active record and the import of its reference curve. Both files are kept
// beside the record; the report's "Calculation details" pages follow them.
// Every record window takes the comparisons' bands from the stored settings
// (LoadComparisonBands).

#include "app/comparison_settings.h"

namespace kova {

class MainWindow;

void AddAssessmentMenu(MainWindow& window);
// The two commands on the active document, public for the tests; `chosen`
// is the reference file (empty: ask for it).
void EditAssessmentProfile(MainWindow& window);
void ImportReferenceCurve(MainWindow& window, const char* chosen = nullptr);

}  // namespace kova
