#include "report/surface.h"

#include <vector>

namespace kova {
namespace {

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines(1);
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      lines.emplace_back();
    } else {
      lines.back() += c;
    }
  }
  return lines;
}

// Breaks one line at blanks so that every piece fits `width`; a word wider
// than the width stands alone on its line.
void WrapLine(Surface& s, const std::string& line, int width, std::vector<std::string>& out) {
  if (line.empty() || s.TextWidth(line) <= width) {
    out.push_back(line);
    return;
  }
  std::string current;
  size_t pos = 0;
  while (pos < line.size()) {
    size_t end = line.find(' ', pos);
    if (end == std::string::npos) end = line.size();
    const std::string word = line.substr(pos, end - pos);
    const std::string candidate = current.empty() ? word : current + " " + word;
    if (!current.empty() && s.TextWidth(candidate) > width) {
      out.push_back(current);
      current = word;
    } else {
      current = candidate;
    }
    pos = end + 1;
  }
  out.push_back(current);
}

}  // namespace

int Surface::DrawText(const Rect& box, const std::string& text, unsigned flags) {
  const std::vector<std::string> raw = SplitLines(text);
  std::vector<std::string> lines;
  if (flags & kTextWordBreak) {
    for (const std::string& l : raw) WrapLine(*this, l, box.Width(), lines);
  } else {
    lines = raw;
  }
  const int L = Metrics().height;
  int y = box.top;
  for (const std::string& l : lines) {
    if (y >= box.bottom) break;
    if (!l.empty()) TextLine({box.left, y, box.right, box.bottom}, l, (flags & kTextCenter) != 0);
    y += L;
  }
  return static_cast<int>(lines.size());
}

}  // namespace kova
