#include "gui/device/wait_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMovie>

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

void WaitDialog::SetText(const std::string& text) {
  const QString shown = DisplayText(text);
  PostToGuiThread(this, [this, shown] { text_->setText(shown); });
}

QString WaitDialog::Text() const { return text_->text(); }

bool WaitDialog::Run(const std::function<bool()>& operation) {
  return RunOnWorker(*this, operation);
}

}  // namespace kova
