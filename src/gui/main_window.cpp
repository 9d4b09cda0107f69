#include "gui/main_window.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QPalette>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSessionManager>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyle>
#include <QStyleFactory>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include "app/auto_export.h"
#include "app/chosen_exports.h"
#include "app/document_names.h"
#include "app/export_notice.h"
#include "app/library_settings.h"
#include "app/setup_model.h"
#include "app/start_page.h"
#include "app/test_browser.h"
#include "base/codepage.h"
#include "base/format.h"
#include "base/path.h"
#include "gui/assess/assessment_menu.h"
#include "gui/help_menu.h"
#include "gui/library/library_command.h"
#include "gui/qt_text.h"
#include "gui/report_view.h"
#include "gui/setup_dialog.h"
#include "gui/start_page.h"
#include "gui/test_browser_dialog.h"
#include "gui/window_fit.h"
#include "platform/report_printing.h"
#include "records/record_file.h"
#include "report/page_footer.h"

namespace kova {

namespace {

constexpr const char* kNoExportsChosen =
    "No exports are chosen. Choose XML, PDF or Excel under Application Setup.";

QString MenuText(const CommandInfo& c) {
  // The shortcut is the action's own; the menu shows it by itself.
  QString text = QString::fromUtf8(c.menu_caption);
  const int tab = text.indexOf('\t');
  return tab >= 0 ? text.left(tab) : text;
}

}  // namespace

MainWindow::MainWindow(GuiContext context, QWidget* parent)
    : QMainWindow(parent), ctx_(std::move(context)) {
  setWindowTitle(QString::fromUtf8(kMainTitle));
  setAcceptDrops(true);
  mdi_ = new QMdiArea(this);
  mdi_->setViewMode(QMdiArea::TabbedView);
  mdi_->setTabsClosable(true);
  mdi_->setTabsMovable(true);
  mdi_->setDocumentMode(true);
  mdi_->setBackground(QColor(0x80, 0x88, 0x90));
  centre_ = new QStackedWidget(this);
  start_ = new StartPage([this](CommandId id) { return Action(id); },
                         [this](const std::string& path) { OpenDocument(path); }, centre_);
  centre_->addWidget(start_);
  centre_->addWidget(mdi_);
  setCentralWidget(centre_);
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

void MainWindow::BuildMenus() {
  file_menu_ = menuBar()->addMenu(QStringLiteral("&File"));
  plan_menu_ = new QMenu(QStringLiteral("Test Plan"), this);
  utilities_menu_ = new QMenu(QStringLiteral("File Utilities"), this);
  file_menu_->addSeparator();
  file_menu_->addMenu(plan_menu_);
  file_menu_->addMenu(utilities_menu_);
  file_menu_->addSeparator();
  application_separator_ = file_menu_->addSeparator();
  recent_menu_ = file_menu_->addMenu(QStringLiteral("Recent Files"));
  file_menu_->addSeparator();
  RebuildRecentMenu();
  window_menu_ = menuBar()->addMenu(QString::fromUtf8(kWindowMenuTitle));
  help_menu_ = menuBar()->addMenu(QString::fromUtf8(kHelpMenuTitle));
}

QGridLayout* MainWindow::PanelFor(const CommandInfo& info) {
  if (info.ribbon_caption[0] == '\0') return nullptr;
  if (info.id == CommandId::kPlanUtilities) return panels_.value(1);
  switch (info.place) {
    case CommandPlace::kFileMenu:
    case CommandPlace::kFileUtilitiesMenu:
      return panels_.value(0);
    case CommandPlace::kTestPlanMenu:
      return panels_.value(1);
    case CommandPlace::kApplication:
      return panels_.value(3);
    case CommandPlace::kAssessmentMenu:
    case CommandPlace::kWindowMenu:
    case CommandPlace::kHelpMenu:
      return nullptr;
  }
  return nullptr;
}

void MainWindow::AddToPanel(int panel, QWidget* button, int order) {
  QGridLayout* grid = panels_.value(panel);
  // Buttons stand in the command table's order whenever their handlers
  // arrive, so the two panels' shared captions sit in the same places.
  button->setProperty("order", order);
  QList<QWidget*> buttons;
  for (int i = 0; i < grid->count(); ++i)
    if (QWidget* w = grid->itemAt(i)->widget()) buttons << w;
  buttons << button;
  std::stable_sort(buttons.begin(), buttons.end(), [](QWidget* a, QWidget* b) {
    return a->property("order").toInt() < b->property("order").toInt();
  });
  for (QWidget* w : buttons) grid->removeWidget(w);
  for (int n = 0; n < buttons.size(); ++n) grid->addWidget(buttons[n], n % 2, n / 2);
  panel_boxes_.value(panel)->show();
}

void MainWindow::BuildCommandBar() {
  auto* bar = new QToolBar(QStringLiteral("Commands"), this);
  bar->setMovable(false);
  bar->setFloatable(false);
  auto* tabs = new QTabWidget(bar);
  tabs->setDocumentMode(true);
  auto* category = new QWidget(tabs);
  auto* row = new QHBoxLayout(category);
  row->setContentsMargins(4, 2, 4, 2);
  const char* names[] = {kPanelTest, kPanelTestPlan, kPanelWindow, kPanelApplication};
  for (int i = 0; i < 4; ++i) {
    auto* panel = new QGroupBox(QString::fromUtf8(names[i]), category);
    panel->setObjectName(QString::fromUtf8(names[i]));
    auto* layout = new QGridLayout(panel);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(2);
    panels_.insert(i, layout);
    panel_boxes_.insert(i, panel);
    panel->hide();  // shown with its first command
    row->addWidget(panel);
  }
  row->addStretch(1);
  tabs->addTab(category, QString::fromUtf8(kRibbonCategory));
  bar->addWidget(tabs);
  addToolBar(Qt::TopToolBarArea, bar);

  // The "Window" panel: arranging the document windows and the looks.
  auto add_window_button = [this](const QString& text, const std::function<void()>& f) {
    auto* action = new QAction(text, this);
    connect(action, &QAction::triggered, this, f);
    auto* button = new QToolButton(this);
    button->setDefaultAction(action);
    button->setAutoRaise(true);
    button->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    AddToPanel(2, button, panels_.value(2)->count());
    return button;
  };
  add_window_button(QStringLiteral("Tabs"), [this] { SetViewStyle(kViewTabs); });
  add_window_button(QStringLiteral("Cascade"), [this] { SetViewStyle(kViewCascade); });
  add_window_button(QStringLiteral("Tile"), [this] { SetViewStyle(kViewTile); });
  auto* styles = new QMenu(QStringLiteral("Style"), this);
  for (const ApplicationLook& look : ApplicationLooks()) {
    QAction* a = styles->addAction(QString::fromUtf8(look.caption));
    a->setCheckable(true);
    a->setData(look.id);
    const int id = look.id;
    connect(a, &QAction::triggered, this, [this, id] { ApplyLook(id); });
    actions_.insert(id, a);
  }
  QToolButton* style_button = add_window_button(QStringLiteral("Style"), [] {});
  style_button->setMenu(styles);
  style_button->setPopupMode(QToolButton::InstantPopup);
}

QAction* MainWindow::AddCommand(CommandId id, std::function<void()> handler) {
  const CommandInfo* info = FindCommand(id);
  if (info == nullptr) return nullptr;
  auto* action = new QAction(MenuText(*info), this);
  action->setToolTip(QString::fromUtf8(info->ribbon_caption));
  if (info->shortcut[0] != '\0')
    action->setShortcuts(QKeySequence::listFromString(QString::fromUtf8(info->shortcut)));
  connect(action, &QAction::triggered, this, [this, handler] {
    handler();
    UpdateCommands();
  });
  actions_.insert(static_cast<int>(id), action);

  switch (info->place) {
    case CommandPlace::kFileMenu:
      file_menu_->insertAction(plan_menu_->menuAction(), action);
      break;
    case CommandPlace::kTestPlanMenu:
      plan_menu_->addAction(action);
      break;
    case CommandPlace::kFileUtilitiesMenu:
      utilities_menu_->addAction(action);
      break;
    case CommandPlace::kApplication:
      if (id == CommandId::kExit)
        file_menu_->addAction(action);
      else
        file_menu_->insertAction(recent_menu_->menuAction(), action);
      break;
    case CommandPlace::kAssessmentMenu:
      // Made with its first command, so a window without them has none.
      if (assessment_menu_ == nullptr) {
        assessment_menu_ = new QMenu(QString::fromUtf8(kAssessmentMenuTitle), this);
        menuBar()->insertMenu(window_menu_->menuAction(), assessment_menu_);
      }
      assessment_menu_->addAction(action);
      break;
    case CommandPlace::kWindowMenu:
      window_menu_->addAction(action);
      break;
    case CommandPlace::kHelpMenu:
      help_menu_->addAction(action);
      break;
  }
  if (QGridLayout* panel = PanelFor(*info)) {
    auto* button = new QToolButton(this);
    auto* ribbon_action = new QAction(QString::fromUtf8(info->ribbon_caption), button);
    // A caption that two panels share says in its tip what it works on.
    const QString menu = QString::fromUtf8(info->menu_caption).replace('\t', "  ");
    const QString tip = QString::fromUtf8(RibbonTip(id));
    ribbon_action->setToolTip(tip.isEmpty() ? menu : tip + QStringLiteral(" (") + menu + ')');
    ribbon_action->setStatusTip(tip.isEmpty() ? menu : tip);
    connect(ribbon_action, &QAction::triggered, action, &QAction::trigger);
    connect(action, &QAction::changed, ribbon_action,
            [action, ribbon_action] { ribbon_action->setEnabled(action->isEnabled()); });
    button->setDefaultAction(ribbon_action);
    button->setAutoRaise(true);
    button->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    AddToPanel(panels_.key(panel), button, CommandOrder(id));
  }
  return action;
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
  AddCommand(CommandId::kPrint, [this] { OnPrint(); });
  AddCommand(CommandId::kPrintPreview, [this] { OnPrintPreview(); });
  AddCommand(CommandId::kPrintSetup, [this] { OnPrintSetup(); });
  AddCommand(CommandId::kSavePdf, [this] { OnSavePdf(); });
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

void MainWindow::SetViewStyle(int style) {
  if (style != kViewCascade && style != kViewTile) style = kViewTabs;
  view_style_ = style;
  if (style == kViewTabs) {
    mdi_->setViewMode(QMdiArea::TabbedView);
  } else {
    mdi_->setViewMode(QMdiArea::SubWindowView);
    const QList<QMdiSubWindow*> subs = mdi_->subWindowList();
    for (QMdiSubWindow* sub : subs) sub->showNormal();
    if (style == kViewTile) {
      mdi_->tileSubWindows();
    } else if (subs.size() == 1) {
      // Cascading a lone window would shrink it to its smallest size.
      subs.front()->showMaximized();
    } else {
      // Each window keeps most of the area, offset from the one before.
      const QSize area = mdi_->viewport()->size();
      for (QMdiSubWindow* sub : subs) sub->resize(area.width() * 3 / 4, area.height() * 3 / 4);
      mdi_->cascadeSubWindows();
    }
  }
  StoreInt(*ctx_.store, SettingId::kViewStyle, view_style_);
  ctx_.store->Flush();
}

std::unique_ptr<RecordDocument> MainWindow::NewDocument() {
  RecordDocument::Services s;
  s.prompter = ctx_.prompter;
  s.defaults = RecordDefaultsFrom(*ctx_.info);
  s.bands = LoadComparisonBands(*ctx_.store);
  s.references = ReferenceKeeperFor(*ctx_.store);
  s.calculation_details = LoadInt(*ctx_.store, SettingId::kCalculationDetails) != 0;
  s.exporter = ctx_.exporter;
  if (ctx_.auto_export) {
    s.export_opened = [this](TestRecord& rec, const RecordContext& kept) {
      ctx_.auto_export(rec, false, kept);
    };
  }
  s.record_folder = [this] { return ctx_.info->filepath; };
  s.file_used = [this](const std::string& path) { FileUsed(path); };
  return std::make_unique<RecordDocument>(std::move(s));
}

ReportView* MainWindow::AddView(std::unique_ptr<RecordDocument> document) {
  centre_->setCurrentWidget(mdi_);
  auto* view = new ReportView(std::move(document));
  view->OfferCalculationDetails(*ctx_.store);
  QMdiSubWindow* sub = mdi_->addSubWindow(view);
  sub->setAttribute(Qt::WA_DeleteOnClose);
  // A document's own mark in its title bar, not the toolkit's logo.
  sub->setWindowIcon(style()->standardIcon(QStyle::SP_FileIcon));
  connect(view, &ReportView::pageChanged, this, [this] { UpdateCommands(); });
  connect(view, &ReportView::editRequested, this, [this] {
    if (QAction* edit = Action(CommandId::kEditTest)) {
      if (edit->isEnabled()) edit->trigger();
    }
  });
  // Later, not while the window is half torn down: the titles walk every
  // document window.
  connect(
      sub, &QObject::destroyed, this, [this] { UpdateCommands(); }, Qt::QueuedConnection);
  if (view_style_ == kViewTabs || mdi_->subWindowList().size() == 1)
    sub->showMaximized();
  else
    sub->show();
  view->setFocus();
  UpdateTitles();
  return view;
}

ReportView* MainWindow::ViewOf(const std::string& path) const {
  for (ReportView* view : Views()) {
    const RecordDocument& doc = view->document();
    if (doc.loaded() && !doc.IsOverlay() && SameFile(doc.path(), path)) return view;
  }
  return nullptr;
}

bool MainWindow::OpenQuietly(const std::string& path, std::string& why) {
  // The run's scratch file holds a new result each time: it always opens.
  ReportView* open = IsRunTestPath(path) ? nullptr : ViewOf(path);
  if (open != nullptr) {
    mdi_->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(open->parentWidget()));
    return true;
  }
  std::unique_ptr<RecordDocument> doc = NewDocument();
  if (!doc->Open(path, &why)) {
    recent_.Remove(path);
    recent_.Save(*ctx_.store);
    RebuildRecentMenu();
    return false;
  }
  const RecordFileEnd end = doc->report().Record(0).fileend;
  AddView(std::move(doc));
  // A file cut short still opens with what it held; a warning box (once, as
  // it opens) and the status bar say where it ended, so reset values are not
  // taken for measurements. Every page of its report carries the banner.
  if (end.Early()) {
    statusBar()->showMessage(ToQ(RecordFileEndedEarlyText(path, end)));
    ctx_.prompter->Message(kWarningCaption, DamagedRecordWarningText(path, end), Buttons::Ok,
                           Icon::Warning);
  }
  return true;
}

void MainWindow::ReportOpenFailures(
    const std::vector<std::pair<std::string, std::string>>& failures) {
  if (failures.empty()) return;
  ctx_.prompter->Message(kDeviceCaption, OpenFailureText(failures), Buttons::Ok, Icon::Warning);
}

bool MainWindow::OpenDocument(const std::string& path) { return OpenDocuments({path}) == 1; }

int MainWindow::OpenDocuments(const std::vector<std::string>& paths) {
  std::vector<std::pair<std::string, std::string>> failures;
  int opened = 0;
  for (const std::string& path : paths) {
    std::string why;
    if (OpenQuietly(path, why))
      ++opened;
    else
      failures.emplace_back(path, why);
  }
  UpdateCommands();
  ReportOpenFailures(failures);
  return opened;
}

bool MainWindow::OpenOverlay(const std::vector<std::string>& paths) {
  std::unique_ptr<RecordDocument> doc = NewDocument();
  std::string failed, why;
  if (!doc->OpenOverlay(paths, &failed, &why)) {
    ReportOpenFailures({{failed, why.empty() ? "not a record file" : why}});
    return false;
  }
  AddView(std::move(doc));
  UpdateCommands();
  return true;
}

ReportView* MainWindow::ActiveView() const {
  QMdiSubWindow* sub = mdi_->activeSubWindow();
  if (sub == nullptr && !mdi_->subWindowList().isEmpty()) sub = mdi_->currentSubWindow();
  return sub != nullptr ? qobject_cast<ReportView*>(sub->widget()) : nullptr;
}

QList<ReportView*> MainWindow::Views() const {
  QList<ReportView*> views;
  for (QMdiSubWindow* sub : mdi_->subWindowList())
    if (auto* v = qobject_cast<ReportView*>(sub->widget())) views << v;
  return views;
}

QString MainWindow::StatusText() const { return page_status_->text(); }

void MainWindow::RefreshView(ReportView* view) {
  if (view == nullptr) return;
  view->update();
  UpdateCommands();
}

void MainWindow::UpdateTitles() {
  const QList<ReportView*> views = Views();
  std::vector<std::string> paths;
  for (ReportView* view : views) paths.push_back(view->document().path());
  const std::vector<std::string> names = DistinctTabNames(paths);
  QString active;
  bool active_modified = false;
  for (int i = 0; i < views.size(); ++i) {
    ReportView* view = views[i];
    const QString title = view->TitleText(PathToQ(names[static_cast<size_t>(i)]));
    if (auto* sub = qobject_cast<QMdiSubWindow*>(view->parentWidget())) {
      sub->setWindowTitle(title + QStringLiteral("[*]"));
      sub->setWindowModified(view->document().modified());
      sub->setToolTip(PathToQ(view->document().path()));
    }
    if (view == ActiveView()) {
      active = title;
      active_modified = view->document().modified();
    }
  }
  const QString base = ToQ(base_title_);
  setWindowTitle(active.isEmpty() ? base : active + QStringLiteral("[*] - ") + base);
  setWindowModified(active_modified);
  RebuildWindowMenu();
}

void MainWindow::RebuildWindowMenu() {
  for (QAction* a : document_entries_) {
    window_menu_->removeAction(a);
    a->deleteLater();
  }
  document_entries_.clear();
  const QList<ReportView*> views = Views();
  if (views.isEmpty()) return;
  document_entries_ << window_menu_->addSeparator();
  ReportView* active = ActiveView();
  int n = 1;
  for (ReportView* view : views) {
    auto* sub = qobject_cast<QMdiSubWindow*>(view->parentWidget());
    if (sub == nullptr) continue;
    QString title = sub->windowTitle().replace(QStringLiteral("[*]"),
                                               sub->isWindowModified() ? QStringLiteral("*") : "");
    QAction* entry = window_menu_->addAction(
        (n < 10 ? QStringLiteral("&%1 ").arg(n) : QStringLiteral("%1 ").arg(n)) + title);
    ++n;
    entry->setCheckable(true);
    entry->setChecked(view == active);
    connect(entry, &QAction::triggered, this, [this, sub] { mdi_->setActiveSubWindow(sub); });
    document_entries_ << entry;
  }
}

bool MainWindow::ConfirmCloseAll() {
  for (ReportView* view : Views()) {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(view->parentWidget()))
      mdi_->setActiveSubWindow(sub);
    if (!view->document().ConfirmClose()) return false;
    view->SetCloseConfirmed();
  }
  return true;
}

DocumentState MainWindow::ActiveState() const {
  ReportView* view = ActiveView();
  DocumentState state;
  state.has_document = view != nullptr;
  state.loaded = view != nullptr && view->document().loaded();
  state.overlay = view != nullptr && view->document().IsOverlay();
  state.saved = state.loaded && !view->document().record(0).fullpath.empty();
  return state;
}

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

bool MainWindow::StartPageShowing() const { return centre_->currentWidget() == start_; }

void MainWindow::ShowStartPageWhenEmpty() {
  if (!mdi_->subWindowList().isEmpty()) {
    centre_->setCurrentWidget(mdi_);
    return;
  }
  start_->Refresh(recent_.Entries(),
                  RecordsKeptText(ctx_.info->filepath, LoadLibrarySettings(*ctx_.store).location));
  centre_->setCurrentWidget(start_);
}

void MainWindow::FileUsed(const std::string& path) {
  recent_.Add(path);
  recent_.Save(*ctx_.store);
  RebuildRecentMenu();
}

void MainWindow::RebuildRecentMenu() {
  recent_menu_->clear();
  int n = 1;
  for (const std::string& path : recent_.Entries()) {
    QAction* a = recent_menu_->addAction(QStringLiteral("&%1 %2").arg(n++).arg(PathToQ(path)));
    connect(a, &QAction::triggered, this, [this, path] { OpenDocument(path); });
  }
  recent_menu_->setEnabled(!recent_.Entries().empty());
}

void MainWindow::OnOpenTest() {
  std::vector<std::string> files;
  if (!ctx_.chooser->Choose("", false, files) || files.empty()) return;
  OpenDocument(files.front());
}

void MainWindow::OnOverlayTest() {
  std::vector<std::string> files;
  if (!ctx_.chooser->Choose(kOverlayPrompt, true, files)) return;
  if (!OverlaySelectionValid(files.size())) {
    ctx_.prompter->Message(kDeviceCaption, kOverlayCountMessage, Buttons::Ok, Icon::Warning);
    return;
  }
  OpenOverlay(files);
}

void MainWindow::OnSaveTest() {
  ReportView* view = ActiveView();
  if (view == nullptr) return;
  if (view->document().path().empty() || view->document().IsOverlay()) {
    view->document().SaveAs();
  } else {
    view->document().Save(view->document().path());
  }
  RefreshView(view);
}

void MainWindow::OnSaveAs() {
  ReportView* view = ActiveView();
  if (view == nullptr) return;
  view->document().SaveAs();
  RefreshView(view);
}

void MainWindow::OnCloseTest() {
  ReportView* view = ActiveView();
  if (view == nullptr) return;
  view->document().Unload();
  RefreshView(view);
}

void MainWindow::OnNewDocument() {
  AddView(NewDocument());
  UpdateCommands();
}

void MainWindow::OnExportText() {
  std::vector<std::string> files;
  if (!ctx_.chooser->Choose("Select Test(s)", true, files)) return;
  const ChosenExportOutcome out = ExportChosenRecords(
      files, TextExportKind(), RecordDefaultsFrom(*ctx_.info), *ctx_.prompter, *ctx_.store);
  ShowChosenExports(out, "text file(s)");
}

void MainWindow::OnExportExcel() {
  std::vector<std::string> files;
  if (!ctx_.chooser->Choose("Select Test(s)", true, files)) return;
  const ChosenExportOutcome out = ExportChosenRecords(
      files, ctx_.workbook_export, RecordDefaultsFrom(*ctx_.info), *ctx_.prompter, *ctx_.store);
  ShowChosenExports(out, "workbook(s)");
}

void MainWindow::ShowChosenExports(const ChosenExportOutcome& out, const std::string& what) {
  if (!out.ran) return;
  const std::string folder = LoadText(*ctx_.store, SettingId::kExportDir);
  statusBar()->showMessage(
      ToQ(WithDamageNotes(ChosenExportsWrittenText(out.written, what, folder), out.damaged)),
      10000);
}

void MainWindow::OnExport() {
  ReportView* view = ActiveView();
  if (view == nullptr || !view->document().loaded()) return;
  TestRecord& rec = view->document().record(0);
  if (!DecideExports(rec, true, *ctx_.settings).Any()) {
    ctx_.prompter->Message(kDeviceCaption, kNoExportsChosen, Buttons::Ok, Icon::Information);
    return;
  }
  // A failure has had its message naming the file and the reason; the
  // status bar does not claim otherwise.
  // The exports of a damaged record keep their layouts; the status says it.
  std::vector<std::string> damaged;
  if (rec.fileend.Early()) {
    damaged.push_back(SystemNameToCp1252(FileNameOf(rec.fullpath)) + ": " +
                      DamagedRecordBanner(rec.fileend));
  }
  if (ctx_.auto_export(rec, true, view->document().report().context()))
    statusBar()->showMessage(
        ToQ(WithDamageNotes(AutoExportsWrittenText(rec.fullpath, *ctx_.settings), damaged)), 15000);
  else
    statusBar()->showMessage(
        QStringLiteral("Exports of %1 not all written").arg(PathToQ(FileNameOf(rec.fullpath))),
        15000);
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

void MainWindow::ApplyLook(int id) {
  const ApplicationLook& look = LookById(id);
  look_ = look.id;
  if (look.style[0] != '\0') {
    if (QStyle* style = QStyleFactory::create(QString::fromUtf8(look.style)))
      QApplication::setStyle(style);
  }
  QPalette palette = QApplication::style()->standardPalette();
  if (look.dark) {
    palette.setColor(QPalette::Window, QColor(0x35, 0x37, 0x3b));
    palette.setColor(QPalette::WindowText, QColor(0xe8, 0xe8, 0xe8));
    palette.setColor(QPalette::Base, QColor(0x25, 0x27, 0x2b));
    palette.setColor(QPalette::AlternateBase, QColor(0x30, 0x32, 0x36));
    palette.setColor(QPalette::Text, QColor(0xe8, 0xe8, 0xe8));
    palette.setColor(QPalette::Button, QColor(0x40, 0x43, 0x48));
    palette.setColor(QPalette::ButtonText, QColor(0xe8, 0xe8, 0xe8));
    palette.setColor(QPalette::Highlight, QColor(0x3d, 0x7a, 0xc8));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x80, 0x80, 0x80));
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x80, 0x80, 0x80));
  } else if (look.id == 166) {
    palette.setColor(QPalette::Window, QColor(0xdc, 0xe6, 0xf2));
    palette.setColor(QPalette::Button, QColor(0xe4, 0xec, 0xf7));
    palette.setColor(QPalette::Highlight, QColor(0x2a, 0x5d, 0xa8));
  }
  QApplication::setPalette(palette);
  StoreInt(*ctx_.store, SettingId::kApplicationLook, look_);
  ctx_.store->Flush();
  UpdateCommands();
}

QPrinter& MainWindow::Printer() {
  if (printer_ == nullptr) {
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer_->setPageOrientation(ctx_.info->orientation == 1 ? QPageLayout::Portrait
                                                             : QPageLayout::Landscape);
  }
  return *printer_;
}

bool MainWindow::PrintActive(QPrinter& printer) {
  ReportView* view = ActiveView();
  if (view == nullptr || !view->document().loaded()) return false;
  return PrintReport(view->document().report(), printer,
                     LoadReportLogo(PathToQ(ctx_.settings->AppLogo)),
                     PrintedNowText(ctx_.info->dateformat == kDateEU));
}

void MainWindow::OnPrint() {
  QPrintDialog dialog(&Printer(), this);
  if (dialog.exec() != QDialog::Accepted) return;
  if (!PrintActive(Printer()))
    ctx_.prompter->Message(kWarningCaption, "The report could not be printed.", Buttons::Ok,
                           Icon::Warning);
}

void MainWindow::OnPrintPreview() {
  QPrintPreviewDialog preview(&Printer(), this);
  connect(&preview, &QPrintPreviewDialog::paintRequested, this,
          [this](QPrinter* printer) { PrintActive(*printer); });
  preview.resize(1000, 760);
  preview.exec();
}

void MainWindow::OnPrintSetup() {
  QPageSetupDialog dialog(&Printer(), this);
  dialog.exec();
}

void MainWindow::OnSavePdf() {
  ReportView* view = ActiveView();
  if (view == nullptr || !view->document().loaded()) return;
  std::string path;
  // The record's own name is proposed, in the record folder.
  const std::string proposed =
      PathJoin(ctx_.info->filepath, ProposedPdfName(view->document().path()));
  if (!ctx_.prompter->ChooseSaveFile("Save as PDF", proposed, "PDF (*.pdf) |*.pdf||", path)) return;
  path = WithPdfExtension(path);
  if (!PrintReportToPdf(view->document().report(), PathToQ(path), ctx_.info->orientation == 1,
                        LoadReportLogo(PathToQ(ctx_.settings->AppLogo)),
                        PrintedNowText(ctx_.info->dateformat == kDateEU)))
    ctx_.prompter->Message(kWarningCaption, "Unable to write " + SystemNameToCp1252(path),
                           Buttons::Ok, Icon::Warning);
  else
    statusBar()->showMessage(QStringLiteral("Saved %1").arg(PathToQ(path)), 5000);
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
