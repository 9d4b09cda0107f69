// The main window's print commands: "Print", "Print Preview", "Print Setup"
// and "Save as PDF...", all on the active document's report and one shared
// printer.

#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QStatusBar>
#include <memory>

#include "app/document_names.h"
#include "base/codepage.h"
#include "base/path.h"
#include "gui/main_window.h"
#include "gui/qt_text.h"
#include "gui/report_view.h"
#include "platform/report_printing.h"
#include "report/page_footer.h"

namespace kova {

void MainWindow::AddPrintCommands() {
  AddCommand(CommandId::kPrint, [this] { OnPrint(); });
  AddCommand(CommandId::kPrintPreview, [this] { OnPrintPreview(); });
  AddCommand(CommandId::kPrintSetup, [this] { OnPrintSetup(); });
  AddCommand(CommandId::kSavePdf, [this] { OnSavePdf(); });
}

QPrinter& MainWindow::Printer() {
  if (printer_ == nullptr) {
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer_->setPageOrientation(ctx_.info->orientation == 1 ? QPageLayout::Portrait
                                                             : QPageLayout::Landscape);
  }
  return *printer_;
}

bool MainWindow::PrintActive(QPrinter& printer) {
  ReportView* view = ActiveView();
  if (view == nullptr || !view->document().loaded()) return false;
  return PrintReport(view->document().report(), printer,
                     LoadReportLogo(PathToQ(ctx_.settings->AppLogo)),
                     PrintedNowText(ctx_.info->dateformat == kDateEU));
}

void MainWindow::OnPrint() {
  QPrintDialog dialog(&Printer(), this);
  if (dialog.exec() != QDialog::Accepted) return;
  if (!PrintActive(Printer()))
    ctx_.prompter->Message(kWarningCaption, "The report could not be printed.", Buttons::Ok,
                           Icon::Warning);
}

void MainWindow::OnPrintPreview() {
  QPrintPreviewDialog preview(&Printer(), this);
  connect(&preview, &QPrintPreviewDialog::paintRequested, this,
          [this](QPrinter* printer) { PrintActive(*printer); });
  preview.resize(1000, 760);
  preview.exec();
}

void MainWindow::OnPrintSetup() {
  QPageSetupDialog dialog(&Printer(), this);
  dialog.exec();
}

void MainWindow::OnSavePdf() {
  ReportView* view = ActiveView();
  if (view == nullptr || !view->document().loaded()) return;
  std::string path;
  // The record's own name is proposed, in the record folder.
  const std::string proposed =
      PathJoin(ctx_.info->filepath, ProposedPdfName(view->document().path()));
  if (!ctx_.prompter->ChooseSaveFile("Save as PDF", proposed, "PDF (*.pdf) |*.pdf||", path)) return;
  path = WithPdfExtension(path);
  if (!PrintReportToPdf(view->document().report(), PathToQ(path), ctx_.info->orientation == 1,
                        LoadReportLogo(PathToQ(ctx_.settings->AppLogo)),
                        PrintedNowText(ctx_.info->dateformat == kDateEU)))
    ctx_.prompter->Message(kWarningCaption, "Unable to write " + SystemNameToCp1252(path),
                           Buttons::Ok, Icon::Warning);
  else
    statusBar()->showMessage(QStringLiteral("Saved %1").arg(PathToQ(path)), 5000);
}

}  // namespace kova
