#include "library/fleet.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <tuple>

#include "base/codepage.h"
#include "library/history.h"
#include "library/library_assess.h"

namespace kova {
namespace {

FleetState FromFlag(ChangeFlag flag) {
  switch (flag) {
    case ChangeFlag::kOk:
      return FleetState::kOk;
    case ChangeFlag::kWarn:
      return FleetState::kWarn;
    case ChangeFlag::kAlarm:
      return FleetState::kAlarm;
    default:
      return FleetState::kNone;
  }
}

FleetState Worst(FleetState a, FleetState b) { return a > b ? a : b; }

FleetState WorstOf(const ValueChanges& c) {
  return Worst(FromFlag(c.ratio.flag),
               Worst(FromFlag(c.excitation.flag), FromFlag(c.resistance.flag)));
}

// Days since 1970-01-01 of a civil date, and back (H. Hinnant's algorithm).
int64_t DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

bool LeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }
int DaysInMonth(int y, int m) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && LeapYear(y) ? 29 : kDays[m - 1];
}

bool ParseDate(const std::string& text, int& y, int& m, int& d) {
  if (text.size() < 10 || text[4] != '-' || text[7] != '-') return false;
  for (int i : {0, 1, 2, 3, 5, 6, 8, 9})
    if (text[i] < '0' || text[i] > '9') return false;
  y = std::stoi(text.substr(0, 4));
  m = std::stoi(text.substr(5, 2));
  d = std::stoi(text.substr(8, 2));
  return m >= 1 && m <= 12 && d >= 1 && d <= DaysInMonth(y, m);
}

std::string DateText(int y, int m, int d) {
  if (y < 0 || y > 9999) return std::string();
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, m, d);
  return buf;
}

std::string Upper(const std::string& s) { return NormalizeIdentityText(s); }

bool Contains(const FleetRow& r, const std::string& text) {
  for (const std::string* f :
       {&r.ct.serialnumber, &r.ct.station, &r.ct.circuit, &r.ct.manufacturer})
    if (Upper(*f).find(text) != std::string::npos) return true;
  return false;
}

std::string CsvField(const std::string& utf8) {
  if (utf8.find_first_of(",\"\r\n") == std::string::npos) return utf8;
  std::string out = "\"";
  for (char c : utf8) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

const struct {
  FleetColumn column;
  const char* name;
} kColumnNames[] = {
    {FleetColumn::kSerial, "serial"},      {FleetColumn::kManufacturer, "manufacturer"},
    {FleetColumn::kStation, "station"},    {FleetColumn::kCircuit, "circuit"},
    {FleetColumn::kModel, "model"},        {FleetColumn::kRecords, "records"},
    {FleetColumn::kTaps, "taps"},          {FleetColumn::kFirstTest, "first_test"},
    {FleetColumn::kLastTest, "last_test"}, {FleetColumn::kState, "state"},
    {FleetColumn::kVerdict, "verdict"},    {FleetColumn::kDue, "due"},
};

}  // namespace

const char* FleetStateText(FleetState state) {
  switch (state) {
    case FleetState::kOk:
      return "OK";
    case FleetState::kWarn:
      return "WARN";
    case FleetState::kAlarm:
      return "ALARM";
    case FleetState::kFail:
      return "FAIL";
    default:
      return "";
  }
}

bool ParseFleetState(const std::string& text, FleetState& state) {
  const std::string want = Upper(text);
  for (FleetState s : {FleetState::kOk, FleetState::kWarn, FleetState::kAlarm, FleetState::kFail})
    if (want == FleetStateText(s)) {
      state = s;
      return true;
    }
  return false;
}

std::string TrendBandsText(const TrendBands& b) {
  std::string out;
  for (double v :
       {b.ratio_turns, b.ratio_alarm_turns, b.excitation_warn_percent, b.excitation_alarm_percent,
        b.resistance_warn_percent, b.resistance_alarm_percent}) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    out += (out.empty() ? "" : ",") + std::string(buf);
  }
  return out;
}

bool TrendBandsFromText(const std::string& text, TrendBands& bands) {
  // Nothing but digits, signs, points, exponents and commas, short: sscanf
  // sees no "nan", "inf" or hex and never reads past the text.
  if (text.size() > 200 || text.find_first_not_of("0123456789+-.eE,") != std::string::npos)
    return false;
  double v[6];
  int used = 0;
  if (std::sscanf(text.c_str(), "%lf,%lf,%lf,%lf,%lf,%lf%n", &v[0], &v[1], &v[2], &v[3], &v[4],
                  &v[5], &used) != 6 ||
      static_cast<size_t>(used) != text.size())
    return false;
  for (double x : v)
    if (!(x > 0) || !std::isfinite(x)) return false;
  bands.ratio_turns = v[0], bands.ratio_alarm_turns = v[1];
  bands.excitation_warn_percent = v[2], bands.excitation_alarm_percent = v[3];
  bands.resistance_warn_percent = v[4], bands.resistance_alarm_percent = v[5];
  return true;
}

FleetState FleetStateFromNumber(int64_t n) {
  return n >= 0 && n <= 4 ? static_cast<FleetState>(n) : FleetState::kNone;
}

FleetState LatestTestState(std::vector<TestRow> tests, const TrendBands& bands) {
  if (tests.empty()) return FleetState::kNone;
  const std::vector<HistoryEntry> history = BuildHistory(std::move(tests), bands);
  const HistoryEntry& latest = history.back();
  FleetState s = Worst(WorstOf(latest.vs_baseline), WorstOf(latest.vs_previous));
  // A single test compares with nothing: it is as good as its plan says.
  if (s == FleetState::kNone) s = FleetState::kOk;
  if (Upper(latest.test.pass_fail) == "FAIL") s = FleetState::kFail;
  return s;
}

FleetFacts CtFleetFacts(const std::vector<TestRow>& tests, int64_t records,
                        const std::string& profile, const TrendBands& bands) {
  FleetFacts f;
  f.records = records;
  std::map<std::string, std::vector<TestRow>> by_tap;
  for (const TestRow& t : tests) {
    by_tap[t.tap].push_back(t);
    if (f.first_test_date.empty() || t.test_date < f.first_test_date)
      f.first_test_date = t.test_date;
    if (t.test_date > f.last_test_date) f.last_test_date = t.test_date;
  }
  f.taps = static_cast<int64_t>(by_tap.size());
  for (auto& tap : by_tap) f.state = Worst(f.state, LatestTestState(std::move(tap.second), bands));
  if (profile.empty()) return f;
  // The latest record as the verdict table takes it: by date, then content.
  ProfiledCt p;
  p.profile = profile;
  for (const TestRow& t : tests)
    if (std::tie(t.test_date, t.content_hash) > std::tie(p.test_date, p.content_hash)) {
      p.test_date = t.test_date;
      p.content_hash = t.content_hash;
      p.path = t.path;
    }
  for (const TestRow& t : tests)
    if (t.content_hash == p.content_hash) p.tests.push_back(t);
  std::sort(p.tests.begin(), p.tests.end(),
            [](const TestRow& a, const TestRow& b) { return a.tap_index < b.tap_index; });
  // Only the library's values: a record file is never read while filing.
  f.verdict = VerdictCell(AssessProfiledCt(p, nullptr).verdict);
  return f;
}

std::string AddYears(const std::string& date, int years) {
  int y, m, d;
  if (!ParseDate(date, y, m, d)) return std::string();
  y += years;
  // 29 February of a year that has none is the 28th.
  return DateText(y, m, std::min(d, DaysInMonth(y, m)));
}

std::string AddDays(const std::string& date, int days) {
  int y, m, d;
  if (!ParseDate(date, y, m, d)) return std::string();
  CivilFromDays(DaysFromCivil(y, m, d) + days, y, m, d);
  return DateText(y, m, d);
}

std::string DueDate(const std::string& last_test_date, int retest_years) {
  return AddYears(last_test_date, retest_years);
}

const char* FleetColumnName(FleetColumn column) {
  for (const auto& c : kColumnNames)
    if (c.column == column) return c.name;
  return "";
}

bool ParseFleetColumn(const std::string& name, FleetColumn& column) {
  for (const auto& c : kColumnNames)
    if (name == c.name) {
      column = c.column;
      return true;
    }
  return false;
}

const std::vector<FleetColumn>& FleetColumns() {
  static const std::vector<FleetColumn> all = [] {
    std::vector<FleetColumn> v;
    for (const auto& c : kColumnNames) v.push_back(c.column);
    return v;
  }();
  return all;
}

FleetQuery MakeFleetQuery(const FleetFilter& f, const std::string& today, int retest_years) {
  FleetQuery q;
  q.text = Upper(f.text);
  q.station = Upper(f.station);
  q.circuit = Upper(f.circuit);
  q.manufacturer = Upper(f.manufacturer);
  q.min_state = f.min_state;
  // Due (last + years) before today <=> last before today - years; due on
  // or before a day <=> due before the day after it.
  std::string due_before;
  if (f.due_within_days >= 0) due_before = AddDays(today, f.due_within_days + 1);
  if (f.overdue) due_before = today;
  if (!due_before.empty()) {
    std::string last = AddYears(due_before, -retest_years);
    // Going back from a 29th of February lands on the 28th, whose own due
    // date is still before the bound.
    if (!last.empty() && DueDate(last, retest_years) < due_before) last = AddDays(last, 1);
    q.last_test_before = last;
  }
  q.tested_from = f.tested_from.empty() ? std::string() : f.tested_from.substr(0, 10);
  q.tested_before = f.tested_to.empty() ? std::string() : AddDays(f.tested_to, 1);
  q.sort = f.sort;
  q.descending = f.descending;
  q.limit = std::max(0, f.limit);
  q.offset = std::max(0, f.offset);
  return q;
}

void FillDue(FleetPage& page, const std::string& today, int retest_years) {
  for (FleetRow& r : page.rows) {
    r.due_date = DueDate(r.facts.last_test_date, retest_years);
    r.overdue = !r.due_date.empty() && r.due_date < today;
  }
}

bool FleetRowMatches(const FleetRow& r, const FleetQuery& q) {
  if (!q.text.empty() && !Contains(r, q.text)) return false;
  if (!q.station.empty() && Upper(r.ct.station) != q.station) return false;
  if (!q.circuit.empty() && Upper(r.ct.circuit) != q.circuit) return false;
  if (!q.manufacturer.empty() && Upper(r.ct.manufacturer) != q.manufacturer) return false;
  if (r.facts.state < q.min_state) return false;
  if (!q.last_test_before.empty() && !(r.facts.last_test_date < q.last_test_before)) return false;
  // In memory only the first and last test are known: a CT matches when
  // its tests span the range's start or end (the store looks at each test).
  if (!q.tested_from.empty() && !(r.facts.last_test_date >= q.tested_from)) return false;
  if (!q.tested_before.empty() && !(r.facts.first_test_date < q.tested_before)) return false;
  return true;
}

bool FleetRowBefore(const FleetRow& a, const FleetRow& b, const FleetQuery& q) {
  auto key = [&](const FleetRow& r) {
    switch (q.sort) {
      case FleetColumn::kManufacturer:
        return std::make_tuple(int64_t{0}, Upper(r.ct.manufacturer));
      case FleetColumn::kStation:
        return std::make_tuple(int64_t{0}, Upper(r.ct.station));
      case FleetColumn::kCircuit:
        return std::make_tuple(int64_t{0}, Upper(r.ct.circuit));
      case FleetColumn::kModel:
        return std::make_tuple(int64_t{0}, Upper(r.ct.model));
      case FleetColumn::kRecords:
        return std::make_tuple(r.facts.records, std::string());
      case FleetColumn::kTaps:
        return std::make_tuple(r.facts.taps, std::string());
      case FleetColumn::kFirstTest:
        return std::make_tuple(int64_t{0}, r.facts.first_test_date);
      case FleetColumn::kLastTest:
      case FleetColumn::kDue:
        return std::make_tuple(int64_t{0}, r.facts.last_test_date);
      case FleetColumn::kState:
        return std::make_tuple(static_cast<int64_t>(r.facts.state), std::string());
      case FleetColumn::kVerdict:
        return std::make_tuple(int64_t{0}, r.facts.verdict);
      default:
        return std::make_tuple(int64_t{0}, Upper(r.ct.serialnumber));
    }
  };
  const auto ka = key(a), kb = key(b);
  if (ka != kb) return q.descending ? kb < ka : ka < kb;
  return a.ct.key < b.ct.key;
}

FleetPage QueryFleetRows(std::vector<FleetRow> rows, const FleetQuery& q) {
  FleetPage page;
  for (FleetRow& r : rows)
    if (FleetRowMatches(r, q)) page.rows.push_back(std::move(r));
  std::sort(page.rows.begin(), page.rows.end(),
            [&](const FleetRow& a, const FleetRow& b) { return FleetRowBefore(a, b, q); });
  page.total = static_cast<int64_t>(page.rows.size());
  const size_t from = std::min(page.rows.size(), static_cast<size_t>(q.offset));
  const size_t to = std::min(page.rows.size(), from + static_cast<size_t>(q.limit));
  page.rows = std::vector<FleetRow>(page.rows.begin() + from, page.rows.begin() + to);
  return page;
}

std::vector<std::string> FleetCells(const FleetRow& r, DateStyle dates) {
  std::vector<std::string> out;
  for (FleetColumn c : FleetColumns()) {
    switch (c) {
      case FleetColumn::kSerial:
        out.push_back(r.ct.serialnumber);
        break;
      case FleetColumn::kManufacturer:
        out.push_back(r.ct.manufacturer);
        break;
      case FleetColumn::kStation:
        out.push_back(r.ct.station);
        break;
      case FleetColumn::kCircuit:
        out.push_back(r.ct.circuit);
        break;
      case FleetColumn::kModel:
        out.push_back(r.ct.model);
        break;
      case FleetColumn::kRecords:
        out.push_back(std::to_string(r.facts.records));
        break;
      case FleetColumn::kTaps:
        out.push_back(std::to_string(r.facts.taps));
        break;
      case FleetColumn::kFirstTest:
        out.push_back(ShownDate(r.facts.first_test_date.substr(0, 10), dates));
        break;
      case FleetColumn::kLastTest:
        out.push_back(ShownDate(r.facts.last_test_date.substr(0, 10), dates));
        break;
      case FleetColumn::kState:
        out.push_back(FleetStateText(r.facts.state));
        break;
      case FleetColumn::kVerdict:
        out.push_back(r.facts.verdict);
        break;
      case FleetColumn::kDue:
        out.push_back(ShownDate(r.due_date, dates) + (r.overdue ? " overdue" : ""));
        break;
    }
  }
  return out;
}

const char* FleetColumnTitle(FleetColumn c) {
  switch (c) {
    case FleetColumn::kSerial:
      return "Serial number";
    case FleetColumn::kManufacturer:
      return "Manufacturer";
    case FleetColumn::kStation:
      return "Station";
    case FleetColumn::kCircuit:
      return "Circuit";
    case FleetColumn::kModel:
      return "Model";
    case FleetColumn::kRecords:
      return "Records";
    case FleetColumn::kTaps:
      return "Taps";
    case FleetColumn::kFirstTest:
      return "First test";
    case FleetColumn::kLastTest:
      return "Last test";
    case FleetColumn::kState:
      return "State";
    case FleetColumn::kVerdict:
      return "Verdict";
    case FleetColumn::kDue:
      return "Due";
  }
  return "";
}

std::string FleetCsv(const FleetPage& page) {
  std::string out;
  for (FleetColumn c : FleetColumns())
    out += std::string(out.empty() ? "" : ",") + FleetColumnName(c);
  out += ",overdue\r\n";
  for (const FleetRow& r : page.rows) {
    std::vector<std::string> cells = FleetCells(r);
    cells.back() = r.due_date;
    std::string line;
    for (const std::string& cell : cells)
      line += (line.empty() ? "" : ",") + CsvField(Cp1252ToUtf8(cell));
    out += line + (r.overdue ? ",yes" : ",no") + "\r\n";
  }
  return out;
}

JsonValue FleetJson(const FleetPage& page) {
  JsonValue cts = JsonValue::Array();
  for (const FleetRow& r : page.rows) {
    JsonValue o = JsonValue::Object();
    std::vector<std::string> cells = FleetCells(r);
    cells.back() = r.due_date;
    const auto& columns = FleetColumns();
    for (size_t i = 0; i < columns.size(); ++i) {
      if (columns[i] == FleetColumn::kRecords)
        o.Set("records", JsonValue::Integer(r.facts.records));
      else if (columns[i] == FleetColumn::kTaps)
        o.Set("taps", JsonValue::Integer(r.facts.taps));
      else
        o.Set(FleetColumnName(columns[i]), JsonValue::String(Cp1252ToUtf8(cells[i])));
    }
    o.Set("overdue", JsonValue::Bool(r.overdue));
    cts.Push(std::move(o));
  }
  JsonValue out = JsonValue::Object();
  out.Set("total", JsonValue::Integer(page.total));
  out.Set("cts", std::move(cts));
  return out;
}

}  // namespace kova
