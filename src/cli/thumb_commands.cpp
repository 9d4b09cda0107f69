// kova thumb ...: export plans to and import them from a thumb drive.

#include <CLI/CLI.hpp>
#include <filesystem>
#include <iostream>
#include <memory>

#include "base/file_io.h"
#include "cli/cli_context.h"
#include "plans/thumb_drive.h"

namespace kova {
namespace {

// Drive images are recognised by their folder, so relative names are made
// whole first.
std::vector<std::string> WholePaths(const std::vector<std::string>& paths) {
  std::vector<std::string> out;
  for (const std::string& p : paths) {
    std::error_code ec;
    const std::filesystem::path whole = std::filesystem::absolute(p, ec);
    out.push_back(ec ? p : whole.string());
  }
  return out;
}

void ReportTooMany(size_t count) {
  if (count > kMaxThumbFiles) {
    PrintError("Only the first " + std::to_string(kMaxThumbFiles) + " of " + std::to_string(count) +
               " files are taken");
  }
}

}  // namespace

void AddThumbCommands(CLI::App& app, CliContext& ctx) {
  CLI::App* thumb = app.add_subcommand("thumb", "Plans on a thumb drive the instrument reads");
  thumb->require_subcommand(1);

  struct ExportOptions {
    std::vector<std::string> plans;
    std::string drive;
  };
  auto export_opts = std::make_shared<ExportOptions>();
  CLI::App* export_cmd =
      thumb->add_subcommand("export", "Write plan images into the drive's model folders");
  export_cmd->add_option("PLAN", export_opts->plans, "Plan files, in the order to number them")
      ->required();
  export_cmd->add_option("--drive", export_opts->drive, "Root folder of the thumb drive")
      ->required();
  export_cmd->callback([&ctx, export_opts] {
    if (export_opts->drive.empty()) {
      PrintError("The drive root must not be empty");
      ctx.exit_code = 1;
      return;
    }
    ReportTooMany(export_opts->plans.size());
    const ThumbExportResult result =
        ExportPlansToDrive(WholePaths(export_opts->plans), export_opts->drive);
    for (const std::string& f : result.written) std::cout << f << '\n';
    if (result.shared_folder) {
      PrintError("Note: KOVA-7100 plans share the KOVA-7KA folder with KOVA-7KA plans");
    }
    for (const std::string& f : result.skipped) {
      PrintError("Skipped \"" + f + "\": unable to load test plan");
    }
    for (const std::string& f : result.failed) PrintError("Cannot write \"" + f + "\"");
    if (!result.skipped.empty() || !result.failed.empty()) ctx.exit_code = 1;
  });

  struct ImportOptions {
    std::vector<std::string> files;
    std::string plans;
  };
  auto import_opts = std::make_shared<ImportOptions>();
  CLI::App* import_cmd = thumb->add_subcommand("import", "Turn drive plan images into plan files");
  import_cmd
      ->add_option("FILE", import_opts->files,
                   "Drive files; the first one's model folder gives the type of all")
      ->required();
  import_cmd->add_option("--plans", import_opts->plans, "Plan folder to write into")->required();
  import_cmd->callback([&ctx, import_opts] {
    ReportTooMany(import_opts->files.size());
    // A file that cannot be read is named with the reason, before its folder
    // is looked at ("nodir/x" is missing, not in an unknown folder).
    std::vector<std::string> readable;
    for (const std::string& f : import_opts->files) {
      std::vector<uint8_t> bytes;
      FileProblem problem = FileProblem::kNone;
      if (ReadFileBytes(f, bytes, 1024 * 1024, &problem)) {
        readable.push_back(f);
      } else {
        PrintError("Cannot read \"" + f + "\": " + FileProblemText(problem));
        ctx.exit_code = 1;
      }
    }
    if (readable.empty()) return;
    const ThumbImportResult result = ImportPlansFromDrive(WholePaths(readable), import_opts->plans);
    if (result.status == ThumbImportResult::Status::kUnrecognizedFolder) {
      ctx.prompter->Message(kDeviceCaption, kUnrecognizedFolderMessage);
      ctx.exit_code = 1;
      return;
    }
    for (const std::string& f : result.written) std::cout << f << '\n';
    for (const std::string& f : result.skipped) {
      PrintError("Skipped \"" + f + "\": unable to load test plan");
    }
    for (const std::string& f : result.failed) PrintError("Cannot write \"" + f + "\"");
    if (!result.skipped.empty() || !result.failed.empty()) ctx.exit_code = 1;
  });
}

}  // namespace kova
