#include "gui/device/device_commands.h"

#include <QAction>
#include <QStatusBar>
#include <filesystem>

#include "app/app_settings.h"
#include "app/batch_transfer.h"
#include "app/main_commands.h"
#include "app/run_session.h"
#include "base/format.h"
#include "base/prompter.h"
#include "device/command_set.h"
#include "device/directory_choice.h"
#include "device/rud_device.h"
#include "gui/device/directory_dialogs.h"
#include "gui/device/transfer_dialog.h"
#include "gui/main_window.h"
#include "gui/qt_text.h"
#include "plans/test_plan.h"

namespace kova {
namespace {

std::string Absolute(const std::string& path) {
  std::error_code ec;
  const std::filesystem::path whole = std::filesystem::absolute(path, ec);
  return ec ? path : whole.lexically_normal().string();
}

std::string FileNameOf(const std::string& path) {
  return std::filesystem::path(path).filename().string();
}

}  // namespace

DeviceCommands* DeviceCommands::Install(MainWindow& window, RudDevice& device, Prompter& prompter,
                                        CAppInfo& info, RecordExporter* exporter) {
  auto* commands = new DeviceCommands(window, device, prompter, info, exporter);
  window.AddCommand(CommandId::kTestDirectory, [commands] { commands->OnTestDirectory(); });
  window.AddCommand(CommandId::kResendTest, [commands] { commands->OnResendTest(); });
  window.AddCommand(CommandId::kReturnToPanel, [commands] { commands->OnReturnToPanel(); });
  window.AddCommand(CommandId::kRunTest, [commands] { commands->OnRunTest(); });
  window.AddCommand(CommandId::kUploadPlan, [commands] { commands->OnUploadPlan(); });
  window.AddCommand(CommandId::kDownloadPlan, [commands] { commands->OnDownloadPlan(); });
  window.UpdateCommands();
  return commands;
}

DeviceCommands::DeviceCommands(MainWindow& window, RudDevice& device, Prompter& prompter,
                               CAppInfo& info, RecordExporter* exporter)
    : QObject(&window),
      window_(window),
      device_(device),
      prompter_(prompter),
      info_(info),
      exporter_(exporter) {}

void DeviceCommands::OpenResult(const std::string& path) {
  // A transfer can end well without a file (the folder choice was
  // cancelled): then nothing is opened.
  if (path.empty()) return;
  window_.OpenDocument(Absolute(path));
}

void DeviceCommands::OnTestDirectory() {
  if (!device_.EnsureConnected(true)) return;
  if (!device_.GetDirectory(false)) return;
  std::string reply;
  const bool show_type = device_.Identify(reply, true) && DirectoryShowsTestType(reply);
  DeviceDirectoryDialog dialog(device_, show_type, &window_);
  dialog.SetExporter(exporter_);
  if (dialog.exec() != QDialog::Accepted) return;
  OpenResult(dialog.LastFile());
}

void DeviceCommands::OnResendTest() {
  TransferDialog transfer(&window_);
  BatchTransfer batch(device_, transfer, nullptr, exporter_);
  batch.resendmode = true;
  batch.AddItem(-1, kRunResultFile);
  transfer.BindBatch(batch, false);
  if (transfer.Run() != QDialog::Accepted) return;
  OpenResult(batch.lastfile());
}

void DeviceCommands::OnReturnToPanel() {
  if (device_.ReturnToPanel())
    window_.statusBar()->showMessage(QStringLiteral("The instrument is back on panel control"),
                                     5000);
}

bool DeviceCommands::ChoosePlan(kvTestPlan& plan, std::string& path) {
  if (!prompter_.ChooseOpenFile("Open", info_.planpath, kPlanFileFilter, path)) return false;
  if (plan.Load(path)) return true;
  prompter_.Message(kDeviceCaption, kUnableToLoadPlanFile, Buttons::Ok, Icon::Warning);
  return false;
}

void DeviceCommands::OnRunTest() {
  kvTestPlan plan;
  std::string path;
  if (!ChoosePlan(plan, path)) return;
  if (prompter_.Message(kDeviceCaption, Format("Run Test Plan %s ?", FileNameOf(path).c_str()),
                        Buttons::YesNo, Icon::Question) != Answer::Yes) {
    return;
  }
  TransferDialog transfer(&window_);
  RunSession run(device_, plan, transfer, exporter_);
  run.result_path = kRunResultFile;
  transfer.BindRun(run);
  if (transfer.Run() != QDialog::Accepted) return;
  OpenResult(run.result_path);
}

void DeviceCommands::OnUploadPlan() {
  if (!device_.EnsureConnected(true)) return;
  kvTestPlan plan;
  std::string path;
  if (!ChoosePlan(plan, path)) return;
  if (!device_.GetDirectory(true)) return;
  PlanDirectoryDialog dialog(device_, PlanDirectoryMode::kSlot, &window_);
  if (dialog.exec() != QDialog::Accepted) return;
  // The upload's messages say what went wrong.
  if (TransferPlanToSlot(device_, plan, dialog.Slot()))
    window_.statusBar()->showMessage(QStringLiteral("%1 stored in plan slot %2")
                                         .arg(PathToQ(FileNameOf(path)))
                                         .arg(dialog.Slot()),
                                     5000);
}

void DeviceCommands::OnDownloadPlan() {
  if (!device_.EnsureConnected(true)) return;
  if (!device_.GetDirectory(true)) return;
  PlanDirectoryDialog dialog(device_, PlanDirectoryMode::kDownload, &window_);
  if (dialog.exec() != QDialog::Accepted) return;
  window_.statusBar()->showMessage(
      QStringLiteral("%1 test plan(s) downloaded").arg(dialog.Written().size()), 5000);
}

}  // namespace kova
