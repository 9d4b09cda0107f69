#include "gui/assess/assessment_menu.h"

#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>

#include "assess/profile_file.h"
#include "assess/reference_curve.h"
#include "base/file_io.h"
#include "gui/assess/assessment_dialog.h"
#include "gui/main_window.h"
#include "gui/qt_text.h"
#include "gui/report_view.h"

namespace kova {

namespace {

const QString kCaption = QStringLiteral("Assessment");

// The active view holding one record read from a file, or null after a
// message.
ReportView* SingleRecordView(MainWindow& window) {
  ReportView* view = window.ActiveView();
  if (view == nullptr || !view->document().loaded() || view->document().IsOverlay() ||
      view->document().record(0).fullpath.empty()) {
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
  ReportView* view = SingleRecordView(window);
  if (view == nullptr) return;
  const TestRecord& rec = view->document().record(0);
  const std::string path = ProfilePathBeside(rec.fullpath);
  AssessmentProfileModel model;
  AssessmentProfile p;
  std::string why;
  const ProfileLoad load = LoadAssessmentProfile(path, p, why);
  if (load == ProfileLoad::kLoaded) {
    model.Load(p);
  } else if (load != ProfileLoad::kMissing) {
    QMessageBox::warning(&window, kCaption,
                         PathToQ(path) + QStringLiteral(" is not used: ") + ToQ(why));
  }
  AssessmentDialog dlg(rec, model, view->document().report().bands().tap_percent, &window);
  if (dlg.exec() != QDialog::Accepted) return;
  if (!SaveAssessmentProfile(path, dlg.profile())) {
    QMessageBox::warning(&window, kCaption, QStringLiteral("Cannot write ") + PathToQ(path));
    return;
  }
  Refresh(view);
}

void ImportReferenceCurve(MainWindow& window, const char* chosen) {
  ReportView* view = SingleRecordView(window);
  if (view == nullptr) return;
  const std::string from = chosen ? std::string(chosen)
                                  : PathFromQ(QFileDialog::getOpenFileName(
                                        &window, QStringLiteral("Reference Curve"), QString(),
                                        QStringLiteral("CSV (*.csv);;All (*)")));
  if (from.empty()) return;
  std::string text;
  std::string why;
  ReferenceCurve ref;
  FileProblem problem = FileProblem::kNone;
  if (!ReadFileText(from, text, kMaxReferenceBytes, &problem)) {
    why = FileProblemText(problem);
  } else if (!ParseReferenceCsv(text, ref, why)) {
    why = "not a reference curve: " + why;
  }
  const std::string to = ReferencePathBeside(view->document().record(0).fullpath);
  if (why.empty() && !WriteFileAtomically(to, ReferenceCsv(ref))) why = "cannot write " + to;
  if (!why.empty()) {
    QMessageBox::warning(&window, kCaption, PathToQ(from) + QStringLiteral(": ") + ToQ(why));
    return;
  }
  Refresh(view);
}

void AddAssessmentMenu(MainWindow& window) {
  QMenu* menu = window.menuBar()->addMenu(QStringLiteral("&Assessment"));
  menu->addAction(QStringLiteral("Assessment &Profile..."), &window,
                  [&window] { EditAssessmentProfile(window); });
  menu->addAction(QStringLiteral("Import &Reference Curve..."), &window,
                  [&window] { ImportReferenceCurve(window); });
}

}  // namespace kova
