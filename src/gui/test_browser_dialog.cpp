#include "gui/test_browser_dialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "base/format.h"
#include "gui/qt_text.h"

namespace kova {

namespace {

constexpr const char* kListName = "TestBrowser";
constexpr int kListId = 1;
constexpr int kFillChunk = 40;
constexpr int kRowRole = Qt::UserRole;
constexpr int kSortRole = Qt::UserRole + 1;
constexpr int kDateColumn = 2;
constexpr int kMaxColumnWidth = 360;

// Sorts the date and count columns by their values, not their texts.
class BrowserItem : public QTreeWidgetItem {
 public:
  using QTreeWidgetItem::QTreeWidgetItem;
  bool operator<(const QTreeWidgetItem& other) const override {
    const int column = treeWidget() != nullptr ? treeWidget()->sortColumn() : 0;
    const QVariant a = data(column, kSortRole);
    const QVariant b = other.data(column, kSortRole);
    if (a.isValid() && b.isValid()) return a.toLongLong() < b.toLongLong();
    return QTreeWidgetItem::operator<(other);
  }
};

std::string SpreadSpaces(const std::string& text) {
  std::string out;
  for (char c : text) out += c == ' ' ? std::string(6, ' ') : std::string(1, c);
  return out;
}

}  // namespace

TestBrowserDialog::TestBrowserDialog(CAppInfo& info, SettingsStore& store, Prompter& prompter,
                                     const std::string& title, bool multiple, QWidget* parent)
    : QDialog(parent), info_(info), store_(store), prompter_(prompter), multiple_(multiple) {
  setWindowTitle(title.empty() ? QStringLiteral("Open Test") : ToQ(title));
  auto* layout = new QVBoxLayout(this);
  auto* path_row = new QHBoxLayout;
  folder_ = new QLineEdit(this);
  folder_->setReadOnly(true);
  auto* select_path = new QPushButton(QStringLiteral("Select Path"), this);
  path_row->addWidget(folder_, 1);
  path_row->addWidget(select_path);
  layout->addLayout(path_row);

  list_ = new QTreeWidget(this);
  list_->setRootIsDecorated(false);
  list_->setUniformRowHeights(true);
  list_->setAlternatingRowColors(true);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setSelectionMode(multiple ? QAbstractItemView::ExtendedSelection
                                   : QAbstractItemView::SingleSelection);
  QStringList headers;
  for (const BrowserColumn& c : ParseColumnLayout(kBrowserColumns)) headers << ToQ(c.name);
  list_->setHeaderLabels(headers);
  list_->setSortingEnabled(true);
  layout->addWidget(list_, 1);

  auto* bottom = new QHBoxLayout;
  count_ = new QLabel(this);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  bottom->addWidget(count_, 1);
  bottom->addWidget(buttons);
  layout->addLayout(bottom);

  connect(select_path, &QPushButton::clicked, this, &TestBrowserDialog::SelectPath);
  connect(buttons, &QDialogButtonBox::accepted, this, &TestBrowserDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &TestBrowserDialog::reject);
  connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] { accept(); });

  timer_ = new QTimer(this);
  timer_->setInterval(0);
  connect(timer_, &QTimer::timeout, this, &TestBrowserDialog::FillStep);

  RestoreColumns();
  resize(960, 520);
  Fill();
}

TestBrowserDialog::~TestBrowserDialog() = default;

void TestBrowserDialog::RestoreColumns() {
  const std::vector<BrowserColumn> columns = ParseColumnLayout(kBrowserColumns);
  std::vector<unsigned char> stored;
  const bool have =
      LoadBinary(store_, SettingRef::OfList(SettingId::kListLayout, kListName, kListId), stored) &&
      stored.size() == columns.size() * 2;
  for (size_t i = 0; i < columns.size(); ++i) {
    int width = columns[i].width;
    if (have) width = stored[2 * i] | (stored[2 * i + 1] << 8);
    list_->setColumnWidth(static_cast<int>(i), width > 10 ? width : columns[i].width);
  }
  // A sort column kept for the layout before the serial number came is
  // not taken: its numbers meant other columns.
  const int column =
      have ? LoadInt(store_, SettingRef::OfList(SettingId::kListSortColumn, kListName, kListId))
           : -1;
  const int order =
      have ? LoadInt(store_, SettingRef::OfList(SettingId::kListSortOrder, kListName, kListId)) : 0;
  // Newest first unless the user chose another order last time.
  list_->sortByColumn(column >= 0 && column < list_->columnCount() ? column : kDateColumn,
                      order == 1 ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void TestBrowserDialog::WidenColumnsToContent() {
  // A column narrower than its widest text grows to hold it (up to a limit:
  // a hostile comment does not push the others off the screen); columns
  // the user made wider stay so.
  for (int c = 0; c < list_->columnCount(); ++c) {
    const int kept = list_->columnWidth(c);
    list_->resizeColumnToContents(c);
    list_->setColumnWidth(c, qBound(kept, list_->columnWidth(c), qMax(kept, kMaxColumnWidth)));
  }
}

void TestBrowserDialog::StoreColumns() const {
  std::vector<unsigned char> widths;
  for (int i = 0; i < list_->columnCount(); ++i) {
    const int w = list_->columnWidth(i);
    widths.push_back(static_cast<unsigned char>(w & 0xFF));
    widths.push_back(static_cast<unsigned char>((w >> 8) & 0xFF));
  }
  StoreBinary(store_, SettingRef::OfList(SettingId::kListLayout, kListName, kListId), widths);
  StoreInt(store_, SettingRef::OfList(SettingId::kListSortColumn, kListName, kListId),
           list_->header()->sortIndicatorSection());
  StoreInt(store_, SettingRef::OfList(SettingId::kListSortOrder, kListName, kListId),
           list_->header()->sortIndicatorOrder() == Qt::AscendingOrder ? 1 : 0);
  store_.Flush();
}

void TestBrowserDialog::Fill() {
  timer_->stop();
  list_->clear();
  rows_.clear();
  shown_ = 0;
  const std::string folder = PathFromQ(QDir::currentPath());
  folder_->setText(PathToQ(folder));
  scan_ = std::make_unique<RecordFolderScan>(folder, RecordDefaultsFrom(info_));
  count_->setText(QStringLiteral("Reading %1 files...").arg(scan_->CandidateCount()));
  FillStep();
}

bool TestBrowserDialog::Filling() const { return scan_ != nullptr && !scan_->Done(); }

void TestBrowserDialog::FillStep() {
  if (scan_ == nullptr) return;
  const bool more = scan_->Step(kFillChunk);
  const std::vector<BrowserRow>& rows = scan_->Rows();
  list_->setSortingEnabled(false);
  QList<QTreeWidgetItem*> items;
  for (; shown_ < rows.size(); ++shown_) {
    const BrowserRow& r = rows[shown_];
    auto* item = new BrowserItem;
    item->setText(0, PathToQ(r.filename));
    item->setText(1, ToQ(r.serial));
    item->setText(2, ToQ(SpreadSpaces(r.datetext)));
    item->setData(2, kSortRole, static_cast<qlonglong>(r.datekey));
    item->setText(3, QString::number(r.numtests));
    item->setData(3, kSortRole, r.numtests);
    item->setText(4, ToQ(r.company));
    item->setText(5, ToQ(r.station));
    item->setText(6, ToQ(r.circuit));
    item->setData(0, kRowRole, static_cast<qulonglong>(rows_.size()));
    rows_.push_back(r);
    items << item;
  }
  list_->addTopLevelItems(items);
  list_->setSortingEnabled(true);
  if (more) {
    if (!timer_->isActive()) timer_->start();
  } else {
    timer_->stop();
    WidenColumnsToContent();
    count_->setText(rows_.size() >= static_cast<size_t>(kBrowserMaxFiles)
                        ? QStringLiteral("%1 tests (the first %1 of the folder)").arg(rows_.size())
                        : QStringLiteral("%1 tests").arg(rows_.size()));
  }
}

void TestBrowserDialog::FinishFill() {
  while (Filling()) FillStep();
}

std::vector<BrowserRow> TestBrowserDialog::ShownRows() const {
  std::vector<BrowserRow> shown;
  for (int i = 0; i < list_->topLevelItemCount(); ++i)
    shown.push_back(rows_[list_->topLevelItem(i)->data(0, kRowRole).toULongLong()]);
  return shown;
}

void TestBrowserDialog::SelectPath() {
  std::string folder = PathFromQ(QDir::currentPath());
  if (!prompter_.ChooseFolder("Select Path", folder, folder)) return;
  info_.filepath = folder;
  StoreText(store_, SettingId::kFilePath, folder);
  store_.Flush();
  QDir::setCurrent(PathToQ(folder));
  Fill();
}

void TestBrowserDialog::accept() {
  FinishFill();
  // Selected rows in list order.
  std::vector<int> selected;
  for (int i = 0; i < list_->topLevelItemCount(); ++i) {
    QTreeWidgetItem* item = list_->topLevelItem(i);
    if (item->isSelected()) selected.push_back(item->data(0, kRowRole).toInt());
  }
  std::string message;
  result_ = AcceptSelection(rows_, selected, multiple_, message);
  if (result_.empty()) {
    prompter_.Message(kDeviceCaption, message, Buttons::Ok, Icon::Information);
    return;
  }
  QDialog::accept();
}

void TestBrowserDialog::done(int r) {
  timer_->stop();
  StoreColumns();
  QDialog::done(r);
}

bool BrowserRecordChooser::Choose(const std::string& title, bool multiple,
                                  std::vector<std::string>& files) {
  TestBrowserDialog dialog(info_, store_, prompter_, title, multiple, parent_);
  if (dialog.exec() != QDialog::Accepted) return false;
  files = dialog.Result();
  return !files.empty();
}

}  // namespace kova
