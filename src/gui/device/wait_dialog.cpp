#include "gui/device/wait_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMovie>
#include <QPushButton>

#include "gui/device/gui_thread.h"
#include "gui/qt_text.h"

namespace kova {
namespace {

QString& PictureLocation() {
  static QString path;
  return path;
}

}  // namespace

QString DisplayText(const std::string& cp1252) {
  QString text = ToQ(cp1252);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace('\r', '\n');
  return text;
}

void WaitDialog::SetPicturePath(const QString& path) { PictureLocation() = path; }
QString WaitDialog::PicturePath() { return PictureLocation(); }

WaitDialog::WaitDialog(const std::string& text, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Please Wait ..."));
  setWindowFlags(windowFlags() & ~Qt::WindowCloseButtonHint & ~Qt::WindowContextHelpButtonHint);
  setModal(true);
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(18, 18, 24, 18);
  row->setSpacing(18);
  auto* picture = new QLabel(this);
  picture->setObjectName(QStringLiteral("picture"));
  picture->setFixedSize(48, 48);
  movie_ = new QMovie(PicturePath(), QByteArray(), this);
  if (movie_->isValid()) {
    picture->setMovie(movie_);
    movie_->start();
  } else {
    delete movie_;
    movie_ = nullptr;
    picture->hide();
  }
  row->addWidget(picture, 0, Qt::AlignTop);
  text_ = new QLabel(DisplayText(text), this);
  text_->setObjectName(QStringLiteral("message"));
  text_->setMinimumWidth(300);
  text_->setWordWrap(true);
  row->addWidget(text_, 1);
}

WaitDialog::~WaitDialog() = default;

void WaitDialog::OfferCancel(const std::function<void()>& cancel) {
  cancel_ = cancel;
  if (cancel_button_ != nullptr) return;
  cancel_button_ = new QPushButton(QStringLiteral("Cancel"), this);
  cancel_button_->setObjectName(QStringLiteral("cancel"));
  auto* row = static_cast<QHBoxLayout*>(layout());
  row->addWidget(cancel_button_, 0, Qt::AlignBottom);
  connect(cancel_button_, &QPushButton::clicked, this, [this] { OnCancel(); });
}

void WaitDialog::reject() {
  if (cancel_) OnCancel();
}

void WaitDialog::OnCancel() {
  if (!cancel_ || !cancel_button_->isEnabled()) return;
  // Once: the operation winds down and the window closes when it returns.
  cancel_button_->setEnabled(false);
  text_->setText(QStringLiteral("Cancelling ..."));
  cancel_();
}

void WaitDialog::SetText(const std::string& text) {
  const QString shown = DisplayText(text);
  PostToGuiThread(this, [this, shown] { text_->setText(shown); });
}

QString WaitDialog::Text() const { return text_->text(); }

bool WaitDialog::Run(const std::function<bool()>& operation) {
  return RunOnWorker(*this, operation);
}

}  // namespace kova
