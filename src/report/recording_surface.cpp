#include "report/recording_surface.h"

#include <algorithm>

#include "base/codepage.h"

namespace kova {

DrawOp RecordingSurface::Op(DrawOp::Kind kind, const Rect& r) const {
  DrawOp op{kind, r, {}, pen_, brush_, pen_width_, font_, false, pen_style_, {}};
  return op;
}

void RecordingSurface::SetPen(Color color, PenStyle style, int width) {
  pen_ = color;
  pen_width_ = width;
  pen_visible_ = style != PenStyle::kNone;
  pen_style_ = style;
}

void RecordingSurface::Line(int x1, int y1, int x2, int y2) {
  ops_.push_back(Op(DrawOp::kLine, {x1, y1, x2, y2}));
}
void RecordingSurface::Rectangle(const Rect& r) { ops_.push_back(Op(DrawOp::kRectangle, r)); }
void RecordingSurface::Frame(const Rect& r) { ops_.push_back(Op(DrawOp::kFrame, r)); }
void RecordingSurface::FillRect(const Rect& r, Color color) {
  DrawOp op = Op(DrawOp::kFill, r);
  op.brush = color;
  ops_.push_back(op);
}

void RecordingSurface::FillPolygon(const std::vector<Point>& points, Color color) {
  if (points.empty()) return;
  Rect bounds{points[0].x, points[0].y, points[0].x, points[0].y};
  for (const Point& p : points) {
    bounds.left = std::min(bounds.left, p.x);
    bounds.top = std::min(bounds.top, p.y);
    bounds.right = std::max(bounds.right, p.x);
    bounds.bottom = std::max(bounds.bottom, p.y);
  }
  DrawOp op = Op(DrawOp::kPolygon, bounds);
  op.brush = color;
  op.points = points;
  ops_.push_back(op);
}

void RecordingSurface::TextLine(const Rect& box, const std::string& text, bool centred) {
  DrawOp op = Op(DrawOp::kText, box);
  op.text = text;
  op.pen = text_;
  op.centred = centred;
  ops_.push_back(op);
}

void RecordingSurface::TextAt(int x, int y, const std::string& text) {
  DrawOp op = Op(DrawOp::kText, {x, y, x, y});
  op.text = text;
  op.pen = text_;
  ops_.push_back(op);
}

void RecordingSurface::TextAt16(int x, int y, const std::u16string& text) {
  DrawOp op = Op(DrawOp::kText16, {x, y, x, y});
  op.text = Utf16ToCp1252(text);
  op.pen = text_;
  ops_.push_back(op);
}

void RecordingSurface::SaveState() {}
void RecordingSurface::ClipTo(const Rect& r) { ops_.push_back(Op(DrawOp::kClip, r)); }
void RecordingSurface::RestoreState() { ops_.push_back(Op(DrawOp::kRestore, {})); }

std::vector<DrawOp> RecordingSurface::TextsContaining(const std::string& part) const {
  std::vector<DrawOp> out;
  for (const DrawOp& op : ops_) {
    if ((op.kind == DrawOp::kText || op.kind == DrawOp::kText16) &&
        op.text.find(part) != std::string::npos) {
      out.push_back(op);
    }
  }
  return out;
}

const DrawOp* RecordingSurface::FindText(const std::string& prefix) const {
  for (const DrawOp& op : ops_) {
    if ((op.kind == DrawOp::kText || op.kind == DrawOp::kText16) &&
        op.text.compare(0, prefix.size(), prefix) == 0) {
      return &op;
    }
  }
  return nullptr;
}

std::vector<Color> RecordingSurface::ColorsUsed() const {
  std::vector<Color> out;
  auto add = [&out](Color c) {
    if (std::find(out.begin(), out.end(), c) == out.end()) out.push_back(c);
  };
  for (const DrawOp& op : ops_) {
    switch (op.kind) {
      case DrawOp::kLine:
      case DrawOp::kFrame:
      case DrawOp::kText:
      case DrawOp::kText16:
        add(op.pen);
        break;
      case DrawOp::kRectangle:
        add(op.pen);
        add(op.brush);
        break;
      case DrawOp::kFill:
      case DrawOp::kPolygon:
        add(op.brush);
        break;
      default:
        break;
    }
  }
  return out;
}

}  // namespace kova
