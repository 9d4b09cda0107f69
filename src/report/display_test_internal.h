#pragma once
// Shared between the files that make up CDisplayTest.

#include "report/display_test.h"
#include "report/text_flow.h"

namespace kova {

struct CDisplayTest::Fonts {
  FontSpec body, table, footer;
};

struct CDisplayTest::TextBlock {
  bool present = false;
  std::string text;
  unsigned flags = 0;
  FontSpec font;
  Rect next;  // the box of every continuation
  TextFlow flow;
};

struct CDisplayTest::Layout {
  Rect page, inner;
  int x0 = 0, y0 = 0;
  int kind = 0, test = 0;
  bool overlaid = false;
  int body_L = 0, body_cw = 0;
};

// Draws `text` left-aligned from (x, y) into the rest of the inner rectangle.
inline void PutText(Surface& s, const Rect& inner, int x, int y, const std::string& text,
                    unsigned flags = kTextLeft) {
  s.DrawText({x, y, inner.right, inner.bottom}, text, flags);
}

}  // namespace kova
