// The main window's command bar and looks: the menus ("&File" with its
// "Test Plan", "File Utilities" and "Recent Files" submenus, the
// assessment, "&Window" and "&Help" menus), the "KOVA" command bar with its
// panels, one action per offered command, and the application's styles.

#include <QAction>
#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>

#include "gui/main_window.h"
#include "gui/qt_text.h"

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

}  // namespace kova
