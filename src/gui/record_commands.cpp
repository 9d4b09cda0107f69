// The main window's record commands: "Open Test", "Overlay Test", "Save",
// "Save As", "Close", a new document, and the exports ("Export Test to
// Text", "Export Test to Excel" and the forced automatic "Export").

#include <QStatusBar>
#include <string>
#include <vector>

#include "app/auto_export.h"
#include "app/chosen_exports.h"
#include "app/export_notice.h"
#include "base/codepage.h"
#include "base/path.h"
#include "gui/main_window.h"
#include "gui/qt_text.h"
#include "gui/report_view.h"
#include "gui/test_browser_dialog.h"
#include "records/record_file.h"

namespace kova {

namespace {

constexpr const char* kNoExportsChosen =
    "No exports are chosen. Choose XML, PDF or Excel under Application Setup.";

}  // namespace

void MainWindow::OnOpenTest() {
  std::vector<std::string> files;
  if (!ctx_.chooser->Choose("", false, files) || files.empty()) return;
  OpenDocument(files.front());
}

void MainWindow::OnOverlayTest() {
  std::vector<std::string> files;
  if (!ctx_.chooser->Choose(kOverlayPrompt, true, files)) return;
  if (!OverlaySelectionValid(files.size())) {
    ctx_.prompter->Message(kDeviceCaption, kOverlayCountMessage, Buttons::Ok, Icon::Warning);
    return;
  }
  OpenOverlay(files);
}

void MainWindow::OnSaveTest() {
  ReportView* view = ActiveView();
  if (view == nullptr) return;
  if (view->document().path().empty() || view->document().IsOverlay()) {
    view->document().SaveAs();
  } else {
    view->document().Save(view->document().path());
  }
  RefreshView(view);
}

void MainWindow::OnSaveAs() {
  ReportView* view = ActiveView();
  if (view == nullptr) return;
  view->document().SaveAs();
  RefreshView(view);
}

void MainWindow::OnCloseTest() {
  ReportView* view = ActiveView();
  if (view == nullptr) return;
  view->document().Unload();
  RefreshView(view);
}

void MainWindow::OnNewDocument() {
  AddView(NewDocument());
  UpdateCommands();
}

void MainWindow::OnExportText() {
  std::vector<std::string> files;
  if (!ctx_.chooser->Choose("Select Test(s)", true, files)) return;
  const ChosenExportOutcome out = ExportChosenRecords(
      files, TextExportKind(), RecordDefaultsFrom(*ctx_.info), *ctx_.prompter, *ctx_.store);
  ShowChosenExports(out, "text file(s)");
}

void MainWindow::OnExportExcel() {
  std::vector<std::string> files;
  if (!ctx_.chooser->Choose("Select Test(s)", true, files)) return;
  const ChosenExportOutcome out = ExportChosenRecords(
      files, ctx_.workbook_export, RecordDefaultsFrom(*ctx_.info), *ctx_.prompter, *ctx_.store);
  ShowChosenExports(out, "workbook(s)");
}

void MainWindow::ShowChosenExports(const ChosenExportOutcome& out, const std::string& what) {
  if (!out.ran) return;
  const std::string folder = LoadText(*ctx_.store, SettingId::kExportDir);
  statusBar()->showMessage(
      ToQ(WithDamageNotes(ChosenExportsWrittenText(out.written, what, folder), out.damaged)),
      10000);
}

void MainWindow::OnExport() {
  ReportView* view = ActiveView();
  if (view == nullptr || !view->document().loaded()) return;
  TestRecord& rec = view->document().record(0);
  if (!DecideExports(rec, true, *ctx_.settings).Any()) {
    ctx_.prompter->Message(kDeviceCaption, kNoExportsChosen, Buttons::Ok, Icon::Information);
    return;
  }
  // A failure has had its message naming the file and the reason; the
  // status bar does not claim otherwise.
  // The exports of a damaged record keep their layouts; the status says it.
  std::vector<std::string> damaged;
  if (rec.fileend.Early()) {
    damaged.push_back(SystemNameToCp1252(FileNameOf(rec.fullpath)) + ": " +
                      DamagedRecordBanner(rec.fileend));
  }
  if (ctx_.auto_export(rec, true, view->document().report().context()))
    statusBar()->showMessage(
        ToQ(WithDamageNotes(AutoExportsWrittenText(rec.fullpath, *ctx_.settings), damaged)), 15000);
  else
    statusBar()->showMessage(
        QStringLiteral("Exports of %1 not all written").arg(PathToQ(FileNameOf(rec.fullpath))),
        15000);
}

}  // namespace kova
