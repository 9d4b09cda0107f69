#include "report/surface.h"

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

}  // namespace kova
