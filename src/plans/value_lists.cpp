#include "plans/value_lists.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

#include "base/format.h"

namespace kova {
namespace {

const char* SkipSpaces(const char* p, const char* end) {
  while (p < end && (*p == ' ' || *p == '\t')) ++p;
  return p;
}

// Parses a number at the start of a text; `end_out` is where it stopped.
bool ParseLeading(const std::string& text, double& value, const char** end_out) {
  const char* p = SkipSpaces(text.data(), text.data() + text.size());
  const char* end = text.data() + text.size();
  if (p < end && *p == '+') ++p;  // from_chars takes no plus sign
  const auto r = std::from_chars(p, end, value, std::chars_format::fixed);
  if (r.ec != std::errc()) return false;
  if (end_out) *end_out = r.ptr;
  return std::isfinite(value);
}

}  // namespace

double ChoiceList::SelectedNumber() const {
  if (selected < 0 || selected >= static_cast<int>(entries.size())) return 0;
  return TextNumber(entries[static_cast<size_t>(selected)]);
}

std::vector<std::string> VoltageEntries(bool kova_r5) {
  if (kova_r5) return {"50", "250", "500", "1500"};
  return {"50", "300", "500", "1200", "2000"};
}

std::vector<std::string> FullCurrentEntries() { return {"0.2", "0.5", "1", "2", "5", "10"}; }

std::vector<std::string> CurrentEntriesForVoltage(double v, bool kova_7ka) {
  std::vector<std::string> list = {"0.2", "0.5", "1"};
  if (kova_7ka) {
    if (v >= 2000) list.push_back("1.2");
    if (v <= 1500) list.push_back("2");
    if (v <= 500) {
      list.push_back("5");
      if (v <= 50) {
        list.push_back("10");
      } else if (v <= 300) {
        list.push_back("8");
      }
    }
    return list;
  }
  if (v <= 1500) {
    list.push_back("2");
    if (v <= 500) {
      list.push_back("5");
      if (v <= 300) list.push_back("10");
    }
  }
  return list;
}

std::string VoltageText(double volts) {
  return Format("%d", static_cast<int>(std::trunc(std::isfinite(volts) ? volts : 0)));
}

std::string CurrentText(double amps) {
  if (!std::isfinite(amps)) amps = 0;
  const std::string text = Format("%.1f", amps);
  if (text.find(".0") != std::string::npos) return Format("%d", static_cast<int>(std::trunc(amps)));
  return text;
}

void SelectValue(ChoiceList& list, const std::string& text, double value, bool add_missing) {
  for (size_t i = 0; i < list.entries.size(); ++i) {
    if (list.entries[i].compare(0, text.size(), text) == 0) {
      list.selected = static_cast<int>(i);
      return;
    }
  }
  if (add_missing) {
    list.entries.push_back(text);
    list.selected = static_cast<int>(list.entries.size()) - 1;
    return;
  }
  const long long target = static_cast<long long>(std::trunc(std::isfinite(value) ? value : 0));
  long long best = 1000;
  list.selected = list.entries.empty() ? -1 : 0;
  for (size_t i = 0; i < list.entries.size(); ++i) {
    const long long distance = std::llabs(TextWholeNumber(list.entries[i]) - target);
    if (distance < best) {
      best = distance;
      list.selected = static_cast<int>(i);
    }
  }
}

double TextNumber(const std::string& text) {
  double value = 0;
  if (!ParseLeading(text, value, nullptr)) return 0;
  return value;
}

long long TextWholeNumber(const std::string& text) {
  const char* p = SkipSpaces(text.data(), text.data() + text.size());
  const char* end = text.data() + text.size();
  bool negative = false;
  if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
  long long value = 0;
  for (; p < end && *p >= '0' && *p <= '9'; ++p) {
    if (value < 1000000000000LL) value = value * 10 + (*p - '0');  // stops growing, never wraps
  }
  return negative ? -value : value;
}

bool IsNumberText(const std::string& text) {
  double value = 0;
  const char* stop = nullptr;
  if (!ParseLeading(text, value, &stop)) return false;
  return SkipSpaces(stop, text.data() + text.size()) == text.data() + text.size();
}

}  // namespace kova
