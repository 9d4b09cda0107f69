#include "gui/start_page.h"

#include <QAction>
#include <QCommandLinkButton>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/start_page.h"
#include "base/path.h"
#include "gui/qt_text.h"

namespace kova {

StartPage::StartPage(std::function<QAction*(CommandId)> action,
                     std::function<void(const std::string&)> open, QWidget* parent)
    : QWidget(parent), action_(std::move(action)), open_(std::move(open)) {
  setObjectName(QStringLiteral("StartPage"));
  setAutoFillBackground(true);
  auto* outer = new QVBoxLayout(this);
  outer->addStretch(1);
  auto* column = new QFrame(this);
  column->setMaximumWidth(560);
  auto* layout = new QVBoxLayout(column);
  auto* title = new QLabel(QString::fromUtf8(kStartPageTitle), column);
  QFont big = title->font();
  big.setPointSizeF(big.pointSizeF() * 1.5);
  big.setBold(true);
  title->setFont(big);
  layout->addWidget(title);
  actions_ = new QVBoxLayout();
  layout->addLayout(actions_);
  auto* recent_title = new QLabel(QString::fromUtf8(kStartRecentTitle), column);
  QFont bold = recent_title->font();
  bold.setBold(true);
  recent_title->setFont(bold);
  layout->addSpacing(12);
  layout->addWidget(recent_title);
  recent_ = new QVBoxLayout();
  layout->addLayout(recent_);
  kept_ = new QLabel(column);
  kept_->setObjectName(QStringLiteral("RecordsKept"));
  kept_->setWordWrap(true);
  layout->addSpacing(12);
  layout->addWidget(kept_);
  auto* centre = new QHBoxLayout();
  centre->addStretch(1);
  centre->addWidget(column, 3);
  centre->addStretch(1);
  outer->addLayout(centre);
  outer->addStretch(2);
}

void StartPage::Refresh(const std::vector<std::string>& recent, const std::string& kept_text) {
  // In the table's order, whenever the command's handler arrived.
  int at = 0;
  for (const StartAction& start : StartActions()) {
    QAction* action = action_(start.command);
    const bool shown = std::find(shown_.begin(), shown_.end(), start.command) != shown_.end();
    if (action != nullptr && !shown) {
      auto* button = new QCommandLinkButton(QString::fromUtf8(start.text), this);
      button->setDescription(action->text().remove(QLatin1Char('&')));
      button->setObjectName(QString::fromUtf8(start.text));
      connect(button, &QCommandLinkButton::clicked, action, &QAction::trigger);
      actions_->insertWidget(at, button);
      shown_.insert(shown_.begin() + at, start.command);
    }
    if (action != nullptr) ++at;
  }

  // Later: the link being clicked may be the one that asked for this.
  while (QLayoutItem* item = recent_->takeAt(0)) {
    if (QWidget* w = item->widget()) {
      w->hide();
      w->deleteLater();
    }
    delete item;
  }
  if (recent.empty()) recent_->addWidget(new QLabel(QString::fromUtf8(kStartNoRecent), this));
  for (const std::string& path : recent) {
    auto* link = new QPushButton(PathToQ(FileNameOf(path)), this);
    link->setFlat(true);
    link->setStyleSheet(QStringLiteral("text-align: left; padding: 2px;"));
    link->setToolTip(PathToQ(path));
    link->setCursor(Qt::PointingHandCursor);
    connect(link, &QPushButton::clicked, this, [this, path] { open_(path); });
    recent_->addWidget(link);
    link->show();
  }
  kept_->setText(ToQ(kept_text));
}

}  // namespace kova
