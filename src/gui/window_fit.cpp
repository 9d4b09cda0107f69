#include "gui/window_fit.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "app/window_place.h"

namespace kova {

namespace {

PlaceRect ToPlace(const QRect& r) { return {r.x(), r.y(), r.width(), r.height()}; }
QRect ToRect(const PlaceRect& p) { return {p.x, p.y, p.width, p.height}; }

QRect AvailableFor(const QWidget* w) {
  const QScreen* screen = w->screen();
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? screen->availableGeometry() : QRect();
}

bool IsPlacedWindow(const QWidget* w) {
  if (!w->isWindow()) return false;
  const Qt::WindowType type = w->windowType();
  return type == Qt::Window || type == Qt::Dialog || type == Qt::Sheet;
}

// Moves and shrinks a window whose frame would reach past its screen's area.
void FitIntoScreen(QWidget* w) {
  const QRect available = AvailableFor(w);
  if (available.isEmpty()) return;
  const QRect frame = w->frameGeometry(), inner = w->geometry();
  // The area the window's contents may take, inside its frame's margins.
  const QRect contents_area =
      available.adjusted(inner.left() - frame.left(), inner.top() - frame.top(),
                         inner.right() - frame.right(), inner.bottom() - frame.bottom());
  const QRect target = ToRect(FitWithin(ToPlace(inner), ToPlace(contents_area)));
  if (target != inner) w->setGeometry(target);
}

class ScreenFitter : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
      auto* w = static_cast<QWidget*>(watched);
      if (IsPlacedWindow(w)) FitIntoScreen(w);
    }
    return false;
  }
};

class PlaceKeeper : public QObject {
 public:
  PlaceKeeper(QWidget* window, SettingsStore& store, std::string name, QSize preferred)
      : QObject(window),
        window_(window),
        store_(store),
        name_(std::move(name)),
        preferred_(preferred) {
    Restore();  // before the first show, so the window never jumps
  }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == window_ && (event->type() == QEvent::Hide || event->type() == QEvent::Close))
      Keep();
    return false;
  }

 private:
  void Restore() {
    const QRect available = AvailableFor(window_);
    if (available.isEmpty()) {
      window_->resize(preferred_);
      return;
    }
    const std::optional<PlaceRect> kept = KeptPlace(store_, name_, ToPlace(available));
    window_->setGeometry(ToRect(
        kept ? *kept : CentredPlace(preferred_.width(), preferred_.height(), ToPlace(available))));
  }
  void Keep() {
    const QRect available = AvailableFor(window_);
    if (available.isEmpty() || window_->isMinimized()) return;
    const QRect place = window_->isMaximized() ? window_->normalGeometry() : window_->geometry();
    if (place.isEmpty()) return;
    KeepPlace(store_, name_, ToPlace(available), ToPlace(place));
    store_.Flush();
  }

  QWidget* window_;
  SettingsStore& store_;
  std::string name_;
  QSize preferred_;
};

}  // namespace

void FitWindowsToScreens(QApplication& app) { app.installEventFilter(new ScreenFitter(&app)); }

void KeepWindowPlace(QWidget* window, SettingsStore& store, const std::string& name,
                     QSize preferred) {
  window->installEventFilter(new PlaceKeeper(window, store, name, preferred));
}

}  // namespace kova
