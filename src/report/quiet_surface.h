#pragma once
// A surface that measures like another one and draws nothing: a page is laid
// out on it to learn where its text runs, with the real surface's fonts.

#include <string>

#include "report/surface.h"

namespace kova {

class QuietSurface : public Surface {
 public:
  explicit QuietSurface(Surface& measure) : measure_(measure) {}

  void SelectFont(const FontSpec& font) override { measure_.SelectFont(font); }
  TextMetrics Metrics() override { return measure_.Metrics(); }
  int TextWidth(const std::string& text) override { return measure_.TextWidth(text); }

  void SetPen(Color, PenStyle, int) override {}
  void SetBrush(Color) override {}
  void SetTextColor(Color) override {}
  void SetBackgroundColor(Color) override {}
  void Line(int, int, int, int) override {}
  void Rectangle(const Rect&) override {}
  void Frame(const Rect&) override {}
  void FillRect(const Rect&, Color) override {}
  void FillPolygon(const std::vector<Point>&, Color) override {}
  void TextLine(const Rect&, const std::string&, bool) override {}
  void TextAt(int, int, const std::string&) override {}
  void TextAt16(int, int, const std::u16string&) override {}
  void SaveState() override {}
  void ClipTo(const Rect&) override {}
  void RestoreState() override {}

 private:
  Surface& measure_;
};

}  // namespace kova
