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
  QString Text() const;
  // Shows the dialog, runs `operation` on a worker, closes; the operation's
  // result.
  bool Run(const std::function<bool()>& operation);
  // The picture; null when "progress.gif" could not be read.
  QMovie* Movie() const { return movie_; }

 protected:
  // Neither Esc nor the close button leaves an operation running unseen.
  void reject() override {}

 private:
  QLabel* text_ = nullptr;
  QMovie* movie_ = nullptr;
};

}  // namespace kova
