#include "library/history_table.h"

#include "analysis/display_rules.h"
#include "base/codepage.h"
#include "base/format.h"
#include "records/test_label.h"

namespace kova {
namespace {

constexpr const char* kTurnsRatioErrorColumn = "Turns ratio error";

HistoryCell ChangeCell(const Change& c, const char* format) {
  if (!c.valid) return {};
  return {Format(format, c.value) + " " + ChangeFlagText(c.flag), c.flag};
}

std::string CsvField(const std::string& utf8) {
  if (utf8.find_first_of(",\"\r\n") == std::string::npos) return utf8;
  std::string out = "\"";
  for (char c : utf8) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

JsonValue ChangeJson(const Change& c) {
  if (!c.valid) return JsonValue::Null();
  JsonValue o = JsonValue::Object();
  o.Set("change", JsonValue::Number(c.value));
  o.Set("flag", JsonValue::String(ChangeFlagText(c.flag)));
  return o;
}

JsonValue ChangesJson(const ValueChanges& v) {
  JsonValue o = JsonValue::Object();
  o.Set("ratio_turns", ChangeJson(v.ratio));
  o.Set("excitation_percent", ChangeJson(v.excitation));
  o.Set("rct75_percent", ChangeJson(v.resistance));
  return o;
}

JsonValue Optional(bool has, double value) {
  return has ? JsonValue::Number(value) : JsonValue::Null();
}

}  // namespace

double KneeVoltage(const TestRow& t) { return RowKnee(t).volts; }

const std::vector<std::string>& HistoryColumns() {
  static const std::vector<std::string> columns = {"Date",
                                                   "Test",
                                                   "Knee V",
                                                   "Exc. vs base",
                                                   "Exc. vs prev.",
                                                   "Ratio",
                                                   "Turns vs base",
                                                   "Turns vs prev.",
                                                   kTurnsRatioErrorColumn,
                                                   "Rct 75\xb0"
                                                   "C",
                                                   "Rct vs base",
                                                   "Rct vs prev.",
                                                   "P/F",
                                                   "Class",
                                                   "File"};
  return columns;
}

std::string HistoryColumnTip(const std::string& column) {
  if (column == kTurnsRatioErrorColumn)
    return std::string(kTurnsRatioErrorColumn) + " (N - Nn) / Nn x 100 %: " + kTurnsRatioErrorSign;
  return "";
}

std::vector<HistoryCell> HistoryCells(const HistoryEntry& e, DateStyle dates) {
  const TestRow& t = e.test;
  std::vector<HistoryCell> cells;
  cells.push_back({ShownDate(t.test_date, dates) + (t.baseline ? " (baseline)" : "")});
  cells.push_back({ReportTestLabel(t.tap_index, t.tap)});
  cells.push_back({Format("%.1f", KneeVoltage(t))});
  cells.push_back(ChangeCell(e.vs_baseline.excitation, "%+.1f %%"));
  cells.push_back(ChangeCell(e.vs_previous.excitation, "%+.1f %%"));
  cells.push_back({t.has_ratio ? Format("%.3f", t.measured_ratio) : "N/A"});
  cells.push_back(ChangeCell(e.vs_baseline.ratio, "%+.2f"));
  cells.push_back(ChangeCell(e.vs_previous.ratio, "%+.2f"));
  cells.push_back({t.has_ratio && t.nameplate_ratio > 0 ? Format("%+.3f %%", t.ratio_error) : ""});
  cells.push_back({t.has_resistance ? Format("%.4f", t.rct75) : "N/A"});
  cells.push_back(ChangeCell(e.vs_baseline.resistance, "%+.1f %%"));
  cells.push_back(ChangeCell(e.vs_previous.resistance, "%+.1f %%"));
  cells.push_back({t.pass_fail});
  cells.push_back({t.ct_class});
  cells.push_back({t.path});
  return cells;
}

std::string HistoryCsv(const std::vector<HistoryEntry>& history) {
  std::string out;
  auto line = [&out](const std::vector<std::string>& fields) {
    for (size_t i = 0; i < fields.size(); ++i) out += (i ? "," : "") + CsvField(fields[i]);
    out += "\r\n";
  };
  std::vector<std::string> header;
  for (const std::string& c : HistoryColumns()) header.push_back(Cp1252ToUtf8(c));
  line(header);
  for (const HistoryEntry& e : history) {
    std::vector<std::string> fields;
    const auto cells = HistoryCells(e);
    for (size_t i = 0; i < cells.size(); ++i)
      // The path is the system's own name, already as the system spells it.
      fields.push_back(i + 1 == cells.size() ? SystemNameToUtf8(cells[i].text)
                                             : Cp1252ToUtf8(cells[i].text));
    line(fields);
  }
  return out;
}

JsonValue HistoryJson(const std::vector<HistoryEntry>& history) {
  JsonValue tests = JsonValue::Array();
  for (const HistoryEntry& e : history) {
    const TestRow& t = e.test;
    JsonValue o = JsonValue::Object();
    o.Set("test_date", JsonValue::String(t.test_date));
    o.Set("report_number", JsonValue::Integer(ReportTestNumber(t.tap_index)));
    o.Set("tap", JsonValue::String(Cp1252ToUtf8(t.tap)));
    o.Set("file", JsonValue::String(SystemNameToUtf8(t.path)));
    o.Set("content_hash", JsonValue::String(t.content_hash));
    o.Set("baseline", JsonValue::Bool(t.baseline));
    o.Set("knee_volts", JsonValue::Number(KneeVoltage(t)));
    o.Set("nameplate_ratio", JsonValue::Number(t.nameplate_ratio));
    o.Set("measured_ratio", Optional(t.has_ratio, t.measured_ratio));
    o.Set("turns_ratio_error_percent",
          Optional(t.has_ratio && t.nameplate_ratio > 0, t.ratio_error));
    o.Set("phase", Optional(t.has_phase, t.phase));
    o.Set("winding_ohms", Optional(t.has_resistance, t.winding_res));
    o.Set("rct75_ohms", Optional(t.has_resistance, t.rct75));
    o.Set("pass_fail", JsonValue::String(t.pass_fail));
    o.Set("class", JsonValue::String(Cp1252ToUtf8(t.ct_class)));
    o.Set("vs_baseline", ChangesJson(e.vs_baseline));
    o.Set("vs_previous", ChangesJson(e.vs_previous));
    tests.Push(std::move(o));
  }
  return tests;
}

}  // namespace kova
