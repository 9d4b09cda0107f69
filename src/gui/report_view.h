#pragma once
// The window of one document: draws the document's current page through the
// report code at the window's size; Page Up/Down, Home and End page through
// the report, a double click asks for the "Edit" command.

#include <QAction>
#include <QWidget>
#include <memory>

#include "app/record_document.h"
#include "app/settings_store.h"

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
  // The window's title: `name` (the file name, told apart from others of
  // its name) with the overlay count; "(no test loaded)" when empty.
  QString TitleText(const QString& name) const;
  QString TitleText() const;
  // The close was already agreed to (Exit asked about every document).
  void SetCloseConfirmed() { close_confirmed_ = true; }
  // The checkable "Calculation Details" command in the view's menu: the
  // details pages after the report's own pages, on screen and in print.
  // Its state is kept in `store` (which must outlive the view) for the next
  // documents.
  void OfferCalculationDetails(SettingsStore& store);
  // The command; null until offered.
  QAction* calculationDetailsAction() const { return details_action_; }

 signals:
  void pageChanged();
  void editRequested();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  // Unsaved work is offered for saving; Cancel keeps the window.
  void closeEvent(QCloseEvent* event) override;
  QSize sizeHint() const override { return QSize(800, 560); }

 private:
  std::unique_ptr<RecordDocument> document_;
  bool close_confirmed_ = false;
  QAction* details_action_ = nullptr;
};

}  // namespace kova
