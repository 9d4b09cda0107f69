#include "report/assessment_page.h"

#include <algorithm>
#include <cmath>

#include "analysis/display_rules.h"
#include "assess/comparisons.h"
#include "assess/profile_rating.h"
#include "base/codepage.h"
#include "base/format.h"
#include "base/path.h"
#include "report/calc_details_page.h"
#include "report/report_colors.h"

namespace kova {

namespace {

// "%g" without a locale: 10, 0.8, 2.5.
std::string Num(double v) { return NumberText("%g", v); }

// The assessment's own texts are plain ASCII ("<=", "ohm", "+/-"); the
// page shows the signs themselves.
std::string Signs(std::string text) {
  ReplaceAll(text, "<=", "\xE2\x89\xA4");
  ReplaceAll(text, ">=", "\xE2\x89\xA5");
  ReplaceAll(text, "+/-", "\xC2\xB1");
  ReplaceAll(text, " degC",
             " \xC2\xB0"
             "C");
  ReplaceAll(text, " ohm", " \xE2\x84\xA6");
  return text;
}

std::string Capital(std::string text) {
  if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 32);
  return text;
}

void AddReference(const CalculationDetails& d, AssessmentPage& page) {
  std::vector<std::string>& out = page.reference;
  if (!d.have_reference) {
    if (!d.reference_problem.empty()) {
      out.push_back("Reference curve not used: " + Cp1252ToUtf8(d.reference_problem));
    } else if (!d.reference_note.empty()) {
      out.push_back("Reference curve not compared: " + Cp1252ToUtf8(d.reference_note));
    } else {
      out.push_back("No reference curve is kept for this CT.");
    }
    return;
  }
  const ReferenceComparison& c = d.reference;
  if (!c.done) {
    out.push_back("Not compared: " + Cp1252ToUtf8(c.problem));
    return;
  }
  if (c.compared == 0) {
    // No deviation to state: none is shown as if it were zero.
    out.push_back(Cp1252ToUtf8(c.label) +
                  ": no measured point from 0.5 to 1.5 times the knee "
                  "current, not compared");
    out.push_back("Kept in " + SystemNameToUtf8(FileNameOf(d.reference_where)));
    return;
  }
  out.push_back(Cp1252ToUtf8(c.label) + ", " + std::to_string(c.compared) +
                (c.compared == 1 ? " point compared" : " points compared"));
  out.push_back(Format("Largest deviation %+.2f %% at %s V, %s A", c.largest_deviation,
                       NumberText("%.2f", c.at_volts).c_str(),
                       NumberText("%.4f", c.at_amps).c_str()));
  page.reference_outside = c.flagged;
  out.push_back(Format("Band \xC2\xB1%s %%: ", Num(c.band_percent).c_str()) +
                (c.flagged ? "OUTSIDE the band" : "inside the band"));
  if (c.has_knee) {
    out.push_back(Format("Knee %s V against %s V of the reference (%+.2f %%)",
                         NumberText("%.2f", c.knee_measured).c_str(),
                         NumberText("%.2f", c.knee_reference).c_str(), c.knee_deviation));
  }
  out.push_back("Kept in " + SystemNameToUtf8(FileNameOf(d.reference_where)));
}

void AddTaps(const CalculationDetails& d, AssessmentPage& page) {
  if (d.taps.size() < 2) return;
  const bool pair = d.taps.size() == 2;
  page.taps_heading = Format(
      "TAP CONSISTENCY (knee voltage per turn, %s; WARN from %s %%, ALARM from %s %%)",
      pair ? "the two taps' difference" : "each against the median",
      Num(d.tap_band_percent).c_str(), Num(d.tap_band_percent * kComparisonAlarmMultiple).c_str());
  for (const TapComparison& t : d.taps) {
    AssessmentPageRow row;
    row.name = Cp1252ToUtf8(t.tap);
    row.required = NumberText("%.2f", t.knee) + " V";
    row.measured = NumberText("%.4f", t.per_turn) + " V";
    row.verdict =
        (t.pair ? Format("differ %.2f %% ", t.deviation) : Format("%+.2f %% ", t.deviation)) +
        BandFlagText(t.flag);
    row.bad = t.flagged;
    page.taps.push_back(row);
  }
}

// A phase's knee voltage and ratio with how far each is from the others.
std::string SisterKnee(const SisterQuantity& q) {
  if (!q.has) return "-";
  return NumberText("%.2f", q.value) + " V, " +
         (q.pair ? Format("differ %.2f %%", q.deviation) : Format("%+.2f %%", q.deviation));
}
std::string SisterRatio(const SisterQuantity& q) {
  if (!q.has) return "-";
  return q.pair ? Format("differ %.2f turns", q.turns) : Format("%+.2f turns", q.turns);
}

void AddSisters(const SisterComparison& c, AssessmentPage& page) {
  if (c.rows.empty()) return;
  const ComparisonBands& b = c.bands;
  page.sisters_heading = Format(
      "SISTER PHASES (tap %s; knee WARN from %s %%, ratio WARN from %s turns)",
      Cp1252ToUtf8(c.tap).c_str(), Num(b.sister_percent).c_str(), Num(b.ratio_warn_turns).c_str());
  for (const SisterRow& r : c.rows) {
    AssessmentPageRow row;
    row.name = Cp1252ToUtf8(r.name);
    if (r.test == 0) {
      row.verdict = "no test";  // of this tap and ratio
    } else {
      row.required = SisterKnee(r.knee_at_current);
      row.measured = SisterRatio(r.ratio);
      row.verdict = BandFlagText(r.flag);
      row.bad = r.flag == BandFlag::kWarn || r.flag == BandFlag::kAlarm;
    }
    page.sisters.push_back(row);
  }
}

}  // namespace

std::string PageRating(const AssessmentProfile& p) { return Signs(ProfileRatingLine(p)); }

AssessmentPage AssessmentPageOf(const TestRecord& rec, const RecordContext& context) {
  AssessmentPage page;
  const CalculationDetails d = GatherCalculationDetails(rec, context);
  page.has_profile = d.have_profile;
  if (d.have_profile) {
    const AssessmentResult& r = d.assessment;
    page.rating = PageRating(d.profile);
    page.test = Cp1252ToUtf8(r.label);
    for (const AssessCheck& c : r.checks) {
      page.checks.push_back({Capital(c.name), Signs(c.limit), Signs(c.value),
                             VerdictCaps(c.verdict), c.verdict == Verdict::kFail});
    }
    page.verdict = r.usable ? r.verdict : Verdict::kNotAssessed;
    if (!r.usable) {
      page.why = Cp1252ToUtf8(r.problem);
    } else if (page.verdict == Verdict::kNotAssessed) {
      for (const AssessCheck& c : r.checks) {
        if (c.verdict == Verdict::kNotAssessed) {
          page.why = c.name + ": " + Signs(c.value);
          break;
        }
      }
    }
    if (!r.remanence.empty()) page.notes.push_back("Remanence: " + r.remanence);
    if (r.usable && r.default_temperature) {
      page.notes.push_back(
          "Rct at 75 \xC2\xB0"
          "C from the default winding temperature");
    }
    const std::string cls = IsPxClass(d.profile.iec_class)
                                ? std::string(IecClassName(d.profile.iec_class))
                                : IecClassName(d.profile.iec_class) + Num(d.profile.alf);
    page.summary_line = "IEC 61869-2 " + cls + ": " + VerdictCaps(page.verdict);
  } else {
    page.why = d.profile_problem.empty()
                   ? std::string("no assessment profile is kept for this record")
                   : "the assessment profile cannot be used: " + Cp1252ToUtf8(d.profile_problem);
  }
  page.verdict_text = VerdictCaps(page.verdict);
  AddReference(d, page);
  AddTaps(d, page);
  AddSisters(context.sisters, page);
  return page;
}

namespace {

constexpr Color kPassColor{0, 128, 0};
constexpr Color kFailColor{200, 0, 0};
constexpr Color kNotAssessedColor{110, 110, 110};
constexpr Color kBlack{0, 0, 0};
constexpr Color kHeadingFill{225, 225, 225};

Color VerdictColor(Verdict v) {
  return v == Verdict::kPass ? kPassColor : v == Verdict::kFail ? kFailColor : kNotAssessedColor;
}

// UTF-8 as the 16-bit text the surface draws; a broken sequence gives "?".
std::u16string Utf16Of(const std::string& utf8) {
  std::u16string out;
  const size_t n = utf8.size();
  for (size_t i = 0; i < n;) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    const int extra = c < 0x80             ? 0
                      : (c & 0xE0) == 0xC0 ? 1
                      : (c & 0xF0) == 0xE0 ? 2
                      : (c & 0xF8) == 0xF0 ? 3
                                           : -1;
    if (extra < 0 || (extra > 0 && i + static_cast<size_t>(extra) >= n)) {
      out.push_back(u'?');
      ++i;
      continue;
    }
    uint32_t cp = extra == 0 ? c : c & (0x3F >> extra);
    bool ok = true;
    for (int k = 1; k <= extra; ++k) {
      const unsigned char d = static_cast<unsigned char>(utf8[i + static_cast<size_t>(k)]);
      ok = ok && (d & 0xC0) == 0x80;
      cp = (cp << 6) | (d & 0x3F);
    }
    i += static_cast<size_t>(extra) + 1;
    if (!ok) {
      out.push_back(u'?');
    } else if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
  }
  return out;
}

// A UTF-8 text on the surface, measured by its Windows-1252 form (the signs
// the code page lacks measure as one character).
class Writer {
 public:
  explicit Writer(Surface& s) : s_(s) {}
  void Font(int height, int weight) {
    s_.SelectFont({"Arial", height, weight, false});
    line_ = s_.Metrics().height;
  }
  int Line() const { return line_; }
  int Width(const std::string& utf8) { return s_.TextWidth(Utf8ToCp1252(utf8)); }
  void At(int x, int y, const std::string& utf8, Color c = kBlack) {
    s_.SetTextColor(c);
    s_.TextAt16(x, y, Utf16Of(utf8));
  }
  // Word-wrapped into `width`; returns the y below the last line.
  int Wrapped(int x, int y, int width, const std::string& utf8, int max_lines, Color c = kBlack) {
    std::string line;
    int lines = 0;
    size_t at = 0;
    while (at <= utf8.size() && lines < max_lines) {
      size_t next = utf8.find(' ', at);
      if (next == std::string::npos) next = utf8.size();
      const std::string word = utf8.substr(at, next - at);
      const std::string tried = line.empty() ? word : line + " " + word;
      if (!line.empty() && Width(tried) > width) {
        At(x, y, line, c);
        y += line_;
        ++lines;
        line = word;
      } else {
        line = tried;
      }
      at = next + 1;
    }
    if (!line.empty() && lines < max_lines) {
      At(x, y, line, c);
      y += line_;
    }
    return y;
  }

 private:
  Surface& s_;
  int line_ = 0;
};

// A table of `rows` under a shaded heading row; columns start at the given
// fractions (thousandths) of the width. Returns the y below it.
int DrawTable(Surface& s, Writer& w, int left, int top, int width, int row_h,
              const char* const (&heads)[4], const int (&cols)[4],
              const std::vector<AssessmentPageRow>& rows) {
  const int pad = std::max(2, row_h / 5);
  s.FillRect({left, top, left + width, top + row_h}, kHeadingFill);
  auto x_of = [&](int k) {
    return left + static_cast<int>(static_cast<long long>(width) * cols[k] / 1000);
  };
  for (int k = 0; k < 4; ++k) w.At(x_of(k) + pad, top + pad, heads[k]);
  int y = top + row_h;
  for (const AssessmentPageRow& r : rows) {
    const std::string cells[4] = {r.name, r.required, r.measured, r.verdict};
    for (int k = 0; k < 4; ++k) {
      w.At(x_of(k) + pad, y + pad, cells[k], k == 3 && r.bad ? kFailColor : kBlack);
    }
    y += row_h;
  }
  s.SetPen(kBlack, PenStyle::kSolid, 1);
  for (int r = 0; r <= static_cast<int>(rows.size()) + 1; ++r) {
    s.Line(left, top + r * row_h, left + width, top + r * row_h);
  }
  for (int k = 0; k < 4; ++k) s.Line(x_of(k), top, x_of(k), y);
  s.Line(left + width, top, left + width, y);
  return y;
}

// "TITLE (what it is judged by)": the title in bold, the rest below it in
// the body font. Returns the y below it.
int Heading(Writer& w, int x, int y, int width, int body, const std::string& text) {
  const size_t open = text.find(" (");
  w.Font(body * 11 / 10, 700);
  w.At(x, y, text.substr(0, open));
  y += w.Line();
  if (open != std::string::npos && text.size() > open + 3 && text.back() == ')') {
    w.Font(body, 400);
    y = w.Wrapped(x, y, width, Capital(text.substr(open + 2, text.size() - open - 3)), 2);
  }
  return y + body / 4;
}

}  // namespace

void DrawAssessmentPage(Surface& s, const Rect& area, const AssessmentPage& page, bool printing) {
  Writer w(s);
  const int H = std::max(1, area.Height());
  const int W = std::max(1, area.Width());
  const int body = std::max(8, H / 36);
  const int margin = std::max(4, W / 80);
  const int left = area.left + margin;
  const int split = area.left + W * 58 / 100;  // the left column ends here
  const int right_l = split + margin;
  const int right_w = area.right - margin - right_l;
  const int left_w = split - margin - left;
  int y = area.top + body / 2;

  // Left: the title, the rating and the checks.
  w.Font(body * 3 / 2, 700);
  w.At(left, y, kAssessmentPageTitle);
  y += w.Line() + body / 3;
  w.Font(body * 13 / 10, 700);
  if (page.has_profile) {
    w.At(left, y, page.rating);
    y += w.Line();
    w.Font(body, 400);
    if (!page.test.empty()) {
      w.At(left, y, "Assessed: " + page.test);
      y += w.Line();
    }
    y += body / 2;
    static const char* const kHeads[4] = {"Check", "Required", "Measured", "Verdict"};
    static const int kCols[4] = {0, 330, 560, 830};
    w.Font(body, 400);
    y = DrawTable(s, w, left, y, left_w, w.Line() * 3 / 2, kHeads, kCols, page.checks);
    y += body / 2;
    for (const std::string& note : page.notes) y = w.Wrapped(left, y, left_w, note, 2);
  } else {
    w.At(left, y, "No assessment profile");
    y += w.Line();
  }

  // Left, below: the reference comparison.
  y += body;
  w.Font(body * 11 / 10, 700);
  w.At(left, y, "REFERENCE CURVE");
  y += w.Line() + body / 4;
  w.Font(body, 400);
  for (size_t i = 0; i < page.reference.size(); ++i) {
    const bool band_line = page.reference[i].rfind("Band ", 0) == 0;
    const Color c = band_line && page.reference_outside ? kFailColor : kBlack;
    y = w.Wrapped(left, y, left_w, page.reference[i], 2, c);
  }

  // Left, below: the sister phases, named as the engineer knows them.
  if (!page.sisters.empty()) {
    y += body;
    y = Heading(w, left, y, left_w, body, page.sisters_heading);
    const int rows = static_cast<int>(page.sisters.size()) + 1;
    const int room = area.bottom - body / 2 - y;
    int row_h = std::min(body * 3 / 2, std::max(1, room / rows));
    w.Font(std::max(6, std::min(body, row_h * 3 / 4)), 400);
    row_h = std::max(row_h, w.Line());
    static const char* const kHeads[4] = {"Phase", "Knee", "Ratio", "Verdict"};
    static const int kCols[4] = {0, 480, 720, 880};
    DrawTable(s, w, left, y, left_w, row_h, kHeads, kCols, page.sisters);
  }

  // Right: the verdict, large, in its colour, with why.
  const int box_h = H * 30 / 100;
  const Rect box{right_l, area.top + body / 2, right_l + right_w, area.top + body / 2 + box_h};
  const Color vc = VerdictColor(page.verdict);
  s.SetPen(vc, PenStyle::kSolid, std::max(2, body / 6));
  s.SetBrush(printing ? Color{255, 255, 255} : Color{250, 250, 250});
  s.Rectangle(box);
  int big = box_h * 45 / 100;
  w.Font(big, 900);
  // The longest word must fit the box.
  while (big > body && w.Width(page.verdict_text) > right_w - 2 * margin) {
    big = big * 9 / 10;
    w.Font(big, 900);
  }
  const int text_w = w.Width(page.verdict_text);
  const int why_lines = page.why.empty() ? 0 : 3;
  const int big_top = box.top + (box_h - w.Line() - why_lines * body * 6 / 5) / 2;
  w.At(box.left + (right_w - text_w) / 2, big_top, page.verdict_text, vc);
  if (!page.why.empty()) {
    const int after = big_top + w.Line();
    w.Font(body, 400);
    w.Wrapped(box.left + margin, after, right_w - 2 * margin, page.why, why_lines);
  }

  // Right, below: the taps against each other, as many rows as there are
  // taps, in a row height that fits the rest of the page.
  if (!page.taps.empty()) {
    int ty = box.bottom + body;
    ty = Heading(w, right_l, ty, right_w, body, page.taps_heading);
    const int rows = static_cast<int>(page.taps.size()) + 1;
    const int room = area.bottom - body / 2 - ty;
    int row_h = std::min(body * 3 / 2, room / rows);
    const int font = std::max(6, std::min(body, row_h * 3 / 4));
    w.Font(font, 400);
    row_h = std::max(row_h, w.Line());
    static const char* const kHeads[4] = {"Tap", "Knee", "Per turn", "Deviation"};
    static const int kCols[4] = {0, 220, 470, 700};
    DrawTable(s, w, right_l, ty, right_w, row_h, kHeads, kCols, page.taps);
  }
  s.SetTextColor(kBlack);
}

}  // namespace kova
