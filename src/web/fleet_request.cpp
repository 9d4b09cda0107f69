#include "web/fleet_request.h"

#include <charconv>

#include "base/codepage.h"

namespace kova {

namespace {

bool ParseInt(const std::string& text, int lo, int hi, int& out) {
  int v = 0;
  const char* end = text.data() + text.size();
  const auto r = std::from_chars(text.data(), end, v);
  if (text.empty() || r.ec != std::errc() || r.ptr != end || v < lo || v > hi) return false;
  out = v;
  return true;
}

bool ParseFlag(const std::string& text, bool& out) {
  if (text.empty() || text == "1" || text == "on" || text == "yes" || text == "true") {
    out = true;
    return true;
  }
  if (text == "0" || text == "off" || text == "no" || text == "false") {
    out = false;
    return true;
  }
  return false;
}

std::string Range(int lo, int hi) { return std::to_string(lo) + " to " + std::to_string(hi); }

}  // namespace

bool ParseWebFormat(const std::string& text, WebFormat& format) {
  if (text.empty() || text == "html") return format = WebFormat::kHtml, true;
  if (text == "csv") return format = WebFormat::kCsv, true;
  if (text == "json") return format = WebFormat::kJson, true;
  return false;
}

bool ParseFleetRequest(const QueryParams& params, FleetRequest& out, std::string& why) {
  out = FleetRequest();
  FleetFilter& f = out.filter;
  for (const auto& [name, value] : params) {
    const std::string quoted = "\"" + value + "\"";
    bool ok = true;
    std::string want;
    if (name == "search") {
      f.text = Utf8ToCp1252(value);
    } else if (name == "station") {
      f.station = Utf8ToCp1252(value);
    } else if (name == "circuit") {
      f.circuit = Utf8ToCp1252(value);
    } else if (name == "manufacturer") {
      f.manufacturer = Utf8ToCp1252(value);
    } else if (name == "state") {
      f.min_state = FleetState::kNone;
      ok = value.empty() || ParseFleetState(value, f.min_state);
      want = "one of ok, warn, alarm, fail";
    } else if (name == "overdue") {
      ok = ParseFlag(value, f.overdue);
      want = "1 or 0";
    } else if (name == "due-within") {
      f.due_within_days = -1;
      ok = value.empty() || ParseInt(value, 0, kMaxDueWithinDays, f.due_within_days);
      want = "a number of days from " + Range(0, kMaxDueWithinDays);
    } else if (name == "sort") {
      ok = ParseFleetColumn(value, f.sort);
      want = "a column:";
      for (FleetColumn c : FleetColumns()) want += std::string(" ") + FleetColumnName(c);
    } else if (name == "desc") {
      ok = ParseFlag(value, f.descending);
      want = "1 or 0";
    } else if (name == "limit") {
      ok = ParseInt(value, 1, kMaxFleetLimit, f.limit);
      want = "a number from " + Range(1, kMaxFleetLimit);
    } else if (name == "offset") {
      ok = ParseInt(value, 0, kMaxFleetOffset, f.offset);
      want = "a number from " + Range(0, kMaxFleetOffset);
    } else if (name == "format") {
      ok = ParseWebFormat(value, out.format);
      want = "html, csv or json";
    } else {
      why = "The fleet has no parameter \"" + name + "\"";
      return false;
    }
    if (!ok) {
      why = name + ": " + quoted + " is not " + want;
      return false;
    }
  }
  return true;
}

std::string FleetQueryText(const FleetFilter& f, int offset) {
  const FleetFilter d;
  QueryParams q;
  auto text = [&q](const char* name, const std::string& cp1252) {
    if (!cp1252.empty()) q.emplace_back(name, Cp1252ToUtf8(cp1252));
  };
  text("search", f.text);
  text("station", f.station);
  text("circuit", f.circuit);
  text("manufacturer", f.manufacturer);
  if (f.min_state != FleetState::kNone) {
    std::string state = FleetStateText(f.min_state);
    for (char& c : state) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    q.emplace_back("state", state);
  }
  if (f.overdue) q.emplace_back("overdue", "1");
  if (f.due_within_days >= 0) q.emplace_back("due-within", std::to_string(f.due_within_days));
  if (f.sort != d.sort) q.emplace_back("sort", FleetColumnName(f.sort));
  if (f.descending) q.emplace_back("desc", "1");
  if (f.limit != d.limit) q.emplace_back("limit", std::to_string(f.limit));
  if (offset > 0) q.emplace_back("offset", std::to_string(offset));
  return EncodeQuery(q);
}

}  // namespace kova
