#include "gui/device/transfer_dialog.h"

#include <QApplication>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/batch_transfer.h"
#include "device/remote_run.h"
#include "gui/device/gui_thread.h"
#include "gui/device/wait_dialog.h"
#include "gui/qt_text.h"

namespace kova {
namespace {

constexpr int kItemUnits = 1000;  // progress bar units per item
// Until one item has come, the size of a typical reply.
constexpr size_t kTypicalRecordBytes = 40000;
constexpr size_t kTypicalPlanBytes = 2200;

QLabel* AddLabel(QWidget* parent, const char* name) {
  auto* label = new QLabel(parent);
  label->setObjectName(QString::fromUtf8(name));
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

}  // namespace

TransferDialog::TransferDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Transferring Test"));
  setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
  setModal(true);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(16, 14, 16, 12);
  column->setSpacing(8);

  auto* form = new QFormLayout();
  form->setLabelAlignment(Qt::AlignLeft);
  status_ = AddLabel(this, "status");
  form->addRow(QStringLiteral("Status:"), status_);
  column->addLayout(form);

  line_ = AddLabel(this, "line");
  line_->setFrameShape(QFrame::StyledPanel);
  line_->setMinimumHeight(line_->fontMetrics().height() * 2 + 8);
  line_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  line_->setWordWrap(true);
  line_->setMargin(4);
  column->addWidget(line_);

  prompt_ = AddLabel(this, "prompt");
  prompt_->setWordWrap(true);
  QFont bold = prompt_->font();
  bold.setBold(true);
  prompt_->setFont(bold);
  column->addWidget(prompt_);

  item_text_ = AddLabel(this, "items");
  column->addWidget(item_text_);
  progress_ = new QProgressBar(this);
  progress_->setObjectName(QStringLiteral("progress"));
  progress_->setRange(0, kItemUnits);
  progress_->setValue(0);
  progress_->setTextVisible(false);
  column->addWidget(progress_);

  auto* buttons = new QHBoxLayout();
  buttons->addStretch(1);
  continue_ = new QPushButton(QStringLiteral("Continue"), this);
  continue_->setObjectName(QStringLiteral("continue"));
  continue_->hide();
  abort_ = new QPushButton(QStringLiteral("Abort"), this);
  abort_->setObjectName(QStringLiteral("abort"));
  abort_->setAutoDefault(false);
  continue_->setAutoDefault(false);
  buttons->addWidget(continue_);
  buttons->addWidget(abort_);
  column->addLayout(buttons);
  connect(abort_, &QPushButton::clicked, this, [this] { OnAbort(); });
  connect(continue_, &QPushButton::clicked, this, [this] { OnContinue(); });
  setMinimumWidth(480);
}

TransferDialog::~TransferDialog() {
  if (wait_cursor_) QApplication::restoreOverrideCursor();
}

void TransferDialog::BindBatch(BatchTransfer& batch, bool plans) {
  plans_ = plans;
  operation_ = [&batch] { return batch.RunTransfers(); };
  abort_action_ = [&batch] { batch.Abort(); };
  continue_action_ = nullptr;
}

void TransferDialog::BindRun(RemoteRun& run) {
  setWindowTitle(QStringLiteral("Running test"));
  operation_ = [&run] { return run.RunTest(); };
  abort_action_ = [&run] { run.Abort(); };
  continue_action_ = [&run] { run.Continue(); };
  count_ = 1;
  item_text_->setText(QStringLiteral("Sending the plan to the instrument"));
  progress_->setRange(0, 0);  // busy until the record text comes
}

int TransferDialog::Run() {
  running_ = true;
  const bool ok = RunOnWorker(
      *this, operation_ ? operation_ : [] { return false; });
  running_ = false;
  if (wait_cursor_) {
    QApplication::restoreOverrideCursor();
    wait_cursor_ = false;
  }
  setResult(ok ? Accepted : Rejected);
  return result();
}

QString TransferDialog::Status() const { return status_->text(); }
QString TransferDialog::Line() const { return line_->text(); }
QString TransferDialog::Prompt() const { return prompt_->text(); }
QString TransferDialog::ProgressText() const { return item_text_->text(); }

void TransferDialog::reject() {
  if (running_) {
    OnAbort();
    return;
  }
  QDialog::reject();
}

void TransferDialog::OnAbort() {
  if (!running_) return;
  abort_clock_.start();
  abort_->setEnabled(false);
  if (abort_action_) abort_action_();  // the worker ends; the window closes then
}

void TransferDialog::OnContinue() {
  // One press answers one prompt: the button goes until the instrument asks
  // again, so a second press cannot be taken for the next prompt.
  continue_->hide();
  if (continue_action_) continue_action_();
}

void TransferDialog::SetStatusText(const std::string& text) {
  const QString shown = ToQ(text);
  PostToGuiThread(this, [this, shown] { status_->setText(shown); });
}

void TransferDialog::SetLineText(const std::string& text) {
  QString shown = ToQ(text);
  while (shown.endsWith('\n') || shown.endsWith('\r')) shown.chop(1);
  PostToGuiThread(this, [this, shown] {
    line_->setText(shown);
    // The run has moved on from sending the plan: the instrument measures.
    if (progress_->maximum() == 0)
      item_text_->setText(QStringLiteral("The instrument is running the test"));
  });
}

void TransferDialog::SetPromptText(const std::string& text) {
  const QString shown = DisplayText(text);
  PostToGuiThread(this, [this, shown] {
    prompt_->setText(shown);
    if (progress_->maximum() == 0 && !shown.isEmpty())
      item_text_->setText(QStringLiteral("Waiting for you: connect the cables, then Continue"));
  });
}

void TransferDialog::ShowContinue(bool shown) {
  PostToGuiThread(this, [this, shown] {
    continue_->setVisible(shown);
    if (shown) continue_->setFocus();
  });
}

void TransferDialog::SetWaitCursor(bool on) {
  PostToGuiThread(this, [this, on] { ShowWaitCursor(on); });
}

void TransferDialog::ShowWaitCursor(bool on) {
  if (on == wait_cursor_) return;
  wait_cursor_ = on;
  if (!on) {
    QApplication::restoreOverrideCursor();
    return;
  }
  // The run is over for the user: the window goes at once, the wait cursor
  // stays while the instrument cancels the test and the link is checked.
  hide();
  if (abort_clock_.isValid()) abort_to_hidden_ms_ = abort_clock_.elapsed();
  QApplication::setOverrideCursor(Qt::WaitCursor);
}

void TransferDialog::Refresh() {}

void TransferDialog::ItemStarted(size_t index, size_t count, int number, const std::string& name) {
  PostToGuiThread(this, [=] { ShowItemStarted(index, count, number, name); });
}

void TransferDialog::ShowItemStarted(size_t index, size_t count, int number,
                                     const std::string& name) {
  // Downloads have no instrument lines to show: the file being written.
  line_->setText(QStringLiteral("To %1").arg(QFileInfo(PathToQ(name)).fileName()));
  index_ = index;
  count_ = count;
  number_ = number;
  bytes_ = 0;
  if (expected_bytes_ == 0) expected_bytes_ = plans_ ? kTypicalPlanBytes : kTypicalRecordBytes;
  if (count <= 1) {
    // One reply of unknown size: a busy bar and the bytes, not a guess.
    progress_->setRange(0, 0);
  } else {
    progress_->setRange(0, static_cast<int>(count) * kItemUnits);
    progress_->setValue(static_cast<int>(index) * kItemUnits);
  }
  ShowBytes();
}

void TransferDialog::Progress(const TransferProgress& progress) {
  PostToGuiThread(this, [this, progress] { ShowProgress(progress); });
}

void TransferDialog::ShowProgress(const TransferProgress& progress) {
  const size_t bytes = progress.bytes;
  bytes_ = bytes;
  // A single reply (resend, a run's record) keeps the busy bar: its size is
  // not known before it ends.
  if (expected_bytes_ > 0 && progress_->maximum() > 0) {
    // Within an item the bar moves with the bytes, never past the item's end.
    const size_t part = std::min<size_t>(bytes * kItemUnits / expected_bytes_, kItemUnits - 50);
    progress_->setValue(static_cast<int>(index_ * kItemUnits + part));
  }
  ShowBytes();
}

void TransferDialog::ItemEnded(size_t index, bool ok, const std::string&) {
  PostToGuiThread(this, [this, index, ok] { ShowItemEnded(index, ok); });
}

void TransferDialog::ShowItemEnded(size_t index, bool ok) {
  if (ok && bytes_ > 0) expected_bytes_ = bytes_;
  if (progress_->maximum() == 0) progress_->setRange(0, kItemUnits * static_cast<int>(index + 1));
  progress_->setValue(static_cast<int>((index + 1) * kItemUnits));
  ShowBytes();
}

void TransferDialog::ShowBytes() {
  if (number_ < 0 || count_ <= 1) {
    item_text_->setText(QStringLiteral("%1 bytes received").arg(bytes_));
    return;
  }
  item_text_->setText(QStringLiteral("%1 %2 (%3 of %4): %5 bytes received")
                          .arg(plans_ ? QStringLiteral("Plan") : QStringLiteral("Test"))
                          .arg(number_)
                          .arg(index_ + 1)
                          .arg(count_)
                          .arg(bytes_));
}

}  // namespace kova
