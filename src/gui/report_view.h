#pragma once
// The window of one document: draws the document's current page through the
// report code at the window's size; Page Up/Down, Home and End page through
// the report, a double click asks for the "Edit" command.

#include <QWidget>
#include <memory>

#include "app/record_document.h"

namespace kova {

class ReportView : public QWidget {
  Q_OBJECT
 public:
  ReportView(std::unique_ptr<RecordDocument> document, QWidget* parent = nullptr);
  ~ReportView() override;

  RecordDocument& document() { return *document_; }
  const RecordDocument& document() const { return *document_; }
  // "Page n of m", or empty when nothing is loaded.
  QString PageText() const;
  // The window's title: the document's file name.
  QString TitleText() const;

 signals:
  void pageChanged();
  void editRequested();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  // A remote run's scratch result is saved under a chosen name first.
  void closeEvent(QCloseEvent* event) override;

 private:
  std::unique_ptr<RecordDocument> document_;
};

}  // namespace kova
