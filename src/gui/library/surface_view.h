#pragma once
// A widget that paints through the report's Surface, so a picture drawn for
// paper looks the same on screen.

#include <QWidget>
#include <functional>

#include "report/surface.h"

namespace kova {

class SurfaceView : public QWidget {
 public:
  using Painter = std::function<void(Surface&, const Rect&)>;
  explicit SurfaceView(QWidget* parent = nullptr) : QWidget(parent) {}
  void SetPainter(Painter painter) {
    painter_ = std::move(painter);
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  Painter painter_;
};

}  // namespace kova
