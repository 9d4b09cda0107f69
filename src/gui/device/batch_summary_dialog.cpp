#include "gui/device/batch_summary_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "gui/device/directory_dialogs.h"
#include "gui/qt_text.h"

namespace kova {

BatchSummaryDialog::BatchSummaryDialog(std::vector<SavedRecordRow> rows, const std::string& heading,
                                       std::function<void()> show_folder, QWidget* parent)
    : QDialog(parent), rows_(std::move(rows)), show_folder_(std::move(show_folder)) {
  setWindowTitle(QStringLiteral("Downloaded Tests"));
  setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
  auto* column = new QVBoxLayout(this);
  auto* title = new QLabel(PathToQ(heading), this);
  title->setWordWrap(true);
  column->addWidget(title);

  list_ = new QTreeWidget(this);
  list_->setRootIsDecorated(false);
  list_->setUniformRowHeights(true);
  list_->setAlternatingRowColors(true);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list_->setHeaderLabels({QStringLiteral("Filename"), QStringLiteral("Serial No."),
                          QStringLiteral("Station"), QStringLiteral("Circuit"),
                          QStringLiteral("Date")});
  for (const SavedRecordRow& r : rows_) {
    auto* item = new QTreeWidgetItem(list_);
    item->setText(0, PathToQ(r.file_name));
    if (r.readable) {
      item->setText(1, ToQ(r.serial));
      item->setText(2, ToQ(r.station));
      item->setText(3, ToQ(r.circuit));
      item->setText(4, ToQ(r.date));
    } else {
      item->setText(1, QStringLiteral("(does not read as a record)"));
    }
  }
  // Every column as wide as its widest text: the names identify the tests.
  for (int c = 0; c < list_->columnCount(); ++c) list_->resizeColumnToContents(c);
  column->addWidget(list_, 1);

  message_ = new QLabel(this);
  column->addWidget(message_);

  auto* buttons = new QDialogButtonBox(this);
  open_all_ = buttons->addButton(QStringLiteral("Open &All"), QDialogButtonBox::AcceptRole);
  open_selected_ =
      buttons->addButton(QStringLiteral("Open &Selected"), QDialogButtonBox::ActionRole);
  show_folder_button_ =
      buttons->addButton(QStringLiteral("Show &Folder"), QDialogButtonBox::ActionRole);
  QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
  open_all_->setDefault(true);
  column->addWidget(buttons);
  connect(open_all_, &QPushButton::clicked, this, [this] { Choose(SummaryChoice::kOpenAll); });
  connect(open_selected_, &QPushButton::clicked, this,
          [this] { Choose(SummaryChoice::kOpenSelected); });
  connect(show_folder_button_, &QPushButton::clicked, this, [this] {
    if (show_folder_) show_folder_();
  });
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  connect(list_, &QTreeWidget::itemDoubleClicked, this,
          [this] { Choose(SummaryChoice::kOpenSelected); });

  int width = 0;
  for (int c = 0; c < list_->columnCount(); ++c) width += list_->columnWidth(c);
  // As tall as its rows need, up to a screenful of them: a few tests leave
  // no empty list below.
  const int rows_height = list_->sizeHintForRow(0) * static_cast<int>(rows_.size()) +
                          list_->header()->sizeHint().height() + 2 * list_->frameWidth() + 4;
  list_->setMinimumHeight(qMin(rows_height, 120));
  const int around = sizeHint().height() - list_->sizeHint().height();
  resize(qMax(520, width + 48), qBound(200, around + rows_height, 520));
}

void BatchSummaryDialog::Choose(SummaryChoice choice) {
  std::string message;
  std::vector<std::string> paths = PathsToOpen(rows_, choice, SelectedRows(list_), message);
  message_->setText(ToQ(message));
  if (paths.empty()) return;
  to_open_ = std::move(paths);
  accept();
}

}  // namespace kova
