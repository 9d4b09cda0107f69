// kova report / kova print: report pages as a picture or as printed pages
// in a PDF, of one record or of two or three records overlaid.

#include <CLI/CLI.hpp>
#include <QImage>
#include <QString>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/read_record.h"
#include "app/comparison_settings.h"
#include "cli/cli_context.h"
#include "export/export_images.h"
#include "platform/qt_picture_canvas.h"
#include "platform/report_printing.h"
#include "report/report_document.h"

namespace kova {
namespace {

bool OpenDocument(const std::vector<std::string>& files, const CliContext& ctx,
                  ReportDocument& doc) {
  if (files.empty() || files.size() > 3) {
    PrintError("Give one record file, or two or three to overlay");
    return false;
  }
  std::string failed, why;
  doc.SetRecordDefaults(RecordDefaultsFrom(ctx.info));
  doc.SetComparisonBands(LoadComparisonBands(*ctx.store));
  if (doc.OpenFiles(files, &failed, &why)) return true;
  PrintError("Cannot read record file \"" + failed + "\": " + why);
  return false;
}

bool ParseSize(const std::string& text, int& w, int& h) {
  char x = 0;
  std::istringstream in(text);
  return static_cast<bool>(in >> w >> x >> h) && (x == 'x' || x == 'X') && in.eof() && w >= 100 &&
         h >= 100 && w <= 20000 && h <= 20000;
}

}  // namespace

bool ExportRecordImages(const CliContext& ctx, const std::string& record_path,
                        const std::string& folder) {
  auto rec = std::make_unique<TestRecord>();
  std::string why;
  if (!ReadRecordFile(*rec, record_path, RecordDefaultsFrom(ctx.info), &why)) {
    PrintError("Cannot read record file \"" + record_path + "\": " + why);
    return false;
  }
  QtPictureCanvasFactory canvases;
  if (!ExportImages(*rec, canvases, ImageBasePath(record_path, folder))) {
    PrintError("Unable to export images");
    return false;
  }
  std::cout << rec->imagefile << '\n';
  for (int t = 0; t < rec->UsableTests(); ++t) std::cout << rec->taps[t].testimagefile << '\n';
  return true;
}

void AddReportCommands(CLI::App& app, CliContext& ctx) {
  struct ReportOptions {
    std::vector<std::string> files;
    int page = 1;
    std::string png, size = "1600x1200";
  };
  auto ro = std::make_shared<ReportOptions>();
  CLI::App* report =
      app.add_subcommand("report", "One report page as on screen, saved as a PNG picture");
  report->add_option("FILE", ro->files, "Record file; two or three files are overlaid")->required();
  report->add_option("--page", ro->page, "Page number from 1")->check(CLI::PositiveNumber);
  report->add_option("--png", ro->png, "Picture to write")->required();
  report->add_option("--size", ro->size, "Page size in pixels, WxH")->capture_default_str();
  report->callback([&ctx, ro] {
    ReportDocument doc;
    int w = 0, h = 0;
    if (!ParseSize(ro->size, w, h)) {
      PrintError("--size wants WIDTHxHEIGHT, each 100 to 20000");
      ctx.exit_code = 1;
      return;
    }
    if (!OpenDocument(ro->files, ctx, doc)) {
      ctx.exit_code = 1;
      return;
    }
    if (ro->page > doc.pagecount()) {
      PrintError("The report has " + std::to_string(doc.pagecount()) + " pages");
      ctx.exit_code = 1;
      return;
    }
    const QImage image = RenderScreenPage(doc, ro->page - 1, w, h);
    if (!image.save(QString::fromStdString(ro->png), "PNG")) {
      PrintError("Cannot write \"" + ro->png + "\"");
      ctx.exit_code = 1;
    }
  });

  struct PrintOptions {
    std::vector<std::string> files;
    std::string pdf;
  };
  auto po = std::make_shared<PrintOptions>();
  CLI::App* print = app.add_subcommand("print", "Every report page as printed, into a PDF");
  print->add_option("FILE", po->files, "Record file; two or three files are overlaid")->required();
  print->add_option("-o,--output", po->pdf, "PDF file to write")->required();
  print->callback([&ctx, po] {
    ReportDocument doc;
    if (!OpenDocument(po->files, ctx, doc)) {
      ctx.exit_code = 1;
      return;
    }
    const QImage logo = LoadReportLogo(QString::fromStdString(ctx.settings.AppLogo));
    // Landscape unless the "Orientation" preference says portrait.
    if (!PrintReportToPdf(doc, QString::fromStdString(po->pdf), ctx.info.orientation == 1, logo)) {
      PrintError("Cannot write \"" + po->pdf + "\"");
      ctx.exit_code = 1;
      return;
    }
    std::cout << po->pdf << '\n';
  });
}

}  // namespace kova
