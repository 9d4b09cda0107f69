#include "assess/reference_curve.h"

#include <cmath>
#include <cstdlib>

#include "base/format.h"
#include "base/path.h"

namespace kova {

namespace {

std::string Trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r')) --e;
  return s.substr(b, e - b);
}

// A whole field as a positive finite number.
bool PositiveNumber(const std::string& field, double& out) {
  if (field.empty() || field.size() > 40) return false;
  const std::string f = field;  // strtod needs a terminated string
  char* end = nullptr;
  const double d = std::strtod(f.c_str(), &end);
  if (end != f.c_str() + f.size()) return false;
  if (!std::isfinite(d) || !(d > 0)) return false;
  out = d;
  return true;
}

}  // namespace

bool ParseReferenceCsv(const std::string& text, ReferenceCurve& out, std::string& error) {
  error.clear();
  if (text.size() > kMaxReferenceBytes) {
    error = "the file is too large";
    return false;
  }
  ReferenceCurve ref;
  bool have_voltmeter = false;
  size_t pos = 0;
  int line_no = 0;
  while (pos < text.size()) {
    size_t nl = text.find('\n', pos);
    if (nl == std::string::npos) nl = text.size();
    const std::string raw = text.substr(pos, nl - pos);
    pos = nl + 1;
    ++line_no;
    auto fail = [&](const char* why) {
      error = Format("line %d: %s", line_no, why);
      return false;
    };
    if (raw.size() > kMaxReferenceLine) return fail("the line is too long");
    const std::string line = Trim(raw);
    if (line.empty() || line[0] == '#') continue;
    const size_t comma = line.find(',');
    if (comma == std::string::npos || line.find(',', comma + 1) != std::string::npos) {
      return fail("two fields separated by a comma expected");
    }
    const std::string key = Trim(line.substr(0, comma));
    const std::string value = Trim(line.substr(comma + 1));
    if (key == "tap") {
      if (value.size() > 20) return fail("the tap name is too long");
      ref.tap = value;
    } else if (key == "turns") {
      if (!PositiveNumber(value, ref.turns)) return fail("the turns must be a number above 0");
    } else if (key == "voltmeter") {
      if (value != "rms" && value != "average") return fail("the voltmeter is rms or average");
      ref.average_rectified = value == "average";
      have_voltmeter = true;
    } else if (key == "volts") {
      if (value != "amps") return fail("the column heading is volts,amps");
    } else {
      CurvePoint p;
      if (!PositiveNumber(key, p.volts) || !PositiveNumber(value, p.amps)) {
        return fail("a point is two numbers above 0");
      }
      if (ref.points.size() >= kMaxReferencePoints) return fail("too many points");
      ref.points.push_back(p);
    }
  }
  if (!(ref.turns > 0)) {
    error = "the turns of the reference tap are missing";
    return false;
  }
  if (!have_voltmeter) {
    error = "the voltmeter (rms or average) is missing";
    return false;
  }
  if (ref.points.size() < 2) {
    error = "the curve needs at least two points";
    return false;
  }
  out = ref;
  return true;
}

std::string ReferenceCsv(const ReferenceCurve& ref) {
  std::string s = "tap," + ref.tap + "\r\n";
  s += Format("turns,%.17g\r\n", ref.turns);
  s += std::string("voltmeter,") + (ref.average_rectified ? "average" : "rms") + "\r\n";
  s += "volts,amps\r\n";
  for (const CurvePoint& p : ref.points) s += Format("%.17g,%.17g\r\n", p.volts, p.amps);
  return s;
}

std::string ReferencePathBeside(const std::string& record_path) {
  const std::string folder = FolderOf(record_path);
  const std::string name = StemOf(FileNameOf(record_path)) + ".reference.csv";
  return folder.empty() ? name : PathJoin(folder, name);
}

double ScaleVoltageToTurns(double volts, double from_turns, double to_turns) {
  return volts * to_turns / from_turns;
}

double ScaleCurrentToTurns(double amps, double from_turns, double to_turns) {
  return amps * from_turns / to_turns;
}

ExcitationCurve ScaledReference(const ReferenceCurve& ref, double to_turns) {
  std::vector<CurvePoint> pts;
  const double form = ref.average_rectified ? kSineFormFactor : 1.0;
  for (const CurvePoint& p : ref.points) {
    pts.push_back({ScaleVoltageToTurns(p.volts * form, ref.turns, to_turns),
                   ScaleCurrentToTurns(p.amps, ref.turns, to_turns)});
  }
  return ExcitationCurve(std::move(pts));
}

}  // namespace kova
