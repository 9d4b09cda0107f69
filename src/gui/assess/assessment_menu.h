#pragma once
// The "Assessment" menu of the main window, three rows of its command table:
// the assessment profile of the active record (kept beside it), the import
// of its CT's reference curve (kept in the record library when one is
// there, else beside the record) and the sister phases; the report's
// "Calculation details" pages follow them. Every record window takes the
// comparisons' bands from the stored settings (LoadComparisonBands) and
// finds references where ReferenceKeeperFor says.

#include <string>
#include <vector>

#include "app/app_settings.h"
#include "app/comparison_settings.h"
#include "library_stores/library_reference_keeper.h"

class QDialog;

namespace kova {

class MainWindow;

// Installs the three commands through the window's command table.
void AddAssessmentCommands(MainWindow& window, const SettingsStore& settings, const CAppInfo& info);
// The two commands on the active document, public for the tests; `chosen`
// is the reference file (empty: ask for it), shown in the import dialog
// before it is kept.
void EditAssessmentProfile(MainWindow& window);
void ImportReferenceCurve(MainWindow& window, const char* chosen = nullptr);
// The sister phases of the test shown (test 1 on a page of the whole
// record): the record library's when one is there, else the records the
// user chooses (`chosen`, in tests). Shows them in a window of its own,
// returned (null when nothing was compared).
QDialog* CompareSisterPhases(MainWindow& window, const SettingsStore& settings,
                             const CAppInfo& info,
                             const std::vector<std::string>* chosen = nullptr);

}  // namespace kova
