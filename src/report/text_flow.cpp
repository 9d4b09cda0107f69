#include "report/text_flow.h"

#include <algorithm>

namespace kova {
namespace {

// The end of the line that begins at `pos` and where the next one begins.
void FindLineEnd(const std::string& text, size_t pos, size_t* eol, size_t* next) {
  const size_t e = text.find_first_of("\r\n", pos);
  if (e == std::string::npos) {
    *eol = *next = text.size();
    return;
  }
  *eol = e;
  *next = e + ((text[e] == '\r' && e + 1 < text.size() && text[e + 1] == '\n') ? 2 : 1);
}

}  // namespace

std::vector<LaidLine> LayOutText(Surface& s, const std::string& text, size_t from, int width,
                                 bool wrap, size_t max_lines) {
  std::vector<LaidLine> out;
  size_t pos = std::min(from, text.size());
  while (out.size() < max_lines) {
    size_t eol = 0, next = 0;
    FindLineEnd(text, pos, &eol, &next);
    const bool last = eol == text.size();
    const std::string line = text.substr(pos, eol - pos);
    if (!wrap || line.empty() || s.TextWidth(line) <= width) {
      out.push_back({line, next});
    } else {
      // Greedy: as many words as fit; the blank at a break is dropped.
      std::string current;
      size_t p = pos;
      while (p < eol && out.size() < max_lines) {
        size_t end = text.find(' ', p);
        if (end == std::string::npos || end > eol) end = eol;
        const std::string word = text.substr(p, end - p);
        const std::string candidate = current.empty() ? word : current + " " + word;
        if (!current.empty() && s.TextWidth(candidate) > width) {
          out.push_back({current, p});
          current = word;
        } else {
          current = candidate;
        }
        p = end + 1;
      }
      if (out.size() < max_lines) out.push_back({current, next});
    }
    if (last) break;
    pos = next;
  }
  return out;
}

int LinesThatFit(const Rect& box, int line_height) {
  if (line_height <= 0 || box.Height() < line_height) return 0;
  return box.Height() / line_height;
}

TextFlow FlowText(Surface& s, const std::string& text, bool wrap, const Rect& first,
                  const Rect& next, int max_shares) {
  TextFlow flow;
  const int L = s.Metrics().height;
  size_t pos = 0;
  Rect box = first;
  for (;;) {
    // A continuation box always takes a line, so the flow moves on.
    int fit = LinesThatFit(box, L);
    if (flow.Shares() > 1) fit = std::max(fit, 1);
    const std::vector<LaidLine> lines =
        LayOutText(s, text, pos, box.Width(), wrap, static_cast<size_t>(fit) + 1);
    if (lines.size() <= static_cast<size_t>(fit)) break;
    if (fit > 0) pos = lines[fit - 1].next;
    // Only blank lines left: nothing more to show.
    if (text.find_first_not_of(" \r\n", pos) == std::string::npos) break;
    if (flow.Shares() >= max_shares) {
      flow.cut = true;
      break;
    }
    flow.starts.push_back(pos);
    box = next;
  }
  return flow;
}

void DrawTextShare(Surface& s, const std::string& text, const TextFlow& flow, int index,
                   const Rect& box, unsigned flags, const std::string& cut_mark) {
  if (index < 0 || index >= flow.Shares()) return;
  const int L = s.Metrics().height;
  const bool last = index + 1 == flow.Shares();
  int fit = LinesThatFit(box, L);
  if (index > 0) fit = std::max(fit, 1);
  std::vector<LaidLine> lines = LayOutText(s, text, flow.starts[index], box.Width(),
                                           (flags & kTextWordBreak) != 0, static_cast<size_t>(fit));
  // A share that is not the last ends where the next begins.
  if (!last) {
    while (!lines.empty() && lines.back().next > flow.starts[index + 1]) lines.pop_back();
  } else if (flow.cut && !lines.empty()) {
    lines.back() = {cut_mark, text.size()};
  }
  int y = box.top;
  for (const LaidLine& l : lines) {
    if (!l.text.empty()) {
      s.TextLine({box.left, y, box.right, box.bottom}, l.text, (flags & kTextCenter) != 0);
    }
    y += L;
  }
}

}  // namespace kova
