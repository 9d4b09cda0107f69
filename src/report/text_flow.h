#pragma once
// Text blocks that may be longer than their box (a long note, a long trace):
// the text is laid out into lines exactly as Surface::DrawText lays it out,
// and split into shares, the first for the block's own box and each further
// one for a box of its own on a continuation page. Nothing is cut: what does
// not fit one box goes on into the next.

#include <cstddef>
#include <string>
#include <vector>

#include "report/surface.h"

namespace kova {

// One line as drawn, and the offset in the text where the line after it
// begins (the text's size after the last one).
struct LaidLine {
  std::string text;
  size_t next = 0;
};

// The lines of `text` from offset `from`, at most `max_lines` of them: "\r\n",
// "\r" and "\n" end a line; with `wrap` a line wider than `width` breaks at
// blanks, a word wider than the width standing alone.
std::vector<LaidLine> LayOutText(Surface& s, const std::string& text, size_t from, int width,
                                 bool wrap, size_t max_lines);

// Whole lines of height `line_height` that fit in `box` (0 when none does).
int LinesThatFit(const Rect& box, int line_height);

// Where each share of a text begins: share 0 in `first`, every further one
// in `next`. At most `max_shares` shares; `cut` tells that text was left
// over after the last one.
struct TextFlow {
  std::vector<size_t> starts{0};
  bool cut = false;
  int Shares() const { return static_cast<int>(starts.size()); }
};
TextFlow FlowText(Surface& s, const std::string& text, bool wrap, const Rect& first,
                  const Rect& next, int max_shares);

// Draws share `index` of `flow` into `box` (the box the flow gave it), one
// line every line height, each line left-aligned or centred as `flags` say.
// A cut last share ends in `cut_mark` instead of its last line.
void DrawTextShare(Surface& s, const std::string& text, const TextFlow& flow, int index,
                   const Rect& box, unsigned flags, const std::string& cut_mark);

}  // namespace kova
