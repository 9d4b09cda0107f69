// The main window itself: what it is made of, the commands it offers, the
// enabling of those commands, "Application Setup", its title, and its close
// and drops. The command bar, the document area, the record, print and plan
// commands have files of their own.

#include "gui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QPrinter>
#include <QSessionManager>
#include <QStatusBar>
#include <QUrl>

#include "app/setup_model.h"
#include "base/codepage.h"
#include "base/format.h"
#include "gui/assess/assessment_menu.h"
#include "gui/help_menu.h"
#include "gui/library/library_command.h"
#include "gui/qt_text.h"
#include "gui/report_view.h"
#include "gui/setup_dialog.h"
#include "gui/window_fit.h"

namespace kova {

MainWindow::MainWindow(GuiContext context, QWidget* parent)
    : QMainWindow(parent), ctx_(std::move(context)) {
  setWindowTitle(QString::fromUtf8(kMainTitle));
  setAcceptDrops(true);
  BuildDocumentArea();
  page_status_ = new QLabel(this);
  statusBar()->addPermanentWidget(page_status_);
  statusBar()->showMessage(QStringLiteral("Ready"));
  connect(mdi_, &QMdiArea::subWindowActivated, this, [this] { UpdateCommands(); });
  // Logging out asks about unsaved work like Exit does.
  connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& session) {
    if (session.allowsInteraction() && !ConfirmCloseAll()) session.cancel();
    session.release();
  });

  recent_.Load(*ctx_.store);
  BuildMenus();
  BuildCommandBar();
  AddStandardCommands();
  ApplyLook(LoadInt(*ctx_.store, SettingId::kApplicationLook));
  SetViewStyle(LoadInt(*ctx_.store, SettingId::kViewStyle));
  UpdateCommands();
  KeepWindowPlace(this, *ctx_.store, "Main", QSize(1200, 780));
}

MainWindow::~MainWindow() {
  // The document windows go after this object's members: they must not
  // call back into it while they are torn down.
  mdi_->disconnect(this);
  for (QMdiSubWindow* sub : mdi_->subWindowList()) {
    sub->disconnect(this);
    if (sub->widget() != nullptr) sub->widget()->disconnect(this);
  }
}

void MainWindow::AddStandardCommands() {
  AddCommand(CommandId::kOpenTest, [this] { OnOpenTest(); });
  AddCommand(CommandId::kOverlayTest, [this] { OnOverlayTest(); });
  AddCommand(CommandId::kSaveTest, [this] { OnSaveTest(); });
  AddCommand(CommandId::kSaveAs, [this] { OnSaveAs(); });
  AddCommand(CommandId::kCloseTest, [this] { OnCloseTest(); });
  AddCommand(CommandId::kExportText, [this] { OnExportText(); });
  if (ctx_.workbook_export.write) AddCommand(CommandId::kExportExcel, [this] { OnExportExcel(); });
  if (ctx_.auto_export) AddCommand(CommandId::kExport, [this] { OnExport(); });
  AddCommand(
      CommandId::kLibrary,
      LibraryCommand(this, *ctx_.store, [this](const std::string& path) { OpenDocument(path); }));
  AddCommand(CommandId::kTestUtilities, [this] { OpenFolder(ctx_.info->filepath); });
  AddCommand(CommandId::kFileManipulation, [this] { OpenFolder(ctx_.info->filepath); });
  AddCommand(CommandId::kPlanUtilities, [this] { OpenFolder(ctx_.info->planpath); });
  AddPlanCommands();
  AddAssessmentCommands(*this, *ctx_.store, *ctx_.info);
  AddCommand(CommandId::kNewDocument, [this] { OnNewDocument(); });
  AddPrintCommands();
  AddCommand(CommandId::kCloseWindow, [this] { mdi_->closeActiveSubWindow(); });
  AddCommand(CommandId::kAppSetup, [this] { OnAppSetup(); });
  AddCommand(CommandId::kExit, [this] { close(); });
  AddCommand(CommandId::kNextDocument, [this] { mdi_->activateNextSubWindow(); });
  AddCommand(CommandId::kPreviousDocument, [this] { mdi_->activatePreviousSubWindow(); });
  AddHelpCommands(*this, *ctx_.store, *ctx_.info, *ctx_.prompter, ctx_.settings_place);
}

void MainWindow::OpenFolder(const std::string& folder) {
  // Without a file manager the user is told where the files are.
  if (!ctx_.open_folder || !ctx_.open_folder(folder))
    ctx_.prompter->Message(kDeviceCaption,
                           Format("No file manager could be opened. The files are in %s",
                                  SystemNameToCp1252(folder).c_str()),
                           Buttons::Ok, Icon::Information);
}

QString MainWindow::StatusText() const { return page_status_->text(); }

void MainWindow::UpdateCommands() {
  ReportView* view = ActiveView();
  const DocumentState state = ActiveState();
  for (const CommandInfo& c : MainCommands())
    if (QAction* a = Action(c.id)) a->setEnabled(CommandEnabled(c.id, state));
  page_status_->setText(view != nullptr ? view->PageText() : QString());
  UpdateTitles();
  ShowStartPageWhenEmpty();
  for (const ApplicationLook& look : ApplicationLooks())
    if (QAction* a = actions_.value(look.id)) a->setChecked(look.id == look_);
}

void MainWindow::OnAppSetup() {
#ifdef _WIN32
  const bool numbered = true;  // "COM1:" ... "COM100:"
#else
  const bool numbered = false;  // ports have names: the system's and "ExtraPorts"
#endif
  const std::vector<SystemPort> details =
      ctx_.system_ports ? ctx_.system_ports() : std::vector<SystemPort>();
  std::vector<std::string> system;
  for (const SystemPort& p : details) system.push_back(p.name);
  SetupValues values =
      LoadSetup(*ctx_.settings, *ctx_.info,
                SetupPortList(numbered, system, ctx_.info->ExtraPortNames()), numbered);
  values.port_labels = SetupPortLabels(values.ports, details);
  SetupDialog dialog(values, *ctx_.prompter, this, ctx_.probe_connection);
  if (dialog.exec() != QDialog::Accepted) return;
  ApplySetup(dialog.Values(), numbered, *ctx_.settings, *ctx_.info, *ctx_.store);
  if (!ctx_.info->filepath.empty()) QDir::setCurrent(PathToQ(ctx_.info->filepath));
  if (ctx_.apply_comm_settings) ctx_.apply_comm_settings();
  // Later print jobs start in the orientation chosen here.
  Printer().setPageOrientation(ctx_.info->orientation == 1 ? QPageLayout::Portrait
                                                           : QPageLayout::Landscape);
  RefreshView(ActiveView());
}

std::string MainWindow::GetTitle() const { return base_title_; }
void MainWindow::SetTitle(const std::string& title) {
  base_title_ = title;
  UpdateTitles();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!ConfirmCloseAll()) {
    event->ignore();
    return;
  }
  mdi_->closeAllSubWindows();
  if (!mdi_->subWindowList().isEmpty()) {
    event->ignore();
    return;
  }
  recent_.Save(*ctx_.store);
  QMainWindow::closeEvent(event);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  std::vector<std::string> paths;
  for (const QUrl& url : event->mimeData()->urls())
    if (url.isLocalFile()) paths.push_back(PathFromQ(url.toLocalFile()));
  OpenDocuments(paths);
  event->acceptProposedAction();
}

}  // namespace kova
