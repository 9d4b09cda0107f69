#include "plans/ratio_error.h"

#include "base/format.h"
#include "plans/value_lists.h"
#include "records/record_edits.h"

namespace kova {

void RatioErrorModel::Load(const RatioErrorValues& v) {
  run = v.bDoBurdenTest != 0;
  burden_va = Format("%g", v.fBurdenVA);
  cos_phi = Format("%g", v.fCosPhi);
  sec_current = Format("%g", v.fSecCurrent);
}

void RatioErrorModel::ClickRun(bool checked) {
  run = checked;
  burden_va = checked ? "30" : "0";
  cos_phi = checked ? "0.5" : "0";
  sec_current = checked ? "1.0" : "0";
}

bool RatioErrorModel::Store(RatioErrorValues& out, std::string& error) const {
  const struct {
    const std::string& text;
    const char* label;
    double scale;
    uint32_t max;
    double low, high;
    const char* range;
  } fields[] = {
      {burden_va, "Max Burden", 100, 0xFFFF, 0, 500, "0 to 500 VA"},
      {cos_phi, "Power Factor", 100, 0xFF, 0, 1, "0.00 to 1.00"},
      {sec_current, "Rated Sec Cur", 10, 0xFF, 1, 5, "1.0 to 5.0 A"},
  };
  double values[3] = {};
  for (int i = 0; i < 3; ++i) {
    if (!IsNumberText(fields[i].text)) {
      error = "Please enter a number.";
      return false;
    }
    values[i] = TextNumber(fields[i].text);
    uint32_t unused = 0;
    const bool fits = TruncatedField(values[i], fields[i].scale, fields[i].max, unused);
    // With the calculation on, each value must lie in the range the
    // dialog shows beside it.
    const bool in_range = !run || (values[i] >= fields[i].low && values[i] <= fields[i].high);
    if (!fits || !in_range) {
      error = Format("%s must be from %s.", fields[i].label, fields[i].range);
      return false;
    }
  }
  out.bDoBurdenTest = run ? 1 : 0;
  out.fBurdenVA = values[0];
  out.fCosPhi = values[1];
  out.fSecCurrent = values[2];
  return true;
}

std::string NoteForEditor(const std::string& stored) {
  std::string out;
  for (size_t i = 0; i < stored.size(); ++i) {
    if (stored[i] == '\r' && i + 1 < stored.size() && stored[i + 1] == '\n') continue;
    out += stored[i];
  }
  return out;
}

std::string NoteForRecord(const std::string& edited) {
  std::string out;
  for (char c : NoteForEditor(edited)) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

}  // namespace kova
