#pragma once
// A surface that records what is drawn, with fixed font metrics: the line
// height is the font's height and a character is half as wide. Tests read
// the positions and texts back.

#include <string>
#include <vector>

#include "report/surface.h"

namespace kova {

struct DrawOp {
  enum Kind { kLine, kRectangle, kFrame, kFill, kText, kText16, kClip, kRestore, kPolygon } kind;
  Rect rect;         // line: (x1, y1, x2, y2); text: the box or (x, y, x, y)
  std::string text;  // Windows-1252, 16-bit text converted back
  Color pen;         // pen colour for lines and outlines, text colour for text
  Color brush;       // fill colour
  int pen_width = 0;
  FontSpec font;
  bool centred = false;
  PenStyle pen_style = PenStyle::kSolid;
  std::vector<Point> points;  // polygon: its corners; `rect` bounds them
};

class RecordingSurface : public Surface {
 public:
  void SelectFont(const FontSpec& font) override { font_ = font; }
  TextMetrics Metrics() override { return {font_.height, font_.height / 2}; }
  int TextWidth(const std::string& text) override {
    return static_cast<int>(text.size()) * (font_.height / 2);
  }
  void SetPen(Color color, PenStyle style, int width) override;
  void SetBrush(Color color) override { brush_ = color; }
  void SetTextColor(Color color) override { text_ = color; }
  void SetBackgroundColor(Color color) override { background_ = color; }
  void Line(int x1, int y1, int x2, int y2) override;
  void Rectangle(const Rect& r) override;
  void Frame(const Rect& r) override;
  void FillRect(const Rect& r, Color color) override;
  void FillPolygon(const std::vector<Point>& points, Color color) override;
  void TextLine(const Rect& box, const std::string& text, bool centred) override;
  void TextAt(int x, int y, const std::string& text) override;
  void TextAt16(int x, int y, const std::u16string& text) override;
  void SaveState() override;
  void ClipTo(const Rect& r) override;
  void RestoreState() override;

  const std::vector<DrawOp>& ops() const { return ops_; }
  // Text operations whose text contains `part`, in drawing order.
  std::vector<DrawOp> TextsContaining(const std::string& part) const;
  // The first text operation that starts with `prefix`; null when none.
  const DrawOp* FindText(const std::string& prefix) const;
  // Every colour used for pens, brushes, fills and texts.
  std::vector<Color> ColorsUsed() const;

 private:
  DrawOp Op(DrawOp::Kind kind, const Rect& r) const;
  std::vector<DrawOp> ops_;
  FontSpec font_;
  Color pen_, brush_, text_, background_;
  int pen_width_ = 1;
  PenStyle pen_style_ = PenStyle::kSolid;
  bool pen_visible_ = true;
};

}  // namespace kova
