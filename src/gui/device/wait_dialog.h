#pragma once
// The wait dialog ("Please Wait ..."): the animated progress picture and a
// message. It runs one operation of the core on a worker thread and closes
// when the operation returns; the window's thread stays free, so the picture
// keeps turning and the program keeps repainting while the operation talks
// to the instrument, and the dialog, being modal, keeps clicks away from
// everything else (a second double-click cannot start a second operation).

#include <QDialog>
#include <QString>
#include <functional>
#include <string>

class QLabel;
class QPushButton;
class QMovie;

namespace kova {

// Texts of the core use CR (or CR LF) between lines; the window uses LF.
QString DisplayText(const std::string& cp1252);

class WaitDialog : public QDialog {
  Q_OBJECT
 public:
  WaitDialog(const std::string& text, QWidget* parent);
  ~WaitDialog() override;

  // Where "progress.gif" is found (the installation folder's copy).
  static void SetPicturePath(const QString& path);
  static QString PicturePath();

  void SetText(const std::string& text);
  // A "Cancel" button that calls `cancel` once (the operation is then
  // expected to end soon); Escape presses it too.
  void OfferCancel(const std::function<void()>& cancel);
  QString Text() const;
  // Shows the dialog, runs `operation` on a worker, closes; the operation's
  // result.
  bool Run(const std::function<bool()>& operation);
  // The picture; null when "progress.gif" could not be read.
  QMovie* Movie() const { return movie_; }

 protected:
  // Neither Esc nor the close button leaves an operation running unseen;
  // with a Cancel offered, Escape presses it.
  void reject() override;

 private:
  void OnCancel();
  QLabel* text_ = nullptr;
  QPushButton* cancel_button_ = nullptr;
  std::function<void()> cancel_;
  QMovie* movie_ = nullptr;
};

}  // namespace kova
