#include "report/details_tables.h"

#include <algorithm>

#include "base/format.h"

namespace kova {

namespace {

// The table's columns: test, result, inputs, points, extrapolated.
constexpr int kIndent = 2;
constexpr int kWidths[] = {9, 28, 28, 27, 6};
constexpr const char* kColumnNames[] = {"test", "result", "input values, in order", "read between",
                                        "extrap"};
// Joins the words of a point so that a line never breaks inside it.
constexpr char kKeep = '\x1F';
constexpr const char* kColumnHeadMark = "  test  ";
// Rows of a block's words: "rule", "formula", ... before the table.
constexpr int kLabelWidth = 10;
constexpr const char* kLabels[] = {"rule", "formula", "inputs", "read"};

std::string Padded(const std::string& s, int width) {
  std::string out = s;
  if (static_cast<int>(out.size()) < width)
    out.append(static_cast<size_t>(width) - out.size(), ' ');
  return out;
}

// A labelled line of a block, continued below the label.
void Labelled(std::vector<std::string>& out, const std::string& label, const std::string& text) {
  const int width = kDetailsWidth - kIndent - kLabelWidth;
  const std::vector<std::string> wrapped = WrapWords(text, width);
  for (size_t i = 0; i < wrapped.size(); ++i) {
    out.push_back(std::string(kIndent, ' ') + Padded(i == 0 ? label : "", kLabelWidth) +
                  wrapped[i]);
  }
}

// One table row of cells, each wrapped in its column; trailing blanks cut.
void Row(std::vector<std::string>& out, const std::vector<std::string>& cells) {
  std::vector<std::vector<std::string>> wrapped;
  size_t height = 1;
  for (size_t c = 0; c < cells.size(); ++c) {
    wrapped.push_back(WrapWords(cells[c], kWidths[c]));
    height = std::max(height, wrapped.back().size());
  }
  for (size_t r = 0; r < height; ++r) {
    std::string line(kIndent, ' ');
    for (size_t c = 0; c < cells.size(); ++c) {
      const std::string& part = r < wrapped[c].size() ? wrapped[c][r] : std::string();
      line += c + 1 < cells.size() ? Padded(part, kWidths[c] + 2) : part;
    }
    std::replace(line.begin(), line.end(), kKeep, ' ');
    line.erase(line.find_last_not_of(' ') + 1);
    out.push_back(line);
  }
}

std::string InputName(const ExplainInput& in) {
  std::string s = in.name;
  if (!in.unit.empty()) s += " [" + in.unit + "]";
  return s + " (" + OriginWord(in.origin) + ")";
}

struct Occurrence {
  const TestExplanation* test;
  const Explanation* item;
};

void Block(std::vector<std::string>& out, const std::vector<Occurrence>& rows) {
  const Explanation& first = *rows.front().item;
  out.push_back(first.quantity);
  Labelled(out, kLabels[0], first.rule);
  Labelled(out, kLabels[1], first.formula);
  std::string names;
  for (const ExplainInput& in : first.inputs) names += (names.empty() ? "" : "; ") + InputName(in);
  Labelled(out, kLabels[2], names.empty() ? "none" : names);
  Labelled(out, kLabels[3], first.interpolation);
  Row(out, {kColumnNames[0], kColumnNames[1], kColumnNames[2], kColumnNames[3], kColumnNames[4]});
  for (const Occurrence& o : rows) {
    const Explanation& x = *o.item;
    std::string values;
    for (size_t i = 0; i < x.inputs.size(); ++i) {
      const ExplainInput& in = x.inputs[i];
      std::string v = Format("%.6g", in.value);
      // Named at the head with another test's input: this one says its own.
      const bool same = i < first.inputs.size() && first.inputs[i].name == in.name &&
                        first.inputs[i].origin == in.origin;
      if (!same) v = in.name + " " + v + " (" + OriginWord(in.origin) + ")";
      values += (values.empty() ? "" : "; ") + v;
    }
    std::string points;
    for (const CurvePoint& p : x.points) {
      points += (points.empty() ? "" : "\n") +
                Format("%.6g%cV,%c%.6g%cA", p.volts, kKeep, kKeep, p.amps, kKeep);
    }
    const std::string test = o.test->tap.empty()
                                 ? Format("%d", o.test->test)
                                 : Format("%d %s", o.test->test, o.test->tap.c_str());
    Row(out, {test, x.result, values.empty() ? "-" : values, points.empty() ? "-" : points,
              x.extrapolated ? "yes" : "no"});
  }
}

}  // namespace

std::vector<std::string> WrapWords(const std::string& text, int width) {
  std::vector<std::string> lines;
  std::string line;
  size_t i = 0;
  while (i < text.size()) {
    const size_t end = std::min(text.find_first_of(" \n", i), text.size());
    std::string word = text.substr(i, end - i);
    const bool hard_break = end < text.size() && text[end] == '\n';
    i = end + 1;
    while (static_cast<int>(word.size()) > width) {  // cut what no line holds
      if (!line.empty()) lines.push_back(line);
      line.clear();
      lines.push_back(word.substr(0, static_cast<size_t>(width)));
      word.erase(0, static_cast<size_t>(width));
    }
    if (!word.empty()) {
      if (!line.empty() && static_cast<int>(line.size() + 1 + word.size()) > width) {
        lines.push_back(line);
        line.clear();
      }
      line += (line.empty() ? "" : " ") + word;
    }
    if (hard_break) {
      lines.push_back(line);
      line.clear();
    }
  }
  if (!line.empty() || lines.empty()) lines.push_back(line);
  return lines;
}

std::vector<std::string> WorkingTables(const RecordExplanation& e) {
  std::vector<std::string> out;
  out.push_back("Working of every value, program version " + e.program_version);
  // Quantities in the order they first appear, each with the tests that have it.
  std::vector<std::vector<Occurrence>> blocks;
  for (const TestExplanation& t : e.tests) {
    for (const Explanation& x : t.items) {
      auto it = std::find_if(blocks.begin(), blocks.end(), [&](const std::vector<Occurrence>& b) {
        return b.front().item->quantity == x.quantity;
      });
      if (it == blocks.end()) {
        blocks.push_back({{&t, &x}});
      } else {
        it->push_back({&t, &x});
      }
    }
  }
  for (const auto& b : blocks) {
    out.push_back("");
    Block(out, b);
  }
  return out;
}

bool IsDetailsHeading(const std::string& line) {
  return (!line.empty() && line[0] != ' ') || line.rfind(kColumnHeadMark, 0) == 0;
}

std::vector<size_t> DetailsPageStarts(const std::vector<std::string>& lines, int per_page) {
  const size_t n = lines.size(), room = static_cast<size_t>(std::max(1, per_page));
  auto text_at = [&](size_t i) { return lines[i].find_first_not_of(' '); };
  // A table row's continuation has a blank test column.
  auto continues = [&](size_t i) {
    const size_t at = text_at(i);
    return at != std::string::npos && at >= static_cast<size_t>(kIndent + kWidths[0] + 2);
  };
  // What heads a table: the quantity, its labelled lines, the column names.
  auto heads = [&](size_t i) {
    const std::string& l = lines[i];
    if (l.empty() || IsDetailsHeading(l)) return true;
    if (text_at(i) == static_cast<size_t>(kIndent + kLabelWidth)) return true;
    for (const char* label : kLabels) {
      if (l.rfind(std::string(kIndent, ' ') + Padded(label, kLabelWidth), 0) == 0) return true;
    }
    return false;
  };
  std::vector<size_t> starts{0};
  size_t start = 0;
  while (start + room < n) {
    size_t cut = start + room;  // the first line of the next page
    // Never begin a page inside a table row, nor end one on what heads the next.
    while (cut > start + 1 && (continues(cut) || heads(cut - 1))) --cut;
    if (cut <= start + 1) cut = start + room;  // nothing better: a page of one block
    while (cut < n && lines[cut].empty()) ++cut;
    if (cut >= n) break;
    starts.push_back(cut);
    start = cut;
  }
  return starts;
}

}  // namespace kova
