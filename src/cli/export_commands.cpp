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
#include "app/export_formats.h"
#include "app/output_rule.h"
#include "base/codepage.h"
#include "base/file_io.h"
#include "cli/cli_context.h"
#include "cli/interrupt_cancel.h"
#include "library_stores/library_reference_keeper.h"
#include "platform/auto_exporter.h"
#include "platform/qt_process_runner.h"
#include "platform/xlsx_workbook_writer.h"
#include "records/test_record.h"

namespace kova {
namespace {

struct CliExports {
  QtProcessRunner runner;
  CancelToken cancel;
  ExportServices services;
  // Where the CTs' reference curves are kept, asked once per record.
  std::shared_ptr<ReferenceKeeper> keeper;
};

std::unique_ptr<CliExports> MakeExports(CliContext& ctx) {
  auto e = std::make_unique<CliExports>();
  e->services.prompter = ctx.prompter.get();
  e->services.runner = &e->runner;
  e->services.cancel = &e->cancel;
  e->services.new_workbook = [] { return std::make_unique<XlsxWorkbookWriter>(); };
  e->services.bands = LoadComparisonBands(*ctx.store);
  e->keeper = ReferenceKeeperFor(*ctx.store);
  return e;
}

// The file this record's export goes to in this run: two records of one
// name get "r.xml" and "r (2).xml"; an export never replaces an input.
bool ClaimOutput(ExportNames& names, const std::string& wanted, std::string& out) {
  out = names.Claim(wanted);
  if (!out.empty()) return true;
  PrintError(OutputCheckText(OutputCheck::kIsInput, wanted));
  return false;
}

// Exports one record file; `out` is set once the target is known, and `why`
// says what failed after that.
bool ExportOne(CliContext& ctx, CliExports& exports, const ExportFormat& format,
               const std::string& file, const std::string& folder, ExportNames& names,
               std::string& out, std::string& why) {
  TestRecord rec;
  if (!LoadRecord(file, rec, ctx)) return false;
  std::string target;
  if (!ClaimOutput(names, ExportTarget(format, file, folder), target)) return false;
  out = target;
  // What is kept for the record goes into the report generator's input.
  const RecordContext kept = GatherRecordContext(rec, *exports.keeper, exports.services.bands);
  exports.services.record = &kept;
  ExportJob job;
  job.settings = &ctx.settings;
  job.services = &exports.services;
  job.draw_pictures = DrawPlotPictures;
  job.note = [&target](const std::string& note) {
    PrintError("\"" + target + "\": " + Cp1252ToUtf8(note));
  };
  const bool ok = WriteExport(format, rec, out, job, why);
  exports.services.record = nullptr;
  return ok;
}

std::string FormatList() {
  std::string list;
  for (const std::string& name : ExportFormatNames()) list += (list.empty() ? "" : ", ") + name;
  return list;
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
  exp->add_option("--format", opts->format, "Export format: " + FormatList())
      ->check(CLI::IsMember(ExportFormatNames()))
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
      if (!ExportOne(ctx, *exports, *FindExportFormat(opts->format), file, opts->folder, names, out,
                     why)) {
        if (!out.empty())
          PrintError("Cannot write \"" + out + "\"" +
                     (why.empty() ? "" : ": " + Cp1252ToUtf8(why)));
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
    exporter.SetReferenceKeeper(ReferenceKeeperFor(*ctx.store));
    InterruptCancels interrupt([&exporter] { exporter.Cancel(); });
    if (!exporter.Export(rec, auto_opts->force)) ctx.exit_code = 1;
    if (interrupt.Signal() != 0) ctx.exit_code = interrupt.ExitCode();
  });
}

}  // namespace kova
