// kova record export and kova record autoexport: the record's exports on
// demand, and the automatic export with the stored settings.

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "analysis/read_record.h"
#include "app/auto_export.h"
#include "app/comparison_settings.h"
#include "app/output_rule.h"
#include "assess/ctsat_export.h"
#include "base/file_io.h"
#include "base/path.h"
#include "base/private_folder.h"
#include "cli/cli_context.h"
#include "cli/interrupt_cancel.h"
#include "export/excel_export.h"
#include "export/export_images.h"
#include "export/export_path.h"
#include "export/export_xml.h"
#include "export/file_times.h"
#include "export/text_export.h"
#include "platform/auto_exporter.h"
#include "platform/qt_picture_canvas.h"
#include "platform/qt_process_runner.h"
#include "platform/xlsx_workbook_writer.h"
#include "records/test_record.h"

namespace kova {
namespace {

struct CliExports {
  QtProcessRunner runner;
  CancelToken cancel;
  ExportServices services;
};

std::unique_ptr<CliExports> MakeExports(CliContext& ctx) {
  auto e = std::make_unique<CliExports>();
  e->services.prompter = ctx.prompter.get();
  e->services.runner = &e->runner;
  e->services.cancel = &e->cancel;
  e->services.new_workbook = [] { return std::make_unique<XlsxWorkbookWriter>(); };
  e->services.bands = LoadComparisonBands(*ctx.store);
  return e;
}

// DIR/<stem><ext> with -o, else the export folder beside the record.
std::string OutputPath(const std::string& file, const std::string& folder, const char* ext,
                       const char* subfolder) {
  if (folder.empty()) return ExportPath(file, ext, subfolder);
  return PathJoin(folder, StemOf(FileNameOf(file)) + ext);
}

XmlExportContext XmlContext(const CliContext& ctx) {
  XmlExportContext x;
  x.install_dir = ctx.settings.InstallDir;
  x.report_logo = ctx.settings.AppLogo;
  x.bands = LoadComparisonBands(*ctx.store);
  return x;
}

// Pictures for the workbook and the PDF, drawn in the export's private
// folder (never beside the output, where they could meet a user's file).
bool MakePictures(TestRecord& rec, const PrivateFolder& work, std::string& why) {
  QtPictureCanvasFactory canvases;
  if (!ExportImages(rec, canvases, ImageBasePath("picture.bmp", work.path()))) {
    why = "the pictures cannot be made";
    return false;
  }
  return true;
}

// The file this record's export goes to in this run: two records of one
// name get "r.xml" and "r (2).xml"; an export never replaces an input.
bool ClaimOutput(ExportNames& names, const std::string& wanted, std::string& out) {
  out = names.Claim(wanted);
  if (!out.empty()) return true;
  PrintError(OutputCheckText(OutputCheck::kIsInput, wanted));
  return false;
}

std::string WantedPath(const std::string& format, const std::string& file,
                       const std::string& folder) {
  if (format == "txt") return TextExportPath(file, folder);
  if (format == "ctsat") return CtsatExportPath(file, folder);
  if (format == "xml") return OutputPath(file, folder, ".xml", kXmlFolder);
  if (format == "xlsx") return OutputPath(file, folder, ".xlsx", kExcelFolder);
  return OutputPath(file, folder, ".pdf", kPdfFolder);
}

// Exports one record file; `out` is set once the target is known, and `why`
// says what failed after that.
bool ExportOne(CliContext& ctx, CliExports& exports, const std::string& format,
               const std::string& file, const std::string& folder, ExportNames& names,
               std::string& out, std::string& why) {
  TestRecord rec;
  if (!LoadRecord(file, rec, ctx)) return false;
  std::string target;
  if (!ClaimOutput(names, WantedPath(format, file, folder), target)) return false;
  out = target;
  if (format == "txt") return ExportText(rec, out);
  if (format == "ctsat") return ExportCtsat(rec, out);
  if (format == "xml") return ExportXml(rec, out, XmlContext(ctx));
  PrivateFolder work("export");
  if (!work.valid()) {
    why = work.problem();
    return false;
  }
  if (!MakePictures(rec, work, why)) return false;
  if (format == "xlsx") {
    XlsxWorkbookWriter wb;
    const bool ok = ExportExcel(rec, out, ctx.settings.InstallDir, wb);
    for (const std::string& note : wb.Notes()) PrintError("\"" + out + "\": " + note);
    if (!ok) why = wb.Problem();
    return ok;
  }
  // pdf: through the generator, from an XML in the private folder
  const std::string xml = work.File("report.xml");
  if (!WriteFileAtomically(xml, BuildXmlExport(rec, XmlContext(ctx)), &why)) return false;
  return GenerateReport(kReportTemplateName, kReportSchemaName, xml, out, ctx.settings,
                        exports.services, why);
}

}  // namespace

void AddRecordExportCommands(CLI::App& record, CliContext& ctx) {
  struct ExportOptions {
    std::vector<std::string> files;
    std::string format = "txt";
    std::string folder;
  };
  auto opts = std::make_shared<ExportOptions>();
  CLI::App* exp = record.add_subcommand(
      "export", "Export record files; each goes beside its record or into the -o folder");
  exp->add_option("FILE", opts->files, "Record files or raw instrument files")->required();
  exp->add_option("--format", opts->format, "Export format")
      ->check(CLI::IsMember({"txt", "xml", "xlsx", "pdf", "images", "ctsat"}))
      ->capture_default_str();
  exp->add_option("-o,--output", opts->folder, "Folder for the exported files");
  exp->callback([&ctx, opts] {
    if (!opts->folder.empty() && !MakeFolders(opts->folder)) {
      PrintError("Cannot create the folder \"" + opts->folder + "\"");
      ctx.exit_code = 1;
      return;
    }
    // A file that fails is reported and skipped; the others are exported.
    ExportNames names(opts->files);
    auto exports = MakeExports(ctx);
    InterruptCancels interrupt([&exports] { exports->cancel.Cancel(); });
    for (const std::string& file : opts->files) {
      if (interrupt.Signal() != 0) break;
      if (opts->format == "images") {  // prints every picture it writes
        if (!ExportRecordImages(ctx, file, opts->folder, &names)) {
          ctx.exit_code = 1;
        }
        continue;
      }
      std::string out, why;
      if (!ExportOne(ctx, *exports, opts->format, file, opts->folder, names, out, why)) {
        if (!out.empty())
          PrintError("Cannot write \"" + out + "\"" + (why.empty() ? "" : ": " + why));
        ctx.exit_code = 1;
        continue;
      }
      std::cout << out << '\n';
    }
    if (interrupt.Signal() != 0) ctx.exit_code = interrupt.ExitCode();
  });

  struct AutoOptions {
    std::string file;
    bool force = false;
  };
  auto auto_opts = std::make_shared<AutoOptions>();
  CLI::App* autoexp = record.add_subcommand(
      "autoexport", "The automatic export of a record file, as the settings ask");
  autoexp->add_option("FILE", auto_opts->file, "Record file")->required();
  autoexp->add_flag("--force", auto_opts->force, "Export again even when up to date");
  autoexp->callback([&ctx, auto_opts] {
    TestRecord rec;
    if (!LoadRecord(auto_opts->file, rec, ctx)) {
      ctx.exit_code = 1;
      return;
    }
    rec.fullpath = auto_opts->file;
    AutoExporter exporter(ctx.settings, *ctx.prompter);
    exporter.SetComparisonBands(LoadComparisonBands(*ctx.store));
    InterruptCancels interrupt([&exporter] { exporter.Cancel(); });
    if (!exporter.Export(rec, auto_opts->force)) ctx.exit_code = 1;
    if (interrupt.Signal() != 0) ctx.exit_code = interrupt.ExitCode();
  });
}

}  // namespace kova
