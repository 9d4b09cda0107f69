// The main window's plan commands ("New", "Modify Plan", the thumb-drive
// export and import) and its record edits ("Edit", "Override Test Data").

#include <QDialog>
#include <QStatusBar>
#include <algorithm>
#include <chrono>
#include <memory>

#include "app/edit_test_model.h"
#include "app/override_command.h"
#include "app/plan_save.h"
#include "base/format.h"
#include "gui/dialogs/edit_test_dialog.h"
#include "gui/dialogs/plan_editor_dialog.h"
#include "gui/dialogs/small_dialogs.h"
#include "gui/main_window.h"
#include "gui/qt_text.h"
#include "gui/report_view.h"
#include "plans/test_plan.h"
#include "plans/thumb_drive.h"
#include "report/report_page.h"

namespace kova {
namespace {

constexpr const char* kUnableToLoadPlan = "Unable to load test plan";
constexpr const char* kImportFilter = "Test Plan (plan_*.*) |plan_*.*||";

// The test a report page shows on its own; -1 for pages about the whole
// record or about several records.
int ShownTest(const RecordDocument& doc) {
  if (!doc.loaded() || doc.IsOverlay()) return -1;
  const std::vector<ReportPage>& pages = doc.report().pages();
  const int index = doc.currentpage();
  if (index < 0 || index >= static_cast<int>(pages.size())) return -1;
  const ReportPage& page = pages[static_cast<size_t>(index)];
  const bool single =
      page.kind == kTestPage || page.kind == kErrorTablePage || page.kind == kMeteringPage;
  return single ? page.test : -1;
}

}  // namespace

void MainWindow::AddPlanCommands() {
  AddCommand(CommandId::kCreatePlan, [this] { OnCreatePlan(); });
  AddCommand(CommandId::kModifyPlan, [this] { OnModifyPlan(); });
  AddCommand(CommandId::kEditTest, [this] { OnEditTest(); });
  AddCommand(CommandId::kOverrideData, [this] { OnOverrideData(); });
  AddCommand(CommandId::kExportPlanToDrive, [this] { OnExportPlansToDrive(); });
  AddCommand(CommandId::kImportPlanFromDrive, [this] { OnImportPlansFromDrive(); });
}

void MainWindow::OnCreatePlan() {
  auto plan = std::make_unique<kvTestPlan>();
  PlanEditorDialog editor(*plan, *ctx_.prompter, ctx_.info->planpath, this);
  editor.setDialogRunner(ctx_.run_dialog);
  ctx_.run_dialog(editor);
}

int MainWindow::ConnectedModel() {
  if (!ctx_.connected_model) return -1;
  // A probe that just found no instrument is not repeated on every click:
  // each one costs the user its time-out.
  const auto now = std::chrono::steady_clock::now();
  if (last_failed_probe_ && now - *last_failed_probe_ < kProbeRestSeconds) return -1;
  const int model = ctx_.connected_model();
  if (model < 0)
    last_failed_probe_ = now;
  else
    last_failed_probe_.reset();
  return model;
}

void MainWindow::OnModifyPlan() {
  std::string path;
  if (!ctx_.prompter->ChooseOpenFile("Modify Test Plan", ctx_.info->planpath, kPlanFileFilter,
                                     path)) {
    return;
  }
  auto plan = std::make_unique<kvTestPlan>();
  if (!plan->Load(path)) {
    ctx_.prompter->Message(kDeviceCaption, kUnableToLoadPlan, Buttons::Ok, Icon::Warning);
    return;
  }
  PlanEditorDialog editor(*plan, *ctx_.prompter, ctx_.info->planpath, this);
  editor.setDialogRunner(ctx_.run_dialog);
  ctx_.run_dialog(editor);
}

void MainWindow::OnEditTest() {
  ReportView* view = ActiveView();
  if (view == nullptr) return;
  RecordDocument& doc = view->document();
  if (!doc.loaded() || doc.IsOverlay()) return;
  // A second request while the dialog is starting (a double click) opens
  // nothing more.
  if (editing_) return;
  editing_ = true;
  const int modelcode = ConnectedModel();
  // Cancel puts the record back as it was, the note, pass/fail setup and
  // ratio error values changed through the dialog included.
  doc.EditRecord([&](TestRecord& rec) {
    EditTestDialog dialog(rec, modelcode, *ctx_.prompter, ctx_.info->planpath, ctx_.run_plan, this);
    dialog.setDialogRunner(ctx_.run_dialog);
    return ctx_.run_dialog(dialog) == QDialog::Accepted;
  });
  editing_ = false;
  RefreshView(view);
}

void MainWindow::OnOverrideData() {
  ReportView* view = ActiveView();
  if (view == nullptr || !view->document().loaded()) return;
  RecordDocument& doc = view->document();
  const int test = ShownTest(doc);
  std::string why;
  if (!CanOverride(doc.record(0), test, why)) {
    ctx_.prompter->Message(kDeviceCaption, why, Buttons::Ok, Icon::Warning);
    return;
  }
  doc.EditRecord([&](TestRecord& rec) {
    OverrideDialog dialog(rec, test, *ctx_.prompter, this);
    return ctx_.run_dialog(dialog) == QDialog::Accepted;
  });
  RefreshView(view);
}

bool MainWindow::ChooseFiles(const std::string& title, const std::string& filter,
                             std::vector<std::string>& paths) {
  paths.clear();
  if (ctx_.choose_open_files) {
    if (!ctx_.choose_open_files(title, ctx_.info->planpath, filter, paths)) return false;
  } else {
    std::string one;
    if (!ctx_.prompter->ChooseOpenFile(title, ctx_.info->planpath, filter, one)) return false;
    paths.push_back(one);
  }
  if (paths.size() > kMaxThumbFiles) paths.resize(kMaxThumbFiles);
  return !paths.empty();
}

void MainWindow::OnExportPlansToDrive() {
  std::vector<std::string> files;
  if (!ChooseFiles("Export Test Plan to Thumb Drive", kPlanFileFilter, files)) return;
  std::string folder;
  if (!ctx_.prompter->ChooseFolder("Select Thumb Drive", "", folder)) return;
  // Only the drive of the chosen folder counts: the plans go to its root.
  std::string drive;
  if (!ThumbDriveRoot(folder, drive)) {
    ctx_.prompter->Message(kDeviceCaption,
                           Format("No drive holds %s", SystemNameToCp1252(folder).c_str()),
                           Buttons::Ok, Icon::Warning);
    return;
  }
  const ThumbExportResult result = ExportPlansToDrive(files, drive);
  // Files that could not be written or loaded are said, not passed over; so
  // is the folder KOVA-7100 plans share.
  const std::vector<std::string> notice = ThumbExportNotice(result);
  if (!notice.empty()) {
    std::string text;
    for (const std::string& line : notice) text += (text.empty() ? "" : "\r\n") + line;
    const bool trouble = !result.failed.empty() || !result.skipped.empty();
    ctx_.prompter->Message(kDeviceCaption, text, Buttons::Ok,
                           trouble ? Icon::Warning : Icon::Information);
  }
  // The place is named: a folder chosen in place of a drive is written to.
  statusBar()->showMessage(QStringLiteral("%1 plan file(s) written to %2")
                               .arg(result.written.size())
                               .arg(PathToQ(drive)),
                           8000);
}

void MainWindow::OnImportPlansFromDrive() {
  std::vector<std::string> files;
  if (!ChooseFiles("Import Test Plan from Thumb Drive", kImportFilter, files)) return;
  const ThumbImportResult result = ImportPlansFromDrive(files, ctx_.info->planpath);
  if (result.status == ThumbImportResult::Status::kUnrecognizedFolder) {
    ctx_.prompter->Message(kDeviceCaption, kUnrecognizedFolderMessage, Buttons::Ok, Icon::Warning);
  } else if (!result.failed.empty()) {
    ctx_.prompter->Message(
        kDeviceCaption,
        Format("Unable to write %s", SystemNameToCp1252(result.failed.front()).c_str()),
        Buttons::Ok, Icon::Warning);
  }
}

}  // namespace kova
