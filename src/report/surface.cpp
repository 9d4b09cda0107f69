#include "report/surface.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include "report/text_flow.h"

namespace kova {

int Surface::DrawText(const Rect& box, const std::string& text, unsigned flags) {
  const std::vector<LaidLine> lines =
      LayOutText(*this, text, 0, box.Width(), (flags & kTextWordBreak) != 0, SIZE_MAX);
  const int L = Metrics().height;
  int y = box.top;
  for (const LaidLine& l : lines) {
    if (y >= box.bottom) break;
    if (!l.text.empty()) {
      TextLine({box.left, y, box.right, box.bottom}, l.text, (flags & kTextCenter) != 0);
    }
    y += L;
  }
  return static_cast<int>(lines.size());
}

void Surface::FillPolygon(const std::vector<Point>& points, Color color) {
  if (points.size() < 3) return;
  int top = points[0].y, bottom = points[0].y;
  for (const Point& p : points) {
    top = std::min(top, p.y);
    bottom = std::max(bottom, p.y);
  }
  std::vector<int> crossings;
  for (int y = top; y < bottom; ++y) {
    // Each edge crossing the middle of this row, by the row's centre.
    const double cy = y + 0.5;
    crossings.clear();
    for (size_t i = 0; i < points.size(); ++i) {
      const Point& a = points[i];
      const Point& b = points[(i + 1) % points.size()];
      if ((a.y <= cy) == (b.y <= cy)) continue;
      const double t = (cy - a.y) / (b.y - a.y);
      crossings.push_back(static_cast<int>(a.x + t * (b.x - a.x) + 0.5));
    }
    std::sort(crossings.begin(), crossings.end());
    for (size_t i = 0; i + 1 < crossings.size(); i += 2) {
      if (crossings[i] < crossings[i + 1])
        FillRect({crossings[i], y, crossings[i + 1], y + 1}, color);
    }
  }
}

}  // namespace kova
