#include "gui/assess/assessment_menu.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QVBoxLayout>

#include "app/sister_records.h"
#include "assess/curve_import.h"
#include "assess/profile_file.h"
#include "assess/reference_keeper.h"
#include "base/format.h"
#include "base/path.h"
#include "gui/assess/assessment_dialog.h"
#include "gui/assess/curve_import_dialog.h"
#include "gui/main_window.h"
#include "gui/qt_text.h"
#include "gui/report_view.h"
#include "library/store_messages.h"
#include "library_stores/open_library.h"
#include "records/test_label.h"

namespace kova {

namespace {

const QString kCaption = QStringLiteral("Assessment");

// The active view when the command can act on it (the command table's
// rule: one record read from its file), or null after a message. The menu
// offers the command only then; a direct call is told the same.
ReportView* SingleRecordView(MainWindow& window, CommandId command) {
  ReportView* view = window.ActiveView();
  if (view == nullptr || !CommandEnabled(command, window.ActiveState())) {
    QMessageBox::information(&window, kCaption,
                             QStringLiteral("Open one saved record to assess it."));
    return nullptr;
  }
  return view;
}

void Refresh(ReportView* view) {
  view->document().RebuildPages();
  view->update();
}

}  // namespace

void EditAssessmentProfile(MainWindow& window) {
  ReportView* view = SingleRecordView(window, CommandId::kAssessmentProfile);
  if (view == nullptr) return;
  const TestRecord& rec = view->document().record(0);
  // Kept for the CT: in the record library when there is one, else beside
  // the record file.
  ReferenceKeeper& keeper = view->document().report().reference_keeper();
  AssessmentProfileModel model;
  const KeptProfile kept = keeper.FindProfile(rec);
  if (kept.loaded()) {
    model.Load(kept.profile);
  } else if (kept.load != ProfileLoad::kMissing) {
    QMessageBox::warning(&window, kCaption,
                         PathToQ(kept.where) + QStringLiteral(" is not used: ") + ToQ(kept.why));
  }
  AssessmentDialog dlg(rec, model, view->document().report().bands().tap_percent, &window);
  if (dlg.exec() != QDialog::Accepted) return;
  std::string where, why;
  if (!keeper.KeepProfile(rec, dlg.profile(), where, why)) {
    QMessageBox::warning(&window, kCaption,
                         QStringLiteral("Cannot keep the assessment profile: ") + ToQ(why));
    return;
  }
  Refresh(view);
  window.statusBar()->showMessage(QStringLiteral("Assessment profile kept in ") + PathToQ(where),
                                  10000);
}

void ImportReferenceCurve(MainWindow& window, const char* chosen) {
  ReportView* view = SingleRecordView(window, CommandId::kImportReferenceCurve);
  if (view == nullptr) return;
  const std::string from = chosen ? std::string(chosen)
                                  : PathFromQ(QFileDialog::getOpenFileName(
                                        &window, QStringLiteral("Reference Curve"), QString(),
                                        QStringLiteral("CSV (*.csv);;All (*)")));
  if (from.empty()) return;
  ImportedCurve curve;
  std::string why;
  if (!ReadCurveImportFile(from, curve, why)) {
    QMessageBox::warning(&window, kCaption, PathToQ(from) + QStringLiteral(": ") + ToQ(why));
    return;
  }
  // The points and what the file says, the rest asked for, before keeping.
  CurveImportDialog dlg(FileNameOf(from), CurveImportModel(std::move(curve)), &window);
  if (dlg.exec() != QDialog::Accepted) return;
  std::string where;
  // Kept for the CT: every record of it finds the reference from now on.
  if (!view->document().report().reference_keeper().Keep(view->document().record(0),
                                                         dlg.reference(), where, why)) {
    QMessageBox::warning(&window, kCaption, PathToQ(from) + QStringLiteral(": ") + ToQ(why));
    return;
  }
  Refresh(view);
}

namespace {

// The test of the page shown; 1 on pages of the whole record.
int ShownTest(const ReportDocument& report) {
  if (report.pagecount() == 0) return 1;
  const ReportPage& pg = report.pages()[static_cast<size_t>(report.currentpage())];
  const bool of_a_test = pg.kind == kTestPage || pg.kind == kMeteringPage ||
                         pg.kind == kErrorTablePage || pg.kind == kBurdenInsulationPage;
  return of_a_test ? ReportTestNumber(pg.test) : 1;
}

QDialog* ShowLines(MainWindow& window, const std::vector<std::string>& lines) {
  auto* dlg = new QDialog(&window);
  dlg->setAttribute(Qt::WA_DeleteOnClose);
  dlg->setWindowTitle(QStringLiteral("Sister Phases"));
  auto* text = new QPlainTextEdit(dlg);
  text->setReadOnly(true);
  text->setLineWrapMode(QPlainTextEdit::NoWrap);
  text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  QString all;
  for (const std::string& l : lines) all += ToQ(l) + QLatin1Char('\n');
  text->setPlainText(all);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dlg);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dlg, &QDialog::close);
  auto* layout = new QVBoxLayout(dlg);
  layout->addWidget(text);
  layout->addWidget(buttons);
  dlg->resize(1180, 300);
  dlg->show();
  return dlg;
}

}  // namespace

QDialog* CompareSisterPhases(MainWindow& window, const SettingsStore& settings,
                             const CAppInfo& info, const std::vector<std::string>* chosen) {
  ReportView* view = SingleRecordView(window, CommandId::kCompareSisterPhases);
  if (view == nullptr) return nullptr;
  const ReportDocument& report = view->document().report();
  const TestRecord& rec = view->document().record(0);
  const ComparisonBands& bands = report.bands();
  const int test = ShownTest(report);
  const RecordDefaults defaults = RecordDefaultsFrom(info);
  SisterRecords sisters;
  std::vector<std::string> lines;
  StoreOutcome outcome;
  std::unique_ptr<SqlRecordStore> store;
  if (chosen == nullptr) store = OpenConfiguredLibrary(settings, "", LibraryUse::kRead, outcome);
  if (chosen == nullptr && outcome.status != StoreStatus::kMissing) {
    if (store)
      outcome = LoadSisterRecords(*store, rec, test, bands.sister_span_days, defaults, sisters);
    if (!outcome.ok()) {
      QMessageBox::warning(&window, kCaption, ToQ(StoreOutcomeText(outcome)));
      return nullptr;
    }
    lines.push_back("From the record library:");
    if (!sisters.why.empty()) lines.push_back(sisters.why);
  } else {
    std::vector<std::string> paths;
    if (chosen != nullptr) {
      paths = *chosen;
    } else {
      for (const QString& f : QFileDialog::getOpenFileNames(
               &window, QStringLiteral("Records of the Sister Phases"), QString(),
               QStringLiteral("Records (*.test *.tst-kova7k);;All (*)")))
        paths.push_back(PathFromQ(f));
    }
    if (paths.empty()) return nullptr;
    if (!ReadNamedSisters(rec, paths, bands.sister_span_days, defaults, sisters)) {
      QMessageBox::warning(&window, kCaption, ToQ(sisters.why));
      return nullptr;
    }
  }
  lines.insert(lines.end(), sisters.notes.begin(), sisters.notes.end());
  if (sisters.records.empty()) {
    lines.push_back(
        Format("No sister phase tested within %d days to compare with.", bands.sister_span_days));
  } else {
    const SisterComparison c =
        CompareWithSisters(rec, FileNameOf(rec.fullpath), test, sisters, bands);
    for (const std::string& l : SisterLines(c)) lines.push_back(l);
  }
  return ShowLines(window, lines);
}

void AddAssessmentCommands(MainWindow& window, const SettingsStore& settings,
                           const CAppInfo& info) {
  window.AddCommand(CommandId::kAssessmentProfile, [&window] { EditAssessmentProfile(window); });
  window.AddCommand(CommandId::kImportReferenceCurve, [&window] { ImportReferenceCurve(window); });
  window.AddCommand(CommandId::kCompareSisterPhases,
                    [&window, &settings, &info] { CompareSisterPhases(window, settings, info); });
}

}  // namespace kova
