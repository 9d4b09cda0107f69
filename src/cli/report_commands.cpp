// kova report / kova print: report pages as a picture or as printed pages
// in a PDF, of one record or of two or three records overlaid.

#include <CLI/CLI.hpp>
#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QString>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/read_record.h"
#include "app/comparison_settings.h"
#include "app/output_rule.h"
#include "base/codepage.h"
#include "base/file_io.h"
#include "cli/cli_context.h"
#include "export/export_images.h"
#include "library_stores/library_reference_keeper.h"
#include "platform/qt_picture_canvas.h"
#include "platform/report_printing.h"
#include "report/page_footer.h"
#include "report/report_document.h"

namespace kova {
namespace {

constexpr const char* kDetailsFlagHelp =
    "Add the calculation details pages after the report's own pages";

// `details`: the calculation details pages follow the report's own pages.
bool OpenDocument(const std::vector<std::string>& files, const CliContext& ctx, bool details,
                  ReportDocument& doc) {
  if (files.empty() || files.size() > 3) {
    PrintError("Give one record file, or two or three to overlay");
    return false;
  }
  std::string failed, why;
  doc.SetRecordDefaults(RecordDefaultsFrom(ctx.info));
  doc.SetComparisonBands(LoadComparisonBands(*ctx.store));
  doc.SetReferenceKeeper(ReferenceKeeperFor(*ctx.store));
  doc.ShowCalculationDetails(details);
  if (doc.OpenFiles(files, &failed, &why)) {
    for (const std::string& file : files) WarnIfEndedEarly(file);
    return true;
  }
  PrintError("Cannot read record file \"" + failed + "\": " + why);
  return false;
}

// The output rule of every command: never one of the inputs, never an
// existing file without --overwrite.
bool OutputAllowed(const std::string& out, const std::vector<std::string>& inputs, bool overwrite) {
  const OutputCheck check = CheckOutputFile(out, inputs, overwrite);
  if (check == OutputCheck::kFine) return true;
  PrintError(OutputCheckText(check, out));
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
                        const std::string& folder, ExportNames* names) {
  auto rec = std::make_unique<TestRecord>();
  if (!LoadRecord(record_path, *rec, ctx)) return false;
  // Records of one name in one run get "r (2) - Test1.bmp" ..., like every
  // other format, instead of replacing the first one's pictures.
  std::string base = ImageBasePath(record_path, folder);
  if (names != nullptr) {
    base = names->Claim(base);
    if (base.empty()) {
      PrintError(OutputCheckText(OutputCheck::kIsInput, ImageBasePath(record_path, folder)));
      return false;
    }
  }
  QtPictureCanvasFactory canvases;
  std::string why;
  if (!ExportImages(*rec, canvases, base, &why)) {
    PrintError(Cp1252ToUtf8("Unable to export images\n" + why));
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
    bool overwrite = false;
    bool details = false;
  };
  auto ro = std::make_shared<ReportOptions>();
  CLI::App* report =
      app.add_subcommand("report", "One report page as on screen, saved as a PNG picture");
  report->add_option("FILE", ro->files, "Record file; two or three files are overlaid")->required();
  report->add_option("--page", ro->page, "Page number from 1");
  report->add_option("--png", ro->png, "Picture to write")->required();
  report->add_option("--size", ro->size, "Page size in pixels, WxH")->capture_default_str();
  report->add_flag("--overwrite", ro->overwrite, "Replace an existing picture");
  report->add_flag("--details", ro->details, kDetailsFlagHelp);
  report->callback([&ctx, ro] {
    ReportDocument doc;
    int w = 0, h = 0;
    if (!ParseSize(ro->size, w, h)) {
      PrintError("--size wants WIDTHxHEIGHT, each 100 to 20000");
      ctx.exit_code = 1;
      return;
    }
    if (!OutputAllowed(ro->png, ro->files, ro->overwrite) ||
        !OpenDocument(ro->files, ctx, ro->details, doc)) {
      ctx.exit_code = 1;
      return;
    }
    // Text too long for its page goes on over pages of its own.
    FitScreenPages(doc, w, h);
    if (ro->page < 1 || ro->page > doc.pagecount()) {
      PrintError("The report has " + std::to_string(doc.pagecount()) + " pages: give --page 1 to " +
                 std::to_string(doc.pagecount()));
      ctx.exit_code = 1;
      return;
    }
    const QImage image = RenderScreenPage(doc, ro->page - 1, w, h);
    if (image.isNull()) {
      PrintError("A picture of " + ro->size + " pixels needs more memory than there is");
      ctx.exit_code = 1;
      return;
    }
    // Encoded in memory, then written whole in one atomic step.
    QByteArray png;
    QBuffer buffer(&png);
    std::string why = "the picture cannot be encoded";
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG") ||
        !WriteFileAtomically(ro->png, png.constData(), static_cast<size_t>(png.size()), &why)) {
      PrintError("Cannot write \"" + ro->png + "\": " + why);
      ctx.exit_code = 1;
    }
  });

  struct PrintOptions {
    std::vector<std::string> files;
    std::string pdf;
    bool overwrite = false;
    bool details = false;
  };
  auto po = std::make_shared<PrintOptions>();
  CLI::App* print = app.add_subcommand("print", "Every report page as printed, into a PDF");
  print->add_option("FILE", po->files, "Record file; two or three files are overlaid")->required();
  print->add_option("-o,--output", po->pdf, "PDF file to write")->required();
  print->add_flag("--overwrite", po->overwrite, "Replace an existing PDF");
  print->add_flag("--details", po->details, kDetailsFlagHelp);
  print->callback([&ctx, po] {
    ReportDocument doc;
    if (!OutputAllowed(po->pdf, po->files, po->overwrite) ||
        !OpenDocument(po->files, ctx, po->details, doc)) {
      ctx.exit_code = 1;
      return;
    }
    const QImage logo = LoadReportLogo(ctx.settings.AppLogo);
    // Landscape unless the "Orientation" preference says portrait.
    std::string why;
    if (!PrintReportToPdf(doc, po->pdf, ctx.info.orientation == 1, logo, why,
                          PrintedNowText(ctx.info.dateformat == kDateEU))) {
      PrintError("Cannot write \"" + po->pdf + "\": " + why);
      ctx.exit_code = 1;
      return;
    }
    std::cout << po->pdf << '\n';
  });
}

}  // namespace kova
