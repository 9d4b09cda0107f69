#pragma once
// The drawing operations the report needs, on any device: a window, a
// printer page, a PDF page or a picture. Coordinates are device units
// (pixels on screen, dots on paper). Texts are Windows-1252 bytes unless a
// call says 16-bit.

#include <cstdint>
#include <string>
#include <vector>

namespace kova {

struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  Rect Inset(int d) const { return {left + d, top + d, right - d, bottom - d}; }
};

struct Point {
  int x = 0, y = 0;
};

struct Color {
  uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Color& o) const { return r == o.r && g == o.g && b == o.b; }
  bool operator!=(const Color& o) const { return !(*this == o); }
};

enum class PenStyle { kSolid, kNone, kDash };

struct FontSpec {
  std::string face;  // "Courier New" or "Arial"
  int height = 0;    // character cell height in device units
  int weight = 400;  // 100..900, 400 normal, 700 bold
  bool fixed_pitch = false;
};

struct TextMetrics {
  int height = 0;          // line height L
  int ave_char_width = 0;  // average character width cw
};

// Flags of DrawText.
enum TextFlags : unsigned {
  kTextLeft = 0,
  kTextCenter = 1u << 0,     // every line centred in the rectangle
  kTextWordBreak = 1u << 1,  // long lines wrap at blanks
};

class Surface {
 public:
  virtual ~Surface() = default;

  virtual void SelectFont(const FontSpec& font) = 0;
  virtual TextMetrics Metrics() = 0;
  // Width of one line of text in the selected font.
  virtual int TextWidth(const std::string& text) = 0;

  virtual void SetPen(Color color, PenStyle style, int width) = 0;
  virtual void SetBrush(Color color) = 0;
  virtual void SetTextColor(Color color) = 0;
  virtual void SetBackgroundColor(Color color) = 0;

  virtual void Line(int x1, int y1, int x2, int y2) = 0;
  // Filled with the brush and outlined with the pen.
  virtual void Rectangle(const Rect& r) = 0;
  // Outlined with the pen, inside left as it is.
  virtual void Frame(const Rect& r) = 0;
  virtual void FillRect(const Rect& r, Color color) = 0;
  // The inside of the polygon through `points` (closed, even-odd rule) in
  // one colour, without an outline. Here in rows of FillRect; a device
  // with polygons of its own draws it whole.
  virtual void FillPolygon(const std::vector<Point>& points, Color color);

  // One line of text from the top of `box`, left-aligned or centred, clipped
  // to the box.
  virtual void TextLine(const Rect& box, const std::string& text, bool centred) = 0;
  // Text whose cell's top-left corner is (x, y).
  virtual void TextAt(int x, int y, const std::string& text) = 0;
  virtual void TextAt16(int x, int y, const std::u16string& text) = 0;

  // Save the state (clip, pen, brush, font), clip to a rectangle, restore.
  virtual void SaveState() = 0;
  virtual void ClipTo(const Rect& r) = 0;
  virtual void RestoreState() = 0;

  // Text in a rectangle from its top: "\r\n", "\r" and "\n" each end a line;
  // with kTextWordBreak lines wider than the rectangle wrap at blanks. Lines
  // below the rectangle are not drawn. Returns the number of lines laid out.
  int DrawText(const Rect& box, const std::string& text, unsigned flags);
};

}  // namespace kova
