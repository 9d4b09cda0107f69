#pragma once
// A recorded drawing as text, one operation a line, for whole-drawing
// comparisons with a golden file.

#include <sstream>
#include <string>

#include "base/format.h"
#include "report/recording_surface.h"

namespace kova {

inline std::string ColorText(const Color& c) { return Format("%02X%02X%02X", c.r, c.g, c.b); }

inline std::string DrawingText(const RecordingSurface& s) {
  static const char* const kKinds[] = {"line",   "rect", "frame",   "fill",   "text",
                                       "text16", "clip", "restore", "polygon"};
  std::ostringstream out;
  for (const DrawOp& op : s.ops()) {
    out << kKinds[op.kind] << " " << op.rect.left << "," << op.rect.top << "," << op.rect.right
        << "," << op.rect.bottom << " pen " << ColorText(op.pen) << "/" << op.pen_width << " brush "
        << ColorText(op.brush);
    if (op.kind == DrawOp::kText || op.kind == DrawOp::kText16) {
      out << " font " << op.font.face << "/" << op.font.height << "/" << op.font.weight
          << (op.centred ? " centred" : "") << " \"" << op.text << "\"";
    }
    out << "\n";
  }
  return out.str();
}

}  // namespace kova
