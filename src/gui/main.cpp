// kova-gui: the desktop program. Loads the settings, creates the instrument
// connection and the main window, and opens a record file named on the
// command line.

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QUrl>
#include <clocale>
#include <memory>

#include "app/app_settings.h"
#include "base/path.h"
#include "device/rud_device.h"
#include "device/serial_com.h"
#include "device/usb_hid_link.h"
#include "gui/device/device_commands.h"
#include "gui/device/wait_dialog.h"
#include "gui/main_window.h"
#include "gui/qt_prompter.h"
#include "gui/test_browser_dialog.h"
#include "platform/hidapi_backend.h"
#include "platform/qt_serial_backend.h"
#include "platform/qt_settings_store.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("KOVA-7100"));
  QApplication::setOrganizationName(QStringLiteral("Helmark-inc"));
  QApplication::setApplicationVersion(QString::fromUtf8(kova::kVersionText));
  // The window speaks the user's language; numbers in files never do.
  QLocale::setDefault(QLocale::system());
  std::setlocale(LC_NUMERIC, "C");

  // A file named on the command line is relative to where we were started,
  // before the record folder becomes the current folder.
  std::string open_path;
  const QStringList args = QApplication::arguments();
  if (args.size() > 1) open_path = QFileInfo(args.at(1)).absoluteFilePath().toStdString();

  kova::QtSettingsStore store;
  kova::AppSettings settings;
  kova::CAppInfo info;
  kova::LoadAppSettings(
      settings, store,
      kova::WithTrailingSeparator(QApplication::applicationDirPath().toStdString()));
  info.Load(store, QDir::currentPath().toStdString());
  kova::ApplyRecordDefaults(info);

  // The window is the prompter's parent; both live for the whole run.
  kova::QtPrompter prompter(nullptr);
  kova::QtSerialBackend serial_backend;
  kova::HidapiBackend hid_backend;
  kova::CSerialCom serial(serial_backend, prompter);
  kova::UsbHidLink usb(hid_backend, prompter, kova::ConfiguredInstrumentVendorId());
  kova::RudDevice device(serial, usb, prompter, info, settings, store);
  device.ApplyCommSettings();

  kova::BrowserRecordChooser chooser(info, store, prompter, nullptr);
  kova::GuiContext ctx;
  ctx.store = &store;
  ctx.settings = &settings;
  ctx.info = &info;
  ctx.prompter = &prompter;
  ctx.chooser = &chooser;
  ctx.system_ports = [&serial_backend] {
    std::vector<std::string> names;
    serial_backend.ListPorts(names);
    return names;
  };
  ctx.apply_comm_settings = [&device] { device.ApplyCommSettings(); };
  ctx.open_folder = [](const std::string& folder) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(folder)));
  };
  kova::WaitDialog::SetPicturePath(QString::fromStdString(settings.InstallDir + "progress.gif"));
  kova::MainWindow window(ctx);
  device.SetTitleWindow(&window);
  kova::DeviceCommands::Install(window, device, prompter, info);
  window.show();
  if (!open_path.empty()) window.OpenDocument(open_path);
  return QApplication::exec();
}
