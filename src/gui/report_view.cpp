#include "gui/report_view.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>

#include "app/settings_table.h"
#include "base/path.h"
#include "gui/qt_text.h"
#include "platform/qpainter_surface.h"
#include "report/display_test.h"

namespace kova {

ReportView::ReportView(std::unique_ptr<RecordDocument> document, QWidget* parent)
    : QWidget(parent), document_(std::move(document)) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(320, 240);
}

ReportView::~ReportView() = default;

void ReportView::OfferCalculationDetails(SettingsStore& store) {
  if (details_action_ != nullptr) return;
  details_action_ = new QAction(QStringLiteral("Calculation Details"), this);
  details_action_->setCheckable(true);
  details_action_->setChecked(document_->report().calculation_details_shown());
  addAction(details_action_);
  setContextMenuPolicy(Qt::ActionsContextMenu);
  connect(details_action_, &QAction::toggled, this, [this, &store](bool on) {
    document_->report().ShowCalculationDetails(on);
    StoreInt(store, SettingId::kCalculationDetails, on ? 1 : 0);
    update();
    emit pageChanged();
  });
}

QString ReportView::PageText() const {
  if (!document_->loaded() || document_->pagecount() == 0) return QString();
  return QStringLiteral("Page %1 of %2")
      .arg(document_->currentpage() + 1)
      .arg(document_->pagecount());
}

QString ReportView::TitleText() const { return TitleText(PathToQ(FileNameOf(document_->path()))); }

QString ReportView::TitleText(const QString& name) const {
  if (!document_->loaded() || name.isEmpty()) return QStringLiteral("(no test loaded)");
  QString title = name;
  if (document_->IsOverlay())
    title += QStringLiteral(" (overlay of %1)").arg(document_->overlaycount());
  return title;
}

void ReportView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  ReportDocument& report = document_->report();
  if (!report.loaded() || report.pagecount() == 0) return;
  // The page is drawn at the window's size on every paint; nothing is kept
  // but the page list, laid out again when the size or the list changed
  // (text too long for its page goes on over pages of its own).
  QPainterSurface surface(painter);
  const Rect whole{0, 0, width(), height()};
  if (!report.FittedFor(whole, false)) {
    const int count = report.pagecount(), current = report.currentpage();
    report.FitPages(surface, whole, false);
    if (report.pagecount() != count || report.currentpage() != current) {
      QMetaObject::invokeMethod(
          this, [this] { emit pageChanged(); }, Qt::QueuedConnection);
    }
  }
  CDisplayTest page;
  page.Setup(&surface, report.Record(0), false, &report);
  page.DrawPage(whole, report.currentpage());
}

void ReportView::keyPressEvent(QKeyEvent* event) {
  // The paging keys act on release; keep them from scrolling the area.
  switch (event->key()) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
      event->accept();
      return;
    default:
      QWidget::keyPressEvent(event);
  }
}

void ReportView::keyReleaseEvent(QKeyEvent* event) {
  if (event->isAutoRepeat() || !document_->loaded()) {
    QWidget::keyReleaseEvent(event);
    return;
  }
  bool changed = false;
  switch (event->key()) {
    case Qt::Key_PageUp:
      changed = document_->PageUp();
      break;
    case Qt::Key_PageDown:
      changed = document_->PageDown();
      break;
    case Qt::Key_Home:
      changed = document_->FirstPage();
      break;
    case Qt::Key_End:
      changed = document_->LastPage();
      break;
    default:
      QWidget::keyReleaseEvent(event);
      return;
  }
  if (changed) {
    update();
    emit pageChanged();
  }
}

void ReportView::mouseDoubleClickEvent(QMouseEvent*) { emit editRequested(); }

void ReportView::closeEvent(QCloseEvent* event) {
  if (!close_confirmed_ && !document_->ConfirmClose()) {
    event->ignore();
    return;
  }
  QWidget::closeEvent(event);
}

}  // namespace kova
