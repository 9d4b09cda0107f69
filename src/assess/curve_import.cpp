#include "assess/curve_import.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "base/codepage.h"
#include "base/file_io.h"
#include "base/format.h"

namespace kova {

namespace {

constexpr size_t kMaxTapName = 20;  // what the kept file takes
constexpr double kMaxTurns = 1e6;

std::string Lower(const std::string& s) {
  std::string out = s;
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

// Spaces, and the tabs a comma- or semicolon-separated line may carry.
std::string TrimSpaces(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
  return s.substr(b, e - b);
}

// The text as Windows-1252 without its byte-order mark; false for UTF-16 of
// an odd length.
bool DecodeText(const std::string& bytes, std::string& text, std::vector<std::string>& read_as) {
  const auto starts = [&bytes](const char* bom, size_t n) {
    return bytes.size() >= n && bytes.compare(0, n, bom, n) == 0;
  };
  if (starts("\xEF\xBB\xBF", 3)) {
    text = Utf8ToCp1252(bytes.substr(3));
    read_as.push_back("text: UTF-8 with a byte-order mark");
    return true;
  }
  const bool le = starts("\xFF\xFE", 2), be = starts("\xFE\xFF", 2);
  if (le || be) {
    if (bytes.size() % 2 != 0) return false;
    std::u16string units;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
      const auto lo = static_cast<unsigned char>(bytes[le ? i : i + 1]);
      const auto hi = static_cast<unsigned char>(bytes[le ? i + 1 : i]);
      units.push_back(static_cast<char16_t>(lo | (hi << 8)));
    }
    text = Utf16ToCp1252(units);
    read_as.push_back("text: UTF-16");
    return true;
  }
  // Without a mark: UTF-8 when it is that and not plain ASCII, else the
  // Windows code page the program keeps texts in.
  const bool ascii = std::all_of(bytes.begin(), bytes.end(),
                                 [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  text = !ascii && IsUtf8(bytes) ? Utf8ToCp1252(bytes) : bytes;
  return true;
}

}  // namespace

bool DecimalNumber(const std::string& field, bool decimal_comma, double& out) {
  if (field.empty() || field.size() > 40) return false;
  std::string s = field;
  size_t i = 0;
  if (s[i] == '-' || s[i] == '+') ++i;
  size_t digits = 0;
  bool point = false;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    if (c >= '0' && c <= '9') {
      ++digits;
    } else if ((c == '.' || (c == ',' && decimal_comma)) && !point) {
      point = true;
      s[i] = '.';
    } else {
      break;
    }
  }
  if (digits == 0) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
    const size_t exp_start = i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
    if (i == exp_start) return false;
  }
  if (i != s.size()) return false;
  if (s[0] == '+') s.erase(0, 1);  // from_chars takes no plus sign
  double d = 0;
  const auto r = std::from_chars(s.data(), s.data() + s.size(), d, std::chars_format::general);
  if (r.ec != std::errc() || r.ptr != s.data() + s.size() || !std::isfinite(d)) return false;
  out = d;
  return true;
}

namespace {

// The fields of a line split at `sep`, each trimmed of spaces and of the
// double quotes a spreadsheet puts around text; empty fields at the end
// dropped. False when a quote is not closed.
bool SplitFields(const std::string& line, char sep, std::vector<std::string>& fields) {
  fields.clear();
  std::string field;
  bool quoted = false, was_quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      if (c != '"') {
        field += c;
      } else if (i + 1 < line.size() && line[i + 1] == '"') {
        field += '"';
        ++i;
      } else {
        quoted = false;
      }
    } else if (c == '"' && TrimSpaces(field).empty()) {
      quoted = was_quoted = true;
      field.clear();
    } else if (c == sep) {
      fields.push_back(was_quoted ? field : TrimSpaces(field));
      field.clear();
      was_quoted = false;
    } else {
      field += c;
    }
  }
  if (quoted) return false;
  fields.push_back(was_quoted ? field : TrimSpaces(field));
  while (!fields.empty() && fields.back().empty()) fields.pop_back();
  return true;
}

const char* SeparatorName(char sep) {
  return sep == ';' ? "semicolon" : sep == '\t' ? "tab" : "comma";
}

// --- The heading ---

enum class Quantity { kNone, kVoltage, kCurrent };

struct Column {
  Quantity quantity = Quantity::kNone;
  double factor = 1;  // to V or A
  bool unit_given = false;
  std::string unit;  // as shown: "V", "mA"
  Voltmeter voltmeter = Voltmeter::kNotGiven;
};

struct UnitWord {
  const char* word;
  Quantity quantity;
  double factor;
  const char* shown;
};

constexpr UnitWord kUnits[] = {
    {"v", Quantity::kVoltage, 1, "V"},
    {"mv", Quantity::kVoltage, 1e-3, "mV"},
    {"kv", Quantity::kVoltage, 1e3, "kV"},
    {"volt", Quantity::kVoltage, 1, "V"},
    {"volts", Quantity::kVoltage, 1, "V"},
    {"a", Quantity::kCurrent, 1, "A"},
    {"ma", Quantity::kCurrent, 1e-3, "mA"},
    {"amp", Quantity::kCurrent, 1, "A"},
    {"amps", Quantity::kCurrent, 1, "A"},
    {"ampere", Quantity::kCurrent, 1, "A"},
    {"amperes", Quantity::kCurrent, 1, "A"},
    {"milliamps", Quantity::kCurrent, 1e-3, "mA"},
    {"millivolts", Quantity::kVoltage, 1e-3, "mV"},
};

const UnitWord* FindUnit(const std::string& word) {
  for (const UnitWord& u : kUnits) {
    if (word == u.word) return &u;
  }
  return nullptr;
}

// Takes a voltmeter word ("rms", "avg", ...) off the end of `s`.
Voltmeter TakeVoltmeterWord(std::string& s) {
  struct Word {
    const char* text;
    Voltmeter v;
  };
  static const Word kWords[] = {{"r.m.s.", Voltmeter::kRms},
                                {"rms", Voltmeter::kRms},
                                {"average", Voltmeter::kAverage},
                                {"avg", Voltmeter::kAverage},
                                {"mean", Voltmeter::kAverage}};
  for (const Word& w : kWords) {
    const std::string t = w.text;
    if (s.size() >= t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0) {
      s = s.substr(0, s.size() - t.size());
      while (!s.empty() && (s.back() == ' ' || s.back() == '_' || s.back() == ',')) s.pop_back();
      return w.v;
    }
  }
  return Voltmeter::kNotGiven;
}

Quantity QuantityOfName(const std::string& name) {
  if (name.empty()) return Quantity::kNone;
  if (name.find("volt") != std::string::npos) return Quantity::kVoltage;
  if (name.find("curr") != std::string::npos || name.find("amp") != std::string::npos) {
    return Quantity::kCurrent;
  }
  // The symbols makers head their columns with.
  static const char* const kVoltage[] = {"u",  "v",  "e",  "uk",   "vk",   "ek",   "us",  "vs",
                                         "es", "ue", "ve", "uexc", "vexc", "urms", "vrms"};
  static const char* const kCurrent[] = {"i", "ie", "io", "i0", "im", "ik", "is", "iexc", "imag"};
  for (const char* n : kVoltage) {
    if (name == n) return Quantity::kVoltage;
  }
  for (const char* n : kCurrent) {
    if (name == n) return Quantity::kCurrent;
  }
  return Quantity::kNone;
}

// One heading field: "Voltage (V)", "I [mA]", "U/kV", "Ie mA", "mA",
// "Vrms", "volts". False when its name and its unit disagree.
bool ReadColumn(const std::string& field, Column& col) {
  std::string f = Lower(field);
  std::string name = f, unit;
  const size_t open = f.find_first_of("([");
  if (open != std::string::npos) {
    const size_t close = f.find_first_of(")]", open);
    name = TrimSpaces(f.substr(0, open));
    unit = TrimSpaces(
        f.substr(open + 1, close == std::string::npos ? std::string::npos : close - open - 1));
  } else if (f.find('/') != std::string::npos) {
    name = TrimSpaces(f.substr(0, f.find('/')));
    unit = TrimSpaces(f.substr(f.find('/') + 1));
  } else {
    const size_t gap = f.find_last_of(" _");
    if (gap != std::string::npos && FindUnit(f.substr(gap + 1)) != nullptr) {
      name = TrimSpaces(f.substr(0, gap));
      unit = f.substr(gap + 1);
    }
  }
  col.voltmeter = TakeVoltmeterWord(unit);
  if (col.voltmeter == Voltmeter::kNotGiven) col.voltmeter = TakeVoltmeterWord(name);
  if (unit.empty() && FindUnit(name) != nullptr) {
    // "V", "mA", "volts": the unit names the quantity; "volts" and "amps"
    // say their unit as plainly as "V".
    unit = name;
    name.clear();
  }
  const UnitWord* u = unit.empty() ? nullptr : FindUnit(unit);
  const Quantity by_name = QuantityOfName(name);
  if (!unit.empty() && u == nullptr) {
    col.quantity = by_name;  // a unit this reader does not know: checked by the caller
    col.unit = unit;
    col.unit_given = true;
    col.factor = 0;
    return true;
  }
  if (u != nullptr && by_name != Quantity::kNone && by_name != u->quantity) return false;
  col.quantity = u != nullptr ? u->quantity : by_name;
  if (u != nullptr) {
    col.factor = u->factor;
    col.unit = u->shown;
    col.unit_given = true;
  } else {
    col.unit = col.quantity == Quantity::kVoltage ? "V" : "A";
  }
  return true;
}

struct Heading {
  bool read = false;
  size_t volts_column = 0, amps_column = 1;
  Column volts, amps;
};

bool ReadHeading(const std::vector<std::string>& fields, Heading& h,
                 std::vector<std::string>& notes, std::string& why) {
  bool have_v = false, have_a = false;
  std::vector<std::string> unused;
  for (size_t i = 0; i < fields.size(); ++i) {
    Column c;
    if (!ReadColumn(fields[i], c)) {
      why = Format("column %zu (\"%s\") names one quantity and gives the unit of the other", i + 1,
                   fields[i].c_str());
      return false;
    }
    if (c.quantity == Quantity::kNone) {
      if (!fields[i].empty()) unused.push_back("\"" + fields[i] + "\"");
      continue;
    }
    if (c.factor == 0) {
      why =
          Format("column %zu (\"%s\"): the unit \"%s\" is not one of %s", i + 1, fields[i].c_str(),
                 c.unit.c_str(), c.quantity == Quantity::kVoltage ? "V, mV, kV" : "A, mA");
      return false;
    }
    bool& have = c.quantity == Quantity::kVoltage ? have_v : have_a;
    const size_t other = c.quantity == Quantity::kVoltage ? h.volts_column : h.amps_column;
    if (have) {
      why = Format("columns %zu and %zu both name a %s; one of each expected", other + 1, i + 1,
                   c.quantity == Quantity::kVoltage ? "voltage" : "current");
      return false;
    }
    have = true;
    (c.quantity == Quantity::kVoltage ? h.volts_column : h.amps_column) = i;
    (c.quantity == Quantity::kVoltage ? h.volts : h.amps) = c;
  }
  if (!have_v || !have_a) {
    why = "a heading naming a voltage and a current column, or a point, expected";
    return false;
  }
  h.read = true;
  const bool volts_first = h.volts_column < h.amps_column;
  const std::string v = "voltage (" + h.volts.unit + ")", a = "current (" + h.amps.unit + ")";
  notes.push_back("columns: " + (volts_first ? v + ", " + a : a + ", " + v));
  for (const Column* c : {&h.volts, &h.amps}) {
    if (!c->unit_given) {
      notes.push_back(std::string("no unit given for the ") +
                      (c == &h.volts ? "voltage: volts taken" : "current: amperes taken"));
    }
  }
  for (const std::string& u : unused) notes.push_back("column " + u + " not used");
  return true;
}

// --- The lines before the points: tap, turns, voltmeter ---

bool ReadVoltmeterWord(const std::string& value, Voltmeter& v) {
  std::string w = Lower(value);
  if (w == "true rms" || w == "trms") w = "rms";
  if (w == "average rectified" || w == "rectified average" || w == "average-rectified") {
    w = "average";
  }
  std::string rest = w;
  const Voltmeter found = TakeVoltmeterWord(rest);
  if (found == Voltmeter::kNotGiven || !rest.empty()) return false;
  v = found;
  return true;
}

struct Reader {
  ImportedCurve curve;
  Heading heading;
  char sep = 0;
  int tap_line = 0, turns_line = 0, voltmeter_line = 0;

  // A "tap", "turns" or "voltmeter" line; `handled` false for other lines.
  bool Setting(const std::vector<std::string>& f, int line, bool& handled, std::string& why) {
    handled = false;
    if (f.empty()) return true;
    const std::string key = Lower(f[0]);
    if (key != "tap" && key != "turns" && key != "voltmeter") return true;
    handled = true;
    int& seen = key == "tap" ? tap_line : key == "turns" ? turns_line : voltmeter_line;
    if (seen != 0) {
      why = Format("\"%s\" is given twice (first on line %d)", key.c_str(), seen);
      return false;
    }
    seen = line;
    if (f.size() > 2) {
      why = Format("%s and one value expected", key.c_str());
      return false;
    }
    const std::string value = f.size() > 1 ? f[1] : "";
    if (key == "tap") {
      const bool printable = std::all_of(value.begin(), value.end(), [](char c) {
        return static_cast<unsigned char>(c) >= 0x20 && c != 0x7F && c != ',';
      });
      if (value.size() > kMaxTapName || !printable) {
        why = Format("a tap name of at most %zu characters, without commas, expected", kMaxTapName);
        return false;
      }
      curve.tap_given = true;
      curve.tap = value;
    } else if (key == "turns") {
      double t = 0;
      if (!DecimalNumber(value, sep != ',', t) || !(t > 0) || t > kMaxTurns) {
        why = "the turns of the tap as a number above 0 expected";
        return false;
      }
      curve.turns = t;
    } else if (!ReadVoltmeterWord(value, curve.voltmeter)) {
      why = "the voltmeter as \"rms\" or \"average\" expected";
      return false;
    }
    return true;
  }

  bool Point(const std::vector<std::string>& f, int line, std::string& why) {
    const size_t need = std::max(heading.volts_column, heading.amps_column) + 1;
    const bool comma = sep != ',';
    if (heading.read ? f.size() < need : f.size() != 2) {
      why = heading.read ? Format(
                               "a point with a voltage in column %zu and a current in column"
                               " %zu expected",
                               heading.volts_column + 1, heading.amps_column + 1)
                         : Format("a point (a voltage and a current separated by a %s) expected%s",
                                  SeparatorName(sep),
                                  sep == ',' && f.size() > 2
                                      ? "; with a decimal comma, semicolons between the fields"
                                      : "");
      return false;
    }
    const auto number = [&](const std::string& field, const char* what, double& value) {
      if (!DecimalNumber(field, comma, value)) {
        why = Format("the %s \"%s\" is not a decimal number", what, field.c_str());
        return false;
      }
      if (!(value > 0)) {
        why = Format("the %s is %s; a voltage and a current above 0 expected", what, field.c_str());
        return false;
      }
      return true;
    };
    double v = 0, a = 0;
    if (!number(f[heading.volts_column], "voltage", v) ||
        !number(f[heading.amps_column], "current", a)) {
      return false;
    }
    const double volts = v * (heading.read ? heading.volts.factor : 1);
    const double amps = a * (heading.read ? heading.amps.factor : 1);
    if (!std::isfinite(volts) || !std::isfinite(amps) || !(volts > 0) || !(amps > 0)) {
      why = "a voltage and a current a number can hold expected";
      return false;
    }
    if (curve.points.size() >= kMaxReferencePoints) {
      why = Format("at most %zu points expected", kMaxReferencePoints);
      return false;
    }
    curve.points.push_back({{volts, amps}, line});
    return true;
  }

  // One line that is no comment and not empty.
  bool Line(const std::string& text, int line, std::string& why) {
    if (sep == 0) {  // a tab at either end separates nothing
      const std::string core = TrimSpaces(text);
      sep = core.find(';') != std::string::npos    ? ';'
            : core.find('\t') != std::string::npos ? '\t'
                                                   : ',';
    }
    std::vector<std::string> f;
    if (!SplitFields(text, sep, f)) {
      why = "a closing double quote expected";
      return false;
    }
    if (f.empty()) return true;  // ";;;" from a spreadsheet's empty row
    bool handled = false;
    if (!Setting(f, line, handled, why)) return false;
    if (handled) return true;
    if (!heading.read && curve.points.empty()) {
      double ignored = 0;
      const bool numbers = std::all_of(f.begin(), f.end(), [&](const std::string& s) {
        return DecimalNumber(s, sep != ',', ignored);
      });
      if (!numbers) {
        if (f.size() < 2) {
          why = Format("fields separated by a comma, a semicolon or a tab expected");
          return false;
        }
        return ReadHeading(f, heading, curve.read_as, why);
      }
    }
    return Point(f, line, why);
  }
};

std::string Amps(double a) { return Format("%.6g A", a); }
std::string Volts(double v) { return Format("%.6g V", v); }

// Rising voltage; one current per voltage, never falling.
bool CheckCurve(std::vector<ImportedPoint>& pts, int last_line, CurveImportError& error) {
  if (pts.size() < kMinImportedPoints) {
    error.line = last_line;
    error.what = Format("the file ends after %zu point%s; at least %zu expected", pts.size(),
                        pts.size() == 1 ? "" : "s", kMinImportedPoints);
    return false;
  }
  std::stable_sort(pts.begin(), pts.end(), [](const ImportedPoint& a, const ImportedPoint& b) {
    return a.point.volts < b.point.volts;
  });
  for (size_t i = 1; i < pts.size(); ++i) {
    const ImportedPoint& lo = pts[i - 1];
    const ImportedPoint& hi = pts[i];
    if (hi.point.volts == lo.point.volts) {
      error.line = std::max(lo.line, hi.line);
      error.what =
          Format("a second current at %s (%s on line %d); one current per voltage expected",
                 Volts(hi.point.volts).c_str(),
                 Amps(hi.line < lo.line ? hi.point.amps : lo.point.amps).c_str(),
                 std::min(lo.line, hi.line));
      return false;
    }
    if (hi.point.amps < lo.point.amps) {
      error.line = hi.line;
      error.what = Format(
          "%s at %s is below %s at %s (line %d); a current that rises with the"
          " voltage expected",
          Amps(hi.point.amps).c_str(), Volts(hi.point.volts).c_str(), Amps(lo.point.amps).c_str(),
          Volts(lo.point.volts).c_str(), lo.line);
      return false;
    }
  }
  return true;
}

}  // namespace

std::string CurveImportError::Text() const {
  return line > 0 ? Format("line %d: %s", line, what.c_str()) : what;
}

bool ReadCurveImport(const std::string& bytes, ImportedCurve& out, CurveImportError& error) {
  error = {};
  if (bytes.size() > kMaxReferenceBytes) {
    error.what = Format("the file is larger than %zu KiB", kMaxReferenceBytes / 1024);
    return false;
  }
  Reader r;
  std::string text;
  if (!DecodeText(bytes, text, r.curve.read_as)) {
    error.what = "the file is UTF-16 of an odd length";
    return false;
  }
  size_t pos = 0;
  int line = 0;
  while (pos < text.size()) {
    // A line ends at LF, CR LF or a lone CR.
    size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string::npos) end = text.size();
    const std::string raw = text.substr(pos, end - pos);
    pos = end;
    if (pos < text.size() && text[pos] == '\r') ++pos;
    if (pos < text.size() && text[pos] == '\n' && (pos == end || text[pos - 1] == '\r')) ++pos;
    ++line;
    if (raw.size() > kMaxImportLine) {
      error = {line, Format("a line of at most %zu characters expected", kMaxImportLine)};
      return false;
    }
    if (raw.find('\0') != std::string::npos) {
      error = {line, "text expected, not a NUL byte"};
      return false;
    }
    const std::string trimmed = TrimSpaces(raw);
    if (trimmed.empty() || trimmed[0] == '#' || trimmed.compare(0, 2, "//") == 0) continue;
    std::string why;
    if (!r.Line(raw, line, why)) {
      error = {line, why};
      return false;
    }
  }
  if (r.heading.read && r.heading.volts.voltmeter != Voltmeter::kNotGiven) {
    if (r.curve.voltmeter != Voltmeter::kNotGiven &&
        r.curve.voltmeter != r.heading.volts.voltmeter) {
      error = {r.voltmeter_line, "the voltmeter differs from the voltage column's heading"};
      return false;
    }
    r.curve.voltmeter = r.heading.volts.voltmeter;
  }
  if (!CheckCurve(r.curve.points, line, error)) return false;
  if (r.sep != 0) {
    r.curve.read_as.insert(r.curve.read_as.begin(),
                           std::string("separator: ") + SeparatorName(r.sep) +
                               (r.sep != ',' ? ", decimal point or comma" : ""));
  }
  if (!r.heading.read) r.curve.read_as.push_back("no heading: volts, then amperes");
  out = std::move(r.curve);
  return true;
}

bool ReadCurveImportFile(const std::string& path, ImportedCurve& out, std::string& why) {
  std::string bytes;
  FileProblem problem = FileProblem::kNone;
  if (!ReadFileText(path, bytes, kMaxReferenceBytes, &problem)) {
    why = problem == FileProblem::kTooLarge
              ? Format("the file is larger than %zu KiB", kMaxReferenceBytes / 1024)
              : FileProblemText(problem);
    return false;
  }
  CurveImportError error;
  if (ReadCurveImport(bytes, out, error)) return true;
  why = "not a reference curve: " + error.Text();
  return false;
}

std::vector<ImportField> MissingFields(const ImportedCurve& curve) {
  std::vector<ImportField> missing;
  if (!curve.tap_given) missing.push_back(ImportField::kTap);
  if (!(curve.turns > 0)) missing.push_back(ImportField::kTurns);
  if (curve.voltmeter == Voltmeter::kNotGiven) missing.push_back(ImportField::kVoltmeter);
  return missing;
}

bool FieldRequired(ImportField field) { return field != ImportField::kTap; }

bool CompleteImport(const ImportedCurve& curve, const ImportAnswers& answers,
                    const std::vector<std::string>& names, ReferenceCurve& out, std::string& why) {
  const auto name = [&names](ImportField f) {
    const size_t i = static_cast<size_t>(f);
    return i < names.size() ? names[i] : std::string("a field");
  };
  ReferenceCurve ref;
  ref.tap = curve.tap_given ? curve.tap : answers.tap;
  if (curve.tap_given && answers.tap_given && answers.tap != curve.tap) {
    why = name(ImportField::kTap) + ": the file gives the tap as \"" + curve.tap + "\"";
    return false;
  }
  const auto tap_ok = std::all_of(ref.tap.begin(), ref.tap.end(), [](char c) {
    return static_cast<unsigned char>(c) >= 0x20 && c != 0x7F && c != ',';
  });
  if (ref.tap.size() > kMaxTapName || !tap_ok || TrimSpaces(ref.tap) != ref.tap) {
    why = name(ImportField::kTap) + Format(": at most %zu characters, without commas", kMaxTapName);
    return false;
  }
  if (curve.turns > 0 && answers.turns > 0 && answers.turns != curve.turns) {
    why = name(ImportField::kTurns) + Format(": the file gives %.10g turns", curve.turns);
    return false;
  }
  ref.turns = curve.turns > 0 ? curve.turns : answers.turns;
  if (!(ref.turns > 0) || ref.turns > kMaxTurns || !std::isfinite(ref.turns)) {
    why = name(ImportField::kTurns) +
          (answers.turns != 0 ? ": a number above 0 is required" : " is required");
    return false;
  }
  if (curve.voltmeter != Voltmeter::kNotGiven && answers.voltmeter != Voltmeter::kNotGiven &&
      answers.voltmeter != curve.voltmeter) {
    why = name(ImportField::kVoltmeter) + ": the file gives " +
          (curve.voltmeter == Voltmeter::kRms ? "rms" : "average");
    return false;
  }
  const Voltmeter v = curve.voltmeter != Voltmeter::kNotGiven ? curve.voltmeter : answers.voltmeter;
  if (v == Voltmeter::kNotGiven) {
    why = name(ImportField::kVoltmeter) + " is required";
    return false;
  }
  ref.average_rectified = v == Voltmeter::kAverage;
  for (const ImportedPoint& p : curve.points) ref.points.push_back(p.point);
  out = std::move(ref);
  return true;
}

}  // namespace kova
