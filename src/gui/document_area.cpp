// The main window's document area: the documents' windows in the MDI area
// (tabbed, cascaded or tiled), the start page while none is open, the
// "&Window" menu's list of documents, and opening and closing documents.

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyle>
#include <memory>

#include "app/comparison_settings.h"
#include "app/document_names.h"
#include "app/library_settings.h"
#include "app/start_page.h"
#include "app/test_browser.h"
#include "gui/main_window.h"
#include "gui/qt_text.h"
#include "gui/report_view.h"
#include "gui/start_page.h"
#include "library_stores/library_reference_keeper.h"
#include "records/record_file.h"

namespace kova {

void MainWindow::BuildDocumentArea() {
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

}  // namespace kova
