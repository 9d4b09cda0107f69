// Any text (a record's note, trace or error table holds what the file
// holds) flowed over a page's box and its continuation boxes: the flow must
// end, move forward with every share, and draw every visible character once
// within the shares it allows.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "report/recording_surface.h"
#include "report/text_flow.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  // The first bytes choose the boxes and the mode; the rest is the text.
  const int first_h = data[0] % 64, next_h = 1 + data[1] % 64, width = data[2] % 200;
  const bool wrap = (data[3] & 1) != 0;
  const std::string text(reinterpret_cast<const char*>(data + 4), size - 4);
  kova::RecordingSurface s;
  s.SelectFont({"Courier New", 10, 400, true});
  const kova::Rect first{0, 0, width, first_h}, next{0, 0, width, next_h};
  const kova::TextFlow flow = kova::FlowText(s, text, wrap, first, next, 50);
  if (flow.Shares() < 1 || flow.Shares() > 50 || flow.starts[0] != 0) std::abort();
  for (int i = 1; i < flow.Shares(); ++i) {
    if (flow.starts[i] > text.size()) std::abort();
    if (i > 1 && flow.starts[i] <= flow.starts[i - 1]) std::abort();
  }
  // Every character but blanks and line ends is drawn exactly once (all of
  // them unless the flow was cut).
  auto solid = [](const std::string& t) {
    size_t n = 0;
    for (char c : t) n += c != '\r' && c != '\n' && c != ' ';
    return n;
  };
  size_t drawn = 0;
  for (int i = 0; i < flow.Shares(); ++i) {
    kova::RecordingSurface page;
    page.SelectFont({"Courier New", 10, 400, true});
    kova::DrawTextShare(page, text, flow, i, i == 0 ? first : next,
                        wrap ? unsigned{kova::kTextWordBreak} : 0u, "(cut)");
    for (const kova::DrawOp& op : page.ops()) drawn += op.text == "(cut)" ? 0 : solid(op.text);
  }
  if (flow.cut ? drawn > solid(text) : drawn != solid(text)) std::abort();
  return 0;
}
