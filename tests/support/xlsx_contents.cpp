#include "support/xlsx_contents.h"

#include <string>
#include <vector>

#include "support/run_program.h"

namespace kova {
namespace {

std::string Unzip(const std::string& zip, const std::string& member) {
  const ProgramResult r = RunProgram("/usr/bin/unzip", {"-p", zip, member});
  return r.exit_code == 0 ? r.out : std::string();
}

std::string Unescape(const std::string& s) {
  static const std::pair<const char*, char> kEntities[] = {
      {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
  std::string out;
  for (size_t i = 0; i < s.size();) {
    bool replaced = false;
    for (const auto& [entity, c] : kEntities) {
      const std::string e(entity);
      if (s.compare(i, e.size(), e) == 0) {
        out += c;
        i += e.size();
        replaced = true;
        break;
      }
    }
    if (!replaced) out += s[i++];
  }
  return out;
}

// Texts between <open...> and </close>, in order, from `from` to `to`.
std::vector<std::string> Elements(const std::string& xml, const std::string& name, size_t from = 0,
                                  size_t to = std::string::npos) {
  std::vector<std::string> out;
  const std::string open = "<" + name, close = "</" + name + ">";
  if (to == std::string::npos) to = xml.size();
  for (size_t p = xml.find(open, from); p != std::string::npos && p < to;
       p = xml.find(open, p + 1)) {
    const char next = xml[p + open.size()];
    if (next != '>' && next != ' ' && next != '/') continue;  // a longer element name
    const size_t gt = xml.find('>', p);
    if (gt == std::string::npos) break;
    if (xml[gt - 1] == '/') {
      out.push_back(xml.substr(p, gt + 1 - p));  // empty element: keep its attributes
      continue;
    }
    const size_t end = xml.find(close, gt);
    if (end == std::string::npos) break;
    out.push_back(xml.substr(p, end + close.size() - p));
  }
  return out;
}

std::string Attribute(const std::string& element, const std::string& name) {
  const std::string key = " " + name + "=\"";
  const size_t p = element.find(key);
  if (p == std::string::npos) return {};
  const size_t end = element.find('"', p + key.size());
  return element.substr(p + key.size(), end - p - key.size());
}

std::string Inner(const std::string& element) {
  const size_t gt = element.find('>');
  const size_t lt = element.rfind("</");
  if (gt == std::string::npos || lt == std::string::npos || lt < gt) return {};
  return element.substr(gt + 1, lt - gt - 1);
}

CellPos ParseRef(const std::string& ref) {
  int column = 0;
  size_t i = 0;
  for (; i < ref.size() && ref[i] >= 'A' && ref[i] <= 'Z'; ++i)
    column = column * 26 + ref[i] - 'A' + 1;
  return {std::stoi(ref.substr(i)), column};
}

}  // namespace

std::string XlsxContents::At(int row, int column) const {
  const auto it = cells.find({row, column});
  return it == cells.end() ? std::string() : it->second;
}

int XlsxContents::RowOf(const std::string& text, int column, int from) const {
  for (const auto& [pos, t] : cells) {
    if (pos.second == column && pos.first >= from && t == text) return pos.first;
  }
  return -1;
}

bool XlsxContents::AllCellsText() const {
  if (styles.size() != 1) return false;
  // The style's entry in cellXfs names a number format whose code is "@".
  const std::vector<std::string> xfs =
      Elements(text_style_formats, "xf", text_style_formats.find("<cellXfs"));
  const size_t index = static_cast<size_t>(*styles.begin());
  if (index >= xfs.size()) return false;
  const std::string id = Attribute(xfs[index], "numFmtId");
  if (id == "49") return true;  // the built-in text format
  for (const std::string& f : Elements(text_style_formats, "numFmt")) {
    if (Attribute(f, "numFmtId") == id) return Attribute(f, "formatCode") == "@";
  }
  return false;
}

XlsxContents ReadXlsx(const std::string& path) {
  XlsxContents x;
  const std::string sheet = Unzip(path, "xl/worksheets/sheet1.xml");
  if (sheet.empty()) return x;
  x.read = true;
  std::vector<std::string> strings;
  for (const std::string& si : Elements(Unzip(path, "xl/sharedStrings.xml"), "si")) {
    std::string text;
    for (const std::string& t : Elements(si, "t")) text += Unescape(Inner(t));
    strings.push_back(text);
  }
  for (const std::string& c : Elements(sheet, "c")) {
    const CellPos pos = ParseRef(Attribute(c, "r"));
    x.styles.insert(std::stoi("0" + Attribute(c, "s")));
    const std::vector<std::string> v = Elements(c, "v");
    if (v.empty()) continue;  // formatted, no value
    const size_t index = std::stoul(Inner(v[0]));
    if (Attribute(c, "t") == "s" && index < strings.size()) {
      x.cells[pos] = strings[index];
    } else {
      x.number_cells.insert(pos);
    }
  }
  x.text_style_formats = Unzip(path, "xl/styles.xml");
  for (const std::string& from : Elements(Unzip(path, "xl/drawings/drawing1.xml"), "xdr:from")) {
    const std::vector<std::string> col = Elements(from, "xdr:col"), row = Elements(from, "xdr:row");
    if (col.empty() || row.empty()) continue;
    x.pictures.insert({std::stoi(Inner(row[0])) + 1, std::stoi(Inner(col[0])) + 1});
  }
  const ProgramResult list = RunProgram("/usr/bin/unzip", {"-Z1", path});
  size_t p = 0;
  while ((p = list.out.find("xl/media/", p)) != std::string::npos) {
    const size_t end = list.out.find('\n', p);
    x.media.insert(list.out.substr(p + 9, end - p - 9));
    p = end;
  }
  return x;
}

}  // namespace kova
