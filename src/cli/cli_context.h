#pragma once
// What every command of the kova tool shares: the settings and the prompter.

#include <functional>
#include <memory>
#include <string>

#include "app/app_settings.h"
#include "app/save_record.h"
#include "app/settings_store.h"
#include "base/prompter.h"
#include "records/test_record.h"

namespace CLI {
class App;
}

namespace kova {

class ExportNames;

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
// kova record assess and explain, below the record command.
void AddRecordAssessCommands(CLI::App& record, CliContext& ctx);
void AddPlanCommands(CLI::App& app, CliContext& ctx);
void AddThumbCommands(CLI::App& app, CliContext& ctx);
void AddDeviceCommands(CLI::App& app, CliContext& ctx);
void AddReportCommands(CLI::App& app, CliContext& ctx);
void AddSettingsCommands(CLI::App& app, CliContext& ctx);
void AddLibraryCommands(CLI::App& app, CliContext& ctx);
// kova serve: the library's web pages.
void AddServeCommand(CLI::App& app, CliContext& ctx);

// The plot pictures of one record file into `folder`, or without one into
// the "Xml" folder beside it; prints the written paths. `names` (may be
// null) gives same-named records of one run distinct names.
bool ExportRecordImages(const CliContext& ctx, const std::string& record_path,
                        const std::string& folder, ExportNames* names = nullptr);

// Reads a record file; prints why it cannot, or a warning when it ended
// early (what it held is kept, the rest shows reset values).
bool LoadRecord(const std::string& path, TestRecord& rec, const CliContext& ctx);
void WarnIfEndedEarly(const std::string& path);

// Prints to stderr: messages, never data.
void PrintError(const std::string& text);

}  // namespace kova
