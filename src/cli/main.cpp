// kova: the command-line face of the companion program.

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <QCoreApplication>
#include <QGuiApplication>
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>

#include "app/app_settings.h"
#include "app/comparison_settings.h"
#include "app/install_data_folder.h"
#include "base/path.h"
#include "base/program_version.h"
#include "cli/cli_context.h"
#include "cli/terminal_prompter.h"
#include "cli/terminal_safe_output.h"
#include "library_stores/library_filing_store.h"
#include "platform/auto_exporter.h"
#include "platform/large_buffer_heap.h"
#include "platform/qt_quiet_messages.h"
#include "platform/qt_settings_store.h"
#include "platform/write_limits.h"

namespace kova {

void PrintError(const std::string& text) { std::cerr << text << '\n'; }

namespace {

// `code`, or 1 after a message when standard output did not take all that
// was written to it (a full disk, /dev/full, a closed pipe).
int WithOutputChecked(int code) {
  if (std::cout.good()) {
    errno = 0;  // else it may still hold why the first failed write failed
    std::cout.flush();
  }
  const bool flushed = std::fflush(stdout) == 0;
  if (std::cout.good() && flushed && !std::ferror(stdout)) return code;
  PrintError(std::string("Cannot write the output: ") +
             (errno != 0 ? std::strerror(errno) : "it was not written whole"));
  return code != 0 ? code : 1;
}

}  // namespace

}  // namespace kova

int main(int argc, char** argv) {
  // Qt serial ports need an application object, report pages its fonts;
  // no window is ever shown. Numbers are always written and read with a
  // decimal point, whatever the user's locale. The tool never needs a
  // display: a platform inherited from a cron job or an SSH session (empty,
  // wayland, xcb without a display) would abort it.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  kova::KeepLargeBuffersInHeap();
  kova::FailWritesPastTheFileSizeLimit();
  kova::QuietQtRuntimeFolderMessages();
  QGuiApplication qt_app(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  const kova::TerminalSafeStream safe_out(std::cout), safe_err(std::cerr);

  kova::CliContext ctx;
  auto store = std::make_unique<kova::QtSettingsStore>();
  if (!store->Problem().empty()) {
    const char* file = std::getenv("KOVA_SETTINGS");
    kova::PrintError(std::string("Cannot use the settings file \"") + (file ? file : "") +
                     "\": " + store->Problem());
    return 1;
  }
  ctx.store = std::move(store);
  // InstallDir: beside the program, or the system's data folder.
  const std::string data_dir =
      kova::InstallDataFolder(QCoreApplication::applicationDirPath().toStdString());
  std::error_code ec;
  const std::string cwd = std::filesystem::current_path(ec).string();
  kova::LoadAppSettings(ctx.settings, *ctx.store, data_dir);
  ctx.info.Load(*ctx.store, cwd);
  ctx.prompter = std::make_unique<kova::TerminalPrompter>(isatty(STDIN_FILENO) != 0);
  // Every record file the tool writes is followed by the automatic export.
  // ... and goes into the record library.
  auto exporter = std::make_unique<kova::AutoExporter>(ctx.settings, *ctx.prompter);
  exporter->SetComparisonBands(kova::LoadComparisonBands(*ctx.store));
  ctx.exporter = kova::FilingInLibrary(std::move(exporter), *ctx.store);

  // Named, so the help says "kova" however the program was started.
  CLI::App app{"KOVA companion program: records, plans and the instrument", "kova"};
  app.require_subcommand(1);
  app.set_help_all_flag("--help-all", "Show every command's help");
  app.set_version_flag("--version", std::string(kova::kProgramVersion),
                       "Show the program's version");
  kova::AddRecordCommands(app, ctx);
  kova::AddRecordAssessCommands(*app.get_subcommand("record"), ctx);
  kova::AddPlanCommands(app, ctx);
  kova::AddThumbCommands(app, ctx);
  kova::AddDeviceCommands(app, ctx);
  kova::AddReportCommands(app, ctx);
  kova::AddSettingsCommands(app, ctx);
  kova::AddLibraryCommands(app, ctx);
  kova::AddServeCommand(app, ctx);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return kova::WithOutputChecked(app.exit(e));
  }
  return kova::WithOutputChecked(ctx.exit_code);
}
