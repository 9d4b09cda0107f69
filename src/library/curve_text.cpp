#include "library/curve_text.h"

#include <charconv>
#include <cmath>

namespace kova {

std::string CurveToText(const std::vector<CurvePoint>& curve) {
  std::string out;
  char buf[32];
  for (const CurvePoint& p : curve) {
    if (!out.empty()) out += ';';
    out.append(buf, std::to_chars(buf, buf + sizeof buf, p.amps).ptr);
    out += ' ';
    out.append(buf, std::to_chars(buf, buf + sizeof buf, p.volts).ptr);
  }
  return out;
}

bool CurveFromText(const std::string& text, std::vector<CurvePoint>& out) {
  out.clear();
  const char* p = text.data();
  const char* end = p + text.size();
  while (p < end) {
    CurvePoint pt;
    auto a = std::from_chars(p, end, pt.amps);
    if (a.ec != std::errc() || a.ptr == end || *a.ptr != ' ') break;
    auto v = std::from_chars(a.ptr + 1, end, pt.volts);
    if (v.ec != std::errc() || !std::isfinite(pt.amps) || !std::isfinite(pt.volts)) break;
    if (out.size() == kMaxCurveTextPoints) break;
    out.push_back(pt);
    p = v.ptr;
    if (p == end) return true;
    if (*p != ';') break;
    ++p;
    if (p == end) break;  // a trailing separator is not what we write
  }
  const bool ok = text.empty();
  out.clear();
  return ok;
}

}  // namespace kova
