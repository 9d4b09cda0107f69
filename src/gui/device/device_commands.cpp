#include "gui/device/device_commands.h"

#include <QAction>
#include <QStatusBar>
#include <filesystem>
#include <memory>

#include "app/app_settings.h"
#include "app/batch_summary.h"
#include "app/batch_transfer.h"
#include "app/main_commands.h"
#include "app/run_session.h"
#include "app/shown_test_date.h"
#include "base/file_io.h"
#include "base/format.h"
#include "base/prompter.h"
#include "device/command_set.h"
#include "device/directory_choice.h"
#include "device/rud_device.h"
#include "gui/device/batch_summary_dialog.h"
#include "gui/device/directory_dialogs.h"
#include "gui/device/gui_thread.h"
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

constexpr const char* kTalkingText = "Talking to the instrument ...\r\rPlease wait.";

// Beneath the question before a run: what the run will do to the CT.
constexpr const char* kRunSafetyText =
    "\r\rThe instrument will put test voltage on the connected winding "
    "(the excitation test reaches kilovolts). Keep clear of the CT and its leads.";

}  // namespace

DeviceCommands* DeviceCommands::Install(MainWindow& window, RudDevice& device, Prompter& prompter,
                                        CAppInfo& info, RecordExporter* exporter) {
  auto* commands = new DeviceCommands(window, device, prompter, info, exporter);
  // The instrument is identified on a worker; the title changes on the
  // window's thread.
  auto base = std::make_shared<std::string>();
  auto have_base = std::make_shared<bool>(false);
  device.OnConnected([&window, base, have_base](int modelcode) {
    PostToGuiThread(&window, [&window, base, have_base, modelcode] {
      if (!*have_base) *base = window.GetTitle();
      *have_base = true;
      window.SetTitle(ConnectedTitle(*base, modelcode));
    });
  });
  // The title names an instrument only while it is there.
  device.OnDisconnected([&window, base, have_base] {
    PostToGuiThread(&window, [&window, base, have_base] {
      if (*have_base) window.SetTitle(*base);
    });
  });
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

bool DeviceCommands::MayReplaceResult() {
  if (!result_unsaved_ || !FileExists(kRunResultFile)) return true;
  return prompter_.Message(kDeviceCaption,
                           Format("%s holds the last result and has not been saved under a name "
                                  "of its own.\r\rReplace it?",
                                  kRunResultFile),
                           Buttons::YesNo, Icon::Question) == Answer::Yes;
}

bool DeviceCommands::Talk(const std::function<bool()>& exchange) {
  device_.ResetCancel();
  return prompter_.RunWaiting(kTalkingText, exchange);
}

void DeviceCommands::OnTestDirectory() {
  bool show_type = false;
  if (!Talk([&] {
        if (!device_.EnsureConnected(true) || !device_.GetDirectory(false)) return false;
        std::string reply;
        show_type = device_.Identify(reply, true) && DirectoryShowsTestType(reply);
        return true;
      })) {
    return;
  }
  DeviceDirectoryDialog dialog(device_, show_type, DesktopDateStyle(info_), &window_);
  dialog.SetExporter(exporter_);
  if (dialog.exec() != QDialog::Accepted) return;
  if (!ShowsBatchSummary(dialog.Written().size())) {
    OpenResult(dialog.LastFile());
    return;
  }
  // Several tests: the user chooses which to open.
  const std::string folder = dialog.Folder();
  BatchSummaryDialog summary(
      SavedRecordRows(dialog.Written(), RecordDefaultsFrom(info_)),
      BatchSummaryHeading(dialog.Written().size(), dialog.Chosen(), folder),
      [this, folder] { window_.OpenFolder(folder); }, &window_);
  if (summary.exec() != QDialog::Accepted) return;
  for (const std::string& path : summary.ToOpen()) OpenResult(path);
}

void DeviceCommands::OnResendTest() {
  // The last result may live only in that file: it is not replaced unasked.
  if (!MayReplaceResult()) return;
  TransferDialog transfer(&window_);
  BatchTransfer batch(device_, transfer, nullptr, exporter_);
  batch.resendmode = true;
  batch.AddItem(-1, kRunResultFile);
  transfer.BindBatch(batch, false);
  if (transfer.Run() != QDialog::Accepted) return;
  result_unsaved_ = true;
  OpenResult(batch.lastfile());
}

void DeviceCommands::OnReturnToPanel() {
  if (Talk([this] { return device_.ReturnToPanel().ok(); })) {
    window_.statusBar()->showMessage(QStringLiteral("The instrument is back on panel control"),
                                     5000);
  } else {
    // The write itself says nothing when it fails: the user is told here.
    window_.statusBar()->showMessage(
        QStringLiteral("Not returned to panel control: nothing could be sent to the instrument %1")
            .arg(device_.UsbActive() ? QStringLiteral("over USB")
                                     : QStringLiteral("on the serial port")),
        15000);
  }
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
  if (prompter_.Message(kDeviceCaption,
                        Format("Run Test Plan %s ?", SystemNameToCp1252(FileNameOf(path)).c_str()) +
                            kRunSafetyText,
                        Buttons::YesNo, Icon::Question) != Answer::Yes) {
    return;
  }
  if (!MayReplaceResult()) return;
  TransferDialog transfer(&window_);
  RunSession run(device_, plan, transfer, exporter_);
  run.result_path = kRunResultFile;
  transfer.BindRun(run);
  if (transfer.Run() != QDialog::Accepted) return;
  result_unsaved_ = true;
  OpenResult(run.result_path);
}

void DeviceCommands::OnUploadPlan() {
  if (!Talk([this] { return device_.EnsureConnected(true).ok(); })) return;
  kvTestPlan plan;
  std::string path;
  if (!ChoosePlan(plan, path)) return;
  if (!Talk([this] { return device_.GetDirectory(true).ok(); })) return;
  PlanDirectoryDialog dialog(device_, PlanDirectoryMode::kSlot, &window_);
  if (dialog.exec() != QDialog::Accepted) return;
  // The upload's messages say what went wrong.
  const int slot = dialog.Slot();
  if (Talk([&] { return TransferPlanToSlot(device_, plan, slot).ok(); }))
    window_.statusBar()->showMessage(QStringLiteral("%1 stored in plan slot %2")
                                         .arg(PathToQ(FileNameOf(path)))
                                         .arg(dialog.Slot()),
                                     5000);
}

void DeviceCommands::OnDownloadPlan() {
  if (!Talk([this] { return device_.EnsureConnected(true) && device_.GetDirectory(true); })) {
    return;
  }
  PlanDirectoryDialog dialog(device_, PlanDirectoryMode::kDownload, &window_);
  if (dialog.exec() != QDialog::Accepted) return;
  window_.statusBar()->showMessage(
      QStringLiteral("%1 test plan(s) downloaded").arg(dialog.Written().size()), 5000);
}

}  // namespace kova
