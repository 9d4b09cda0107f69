// kova-gui: the desktop program. Loads the settings, creates the instrument
// connection and the main window, and opens a record file named on the
// command line (each file named there becomes a document). A second start
// hands its files to the first and ends.

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QUrl>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <memory>

#include "app/app_settings.h"
#include "app/comparison_settings.h"
#include "app/install_data_folder.h"
#include "base/path.h"
#include "base/program_version.h"
#include "gui/device/device_commands.h"
#include "gui/device/wait_dialog.h"
#include "gui/library/filing_notice.h"
#include "gui/main_window.h"
#include "gui/plan_run.h"
#include "gui/qt_prompter.h"
#include "gui/qt_text.h"
#include "gui/single_instance.h"
#include "gui/test_browser_dialog.h"
#include "gui/window_fit.h"
#include "library_stores/library_filing_store.h"
#include "library_stores/library_reference_keeper.h"
#include "platform/auto_exporter.h"
#include "platform/large_buffer_heap.h"
#include "platform/platform_device_stack.h"
#include "platform/qt_serial_backend.h"
#include "platform/qt_settings_store.h"
#include "platform/write_limits.h"

namespace {

// What `kova-gui --help` prints; the manual page is made from it.
const char kHelpText[] =
    "Usage: kova-gui [FILE]...\n"
    "The desktop program of the KOVA current-transformer test sets: fetches the\n"
    "records stored on the instrument, shows, prints and exports their reports,\n"
    "builds test plans and runs them on the instrument.\n"
    "\n"
    "Each FILE (a record file, .test or .tst-kova7k) opens as a document. When\n"
    "the program is already running, the files open in that window instead.\n"
    "\n"
    "Options:\n"
    "  -h, --help     show this help and end\n"
    "      --version  show the program's version and end\n"
    "\n"
    "Environment:\n"
    "  KOVA_SETTINGS  the settings file to use instead of the user's own\n";

}  // namespace

int main(int argc, char** argv) {
  // Answered before anything starts: no window, settings or instrument.
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("%s\n", kova::kProgramVersion);
      return 0;
    }
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::fputs(kHelpText, stdout);
      return 0;
    }
  }
  kova::KeepLargeBuffersInHeap();
  kova::FailWritesPastTheFileSizeLimit();
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("KOVA-7100"));
  QApplication::setOrganizationName(QStringLiteral("Helmark-inc"));
  QApplication::setApplicationVersion(QString::fromUtf8(kova::kVersionText));
  kova::FitWindowsToScreens(app);
  // The window speaks the user's language; numbers in files never do.
  QLocale::setDefault(QLocale::system());
  std::setlocale(LC_NUMERIC, "C");

  // A file named on the command line is relative to where we were started,
  // before the record folder becomes the current folder.
  std::vector<std::string> open_paths;
  const QStringList args = QApplication::arguments();
  for (int i = 1; i < args.size(); ++i)
    open_paths.push_back(kova::PathFromQ(QFileInfo(args.at(i)).absoluteFilePath()));

  // A copy already running takes the files and comes forward; this one
  // ends before it touches the settings or the instrument's port.
  kova::SingleInstance instance(kova::SingleInstance::DefaultName());
  if (instance.HandOver(open_paths)) return 0;

  kova::QtSettingsStore store;
  kova::AppSettings settings;
  kova::CAppInfo info;
  kova::LoadAppSettings(
      settings, store,
      kova::InstallDataFolder(kova::PathFromQ(QApplication::applicationDirPath())));
  info.Load(store, kova::PathFromQ(QDir::currentPath()),
            kova::PathFromQ(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)));

  // The window is the prompter's parent; both live for the whole run.
  kova::QtPrompter prompter(nullptr);
  // The one device stack of the run: every command reaches the instrument
  // through it.
  kova::PlatformDeviceStack stack(info, settings, store, prompter);
  kova::RudDevice& device = stack.device();
  device.OnStatus([&prompter](const kova::DeviceStatus& status) {
    kova::ShowDeviceStatusWithAdvice(prompter, status);
  });
  kova::QtSerialBackend port_list;  // only lists the system's ports

  kova::BrowserRecordChooser chooser(info, store, prompter, nullptr);
  kova::GuiContext ctx;
  ctx.store = &store;
  ctx.settings = &settings;
  ctx.info = &info;
  ctx.prompter = &prompter;
  ctx.chooser = &chooser;
  ctx.system_ports = [&port_list] {
    std::vector<kova::SystemPort> ports;
    port_list.ListPortDetails(ports);
    return ports;
  };
  // The instrument's own link lets go of the port and USB first: the test
  // opens them itself, and the next command opens them afresh.
  ctx.probe_connection = [&stack, &device](const kova::ProbeTarget& target) {
    device.CloseLinks();
    return kova::ProbeConnection(target, stack.serial_backend(), stack.hid_backend(),
                                 kova::ConfiguredInstrumentVendorId());
  };
  ctx.apply_comm_settings = [&device] { device.ApplyCommSettings(); };
  ctx.open_folder = [](const std::string& folder) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(kova::PathToQ(folder)));
  };
  kova::WaitDialog::SetPicturePath(kova::PathToQ(settings.InstallDir + "progress.gif"));
  ctx.choose_open_files = [&prompter](const std::string& title, const std::string& folder,
                                      const std::string& filter, std::vector<std::string>& paths) {
    return prompter.ChooseOpenFiles(title, folder, filter, paths);
  };
  // "Edit" checks quietly whether an instrument answers.
  ctx.connected_model = [&device, &prompter] {
    return kova::ConnectedModelBehindWait(device, prompter);
  };
  ctx.run_plan = [&device](kova::kvTestPlan& plan, kova::TestRecord& result) {
    return kova::RunPlanOnInstrument(device, plan, result);
  };
  // Saves, downloads and runs are followed by the automatic export; so is
  // a record opened alone, and "Export" runs it forced.
  kova::AutoExporter exporter(settings, prompter);
  exporter.SetComparisonBands(kova::LoadComparisonBands(store));
  exporter.SetReferenceKeeper(kova::ReferenceKeeperFor(store));
  // Every record saved or downloaded also goes into the record library.
  // Its failures are told in the window: standard error is never seen.
  auto notice_window = std::make_shared<QPointer<QWidget>>();
  auto filing = kova::FilingInLibrary(&exporter, store, kova::FilingFailureNotice(notice_window));
  ctx.exporter = filing.get();
  ctx.auto_export = [&exporter](kova::TestRecord& rec, bool force,
                                const kova::RecordContext& kept) {
    return exporter.Export(rec, force, &kept);
  };
  ctx.workbook_export = kova::WorkbookExportKind(settings);
  ctx.settings_place = store.Location();
  kova::MainWindow window(ctx);
  *notice_window = &window;
  // Messages and file dialogs open over the window, never behind a dialog
  // of it or as windows of their own.
  prompter.SetParent(&window);
  chooser.SetParent(&window);
  device.SetTitleWindow(&window);
  kova::DeviceCommands::Install(window, device, prompter, info, filing.get());
  window.show();
  window.OpenDocuments(open_paths);
  instance.Listen([&window](const std::vector<std::string>& paths) {
    if (window.isMinimized()) window.showNormal();
    window.raise();
    window.activateWindow();
    window.OpenDocuments(paths);
  });
  return QApplication::exec();
}
