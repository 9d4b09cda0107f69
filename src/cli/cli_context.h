#pragma once
// What every command of the kova tool shares: the settings and the prompter.

#include <functional>
#include <memory>
#include <string>

#include "app/app_settings.h"
#include "app/prompter.h"
#include "app/save_record.h"
#include "app/settings_store.h"
#include "records/test_record.h"

namespace CLI {
class App;
}

namespace kova {

struct CliContext {
  std::unique_ptr<SettingsStore> store;
  AppSettings settings;
  CAppInfo info;
  std::unique_ptr<Prompter> prompter;
  // The automatic export after every record file the tool writes.
  std::unique_ptr<RecordExporter> exporter;
  int exit_code = 0;
};

// Command groups; each registers its subcommands and sets ctx.exit_code.
void AddRecordCommands(CLI::App& app, CliContext& ctx);
// kova record export and autoexport, below the record command.
void AddRecordExportCommands(CLI::App& record, CliContext& ctx);
void AddPlanCommands(CLI::App& app, CliContext& ctx);
void AddThumbCommands(CLI::App& app, CliContext& ctx);
void AddDeviceCommands(CLI::App& app, CliContext& ctx);
void AddReportCommands(CLI::App& app, CliContext& ctx);
void AddLibraryCommands(CLI::App& app, CliContext& ctx);

// The plot pictures of one record file into `folder`, or without one into
// the "Xml" folder beside it; prints the written paths.
bool ExportRecordImages(const CliContext& ctx, const std::string& record_path,
                        const std::string& folder);

// Prints to stderr: messages, never data.
void PrintError(const std::string& text);

}  // namespace kova
