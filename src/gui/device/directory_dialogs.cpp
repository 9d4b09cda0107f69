#include "gui/device/directory_dialogs.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/batch_transfer.h"
#include "app/shown_test_date.h"
#include "device/rud_device.h"
#include "gui/device/transfer_dialog.h"
#include "gui/qt_text.h"

namespace kova {

QTreeWidget* MakeDirectoryList(QWidget* parent, const std::vector<DirectoryColumn>& columns) {
  auto* list = new QTreeWidget(parent);
  list->setObjectName(QStringLiteral("directory"));
  list->setRootIsDecorated(false);
  list->setUniformRowHeights(true);
  list->setAlternatingRowColors(true);
  list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->setAllColumnsShowFocus(true);
  list->setColumnCount(static_cast<int>(columns.size()));
  QStringList headers;
  for (const DirectoryColumn& c : columns) headers << QString::fromUtf8(c.header);
  list->setHeaderLabels(headers);
  const QFontMetrics metrics(list->font());
  int total = 0;
  for (size_t i = 0; i < columns.size(); ++i) {
    // The sample text's width, and never narrower than the header.
    const int width =
        std::max(metrics.horizontalAdvance(QString::fromUtf8(columns[i].width_sample)),
                 metrics.horizontalAdvance(headers[static_cast<int>(i)]) + 16) +
        24;  // room between columns
    list->setColumnWidth(static_cast<int>(i), width);
    total += width;
    if (columns[i].right_aligned)
      list->headerItem()->setTextAlignment(static_cast<int>(i), Qt::AlignRight | Qt::AlignVCenter);
  }
  list->setMinimumWidth(std::min(total + 24, 1000));
  list->header()->setStretchLastSection(true);
  return list;
}

namespace {

void AddRow(QTreeWidget* list, const std::vector<std::string>& texts,
            const std::vector<DirectoryColumn>& columns) {
  auto* item = new QTreeWidgetItem(list);
  for (size_t i = 0; i < texts.size() && i < columns.size(); ++i) {
    item->setText(static_cast<int>(i), ToQ(texts[i]));
    if (columns[i].right_aligned)
      item->setTextAlignment(static_cast<int>(i), Qt::AlignRight | Qt::AlignVCenter);
  }
}

}  // namespace

std::vector<int> SelectedRows(const QTreeWidget* list) {
  std::vector<int> rows;
  for (int i = 0; i < list->topLevelItemCount(); ++i)
    if (list->topLevelItem(i)->isSelected()) rows.push_back(i);
  return rows;
}

// --- Device Directory ----------------------------------------------------------

DeviceDirectoryDialog::DeviceDirectoryDialog(RudDevice& device, bool show_type, DateStyle dates,
                                             QWidget* parent)
    : QDialog(parent), device_(device) {
  setWindowTitle(QStringLiteral("Device Directory"));
  setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
  auto* column = new QVBoxLayout(this);
  const std::vector<DirectoryColumn> columns = TestDirectoryColumns(show_type);
  list_ = MakeDirectoryList(this, columns);
  // Row i stands for directory entry i: the list keeps the table's order.
  for (int i = 0; i < device.entrycount() && i < kMaxDirectoryEntries; ++i)
    AddRow(list_, ShownTestDirectoryRow(device.entry(i), show_type, dates), columns);
  column->addWidget(list_, 1);

  auto* bottom = new QHBoxLayout();
  auto* label = new QLabel(QStringLiteral("File Prefix:"), this);
  prefix_ = new QLineEdit(QString::fromUtf8(kDefaultTestPrefix), this);
  prefix_->setObjectName(QStringLiteral("prefix"));
  label->setBuddy(prefix_);
  prefix_->setMaximumWidth(220);
  bottom->addWidget(label);
  bottom->addWidget(prefix_);
  bottom->addStretch(1);
  download_ = new QPushButton(QStringLiteral("Download Test"), this);
  download_->setObjectName(QStringLiteral("download"));
  download_->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  bottom->addWidget(download_);
  bottom->addWidget(cancel);
  column->addLayout(bottom);
  connect(download_, &QPushButton::clicked, this, [this] { OnDownload(); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] { OnDownload(); });
  resize(list_->minimumWidth() + 24, 420);
}

void DeviceDirectoryDialog::OnDownload() {
  std::vector<TransferItem> items;
  if (!MakeDownloadItems(device_, PathFromQ(prefix_->text()), SelectedRows(list_), items)) return;
  TransferDialog transfer(this);
  BatchTransfer batch(device_, transfer, nullptr, exporter_);
  for (const TransferItem& item : items) batch.AddItem(item.number, item.name);
  transfer.BindBatch(batch, false);
  const bool ok = transfer.Run() == QDialog::Accepted;
  if (batch.aborted()) {
    device_.Report(DeviceStatus::BatchAborted(static_cast<long>(batch.written().size()),
                                              static_cast<long>(batch.items().size())));
  }
  if (!ok) return;  // the user may try again
  lastfile_ = batch.lastfile();
  written_ = batch.written();
  chosen_ = batch.items().size();
  folder_ = batch.folder();
  accept();
}

// --- Test Plan Directory ------------------------------------------------------------

PlanDirectoryDialog::PlanDirectoryDialog(RudDevice& device, PlanDirectoryMode mode, QWidget* parent)
    : QDialog(parent),
      device_(device),
      mode_(mode),
      rows_(PlanDirectoryRows(device.directory(), device.entrycount(), mode)) {
  setWindowTitle(QStringLiteral("Test Plan Directory"));
  setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
  auto* column = new QVBoxLayout(this);
  const std::vector<DirectoryColumn> columns = PlanDirectoryColumns();
  list_ = MakeDirectoryList(this, columns);
  for (const PlanDirectoryRow& row : rows_) AddRow(list_, row.texts, columns);
  column->addWidget(list_, 1);

  auto* bottom = new QHBoxLayout();
  auto* label = new QLabel(QStringLiteral("Filename Prefix:"), this);
  prefix_ = new QLineEdit(QString::fromUtf8(kDefaultPlanPrefix), this);
  prefix_->setObjectName(QStringLiteral("prefix"));
  prefix_->setMaximumWidth(200);
  label->setBuddy(prefix_);
  // The prefix names downloaded files; a slot choice writes none.
  label->setVisible(mode == PlanDirectoryMode::kDownload);
  prefix_->setVisible(mode == PlanDirectoryMode::kDownload);
  select_all_ = new QPushButton(QStringLiteral("Select All"), this);
  select_all_->setObjectName(QStringLiteral("selectall"));
  select_all_->setAutoDefault(false);
  bottom->addWidget(label);
  bottom->addWidget(prefix_);
  bottom->addWidget(select_all_);
  bottom->addStretch(1);
  auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  bottom->addWidget(box);
  column->addLayout(bottom);
  connect(select_all_, &QPushButton::clicked, list_, &QTreeWidget::selectAll);
  connect(box, &QDialogButtonBox::accepted, this, &PlanDirectoryDialog::accept);
  connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
  resize(list_->minimumWidth() + 24, 460);
}

void PlanDirectoryDialog::accept() {
  Prompter& prompter = device_.prompter();
  if (mode_ == PlanDirectoryMode::kSlot) {
    if (!ChoosePlanSlot(rows_, SelectedRows(list_), prompter, slot_)) return;
    QDialog::accept();
    return;
  }
  std::vector<int> numbers;
  if (!ChoosePlansToFetch(rows_, SelectedRows(list_), prompter, numbers)) return;
  TransferDialog transfer(this);
  BatchTransfer batch(device_, transfer);
  batch.planmode = true;
  batch.prefix = PathFromQ(prefix_->text());
  for (int number : numbers) batch.AddItem(number);
  transfer.BindBatch(batch, true);
  const bool ok = transfer.Run() == QDialog::Accepted;
  if (batch.aborted()) {
    device_.Report(DeviceStatus::BatchAborted(static_cast<long>(batch.written().size()),
                                              static_cast<long>(batch.items().size())));
  }
  if (!ok) return;
  written_ = batch.written();
  QDialog::accept();
}

}  // namespace kova
