#include "assess/profile_model.h"

#include <algorithm>
#include <cstdlib>

#include "assess/profile_json.h"
#include "base/format.h"
#include "base/json.h"

namespace kova {

namespace {

// Numbers as the profile file writes them; empty fields stay out.
std::string Text(double v) { return v > 0 ? Format("%.10g", v) : std::string(); }

// Adds `text` as a number member; false when it is not a number.
bool AddNumber(JsonValue& obj, const char* name, const std::string& text, std::string& error) {
  if (text.empty()) return true;
  char* end = nullptr;
  const double d = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size() || text.size() > 40) {
    error = std::string("\"") + name + "\" must be a number";
    return false;
  }
  obj.Set(name, JsonValue::Number(d));
  return true;
}

bool StartsWithVowel(const char* text) {
  return std::string("AEIOUaeiou").find(text[0]) != std::string::npos;
}

}  // namespace

const std::vector<ProfileField>& ProfileFields() {
  static const std::vector<ProfileField> fields{
      {"class", "Class", ""},
      {"isr", "Rated secondary current Isr", "A"},
      {"test", "Test", ""},
      {"alf", "Accuracy limit factor ALF", ""},
      {"burden_va", "Burden", "VA"},
      {"power_factor", "Power factor", ""},
      {"burden_r", "Burden R", "ohm"},
      {"burden_x", "Burden X", "ohm"},
      {"kx", "Kx", ""},
      {"rb", "Rb", "ohm"},
      {"ek", "Rated Ek", "V"},
      {"ie_max", "Maximum Ie at Ek", "A"},
      {"rct_max",
       "Maximum Rct at 75 \xB0"
       "C",
       "ohm"},
      {"turns_tolerance", "Turns-ratio tolerance", "%"},
  };
  return fields;
}

std::string ProfileFieldRowLabel(const std::string& member) {
  for (const ProfileField& f : ProfileFields()) {
    if (member == f.member) {
      return std::string(f.label) + (*f.unit ? std::string(" (") + f.unit + ")" : "") + ":";
    }
  }
  return member + ":";
}

std::string InFieldLabels(const std::string& error) {
  std::string out;
  size_t at = 0;
  while (at < error.size()) {
    const size_t open = error.find('"', at);
    const size_t close = open == std::string::npos ? open : error.find('"', open + 1);
    if (close == std::string::npos) break;
    const std::string name = error.substr(open + 1, close - open - 1);
    const ProfileField* field = nullptr;
    for (const ProfileField& f : ProfileFields()) {
      if (name == f.member) field = &f;
    }
    out += error.substr(at, open - at);
    at = close + 1;
    if (field == nullptr) {
      out += error.substr(open, at - open);
      continue;
    }
    // "at an \"isr\"" reads "at a Rated secondary current Isr".
    if (out.size() >= 3 && out.compare(out.size() - 3, 3, "an ") == 0 &&
        (out.size() == 3 || out[out.size() - 4] == ' ') && !StartsWithVowel(field->label)) {
      out.replace(out.size() - 3, 3, "a ");
    }
    out += field->label;
    // The file's words explain the member; the label needs none.
    if (error.compare(at, 2, " (") == 0) {
      const size_t end = error.find(')', at);
      if (end != std::string::npos) at = end + 1;
    }
  }
  return out + error.substr(std::min(at, error.size()));
}

const std::vector<std::string>& AssessmentProfileModel::ClassNames() {
  static const std::vector<std::string> names{"5P", "10P", "5PR", "10PR", "PX", "PXR"};
  return names;
}

IecClass AssessmentProfileModel::Class() const {
  IecClass c = IecClass::k5P;
  if (class_index >= 0 && class_index < static_cast<int>(ClassNames().size())) {
    IecClassFromName(ClassNames()[class_index], c);
  }
  return c;
}

void AssessmentProfileModel::Load(const AssessmentProfile& p) {
  for (size_t i = 0; i < ClassNames().size(); ++i) {
    if (ClassNames()[i] == IecClassName(p.iec_class)) class_index = static_cast<int>(i);
  }
  burden_as_va = p.burden_as_va;
  isr = Text(p.isr);
  alf = Text(p.alf);
  burden_va = Text(p.burden_va);
  power_factor = Text(p.power_factor);
  burden_r = p.burden_as_va ? "" : Format("%.10g", p.burden_r);
  burden_x = p.burden_as_va ? "" : Format("%.10g", p.burden_x);
  kx = Text(p.kx);
  rb = IsPxClass(p.iec_class) ? Format("%.10g", p.rb) : "";
  ek = Text(p.ek_rated);
  ie_max = Text(p.ie_max);
  rct_max = Text(p.rct_max);
  turns_tolerance = Text(p.turns_tolerance_percent);
  test = p.test > 0 ? Format("%d", p.test) : "";
}

bool AssessmentProfileModel::Store(AssessmentProfile& out, std::string& error) const {
  JsonValue obj = JsonValue::Object();
  obj.Set("class", JsonValue::String(ClassNames()[static_cast<size_t>(
                       class_index >= 0 && class_index < 6 ? class_index : 0)]));
  bool ok = AddNumber(obj, "isr", isr, error) && AddNumber(obj, "test", test, error);
  if (ok && ProtectionFieldsApply()) {
    ok = AddNumber(obj, "alf", alf, error) &&
         (burden_as_va ? AddNumber(obj, "burden_va", burden_va, error) &&
                             AddNumber(obj, "power_factor", power_factor, error)
                       : AddNumber(obj, "burden_r", burden_r, error) &&
                             AddNumber(obj, "burden_x", burden_x, error));
  } else if (ok) {
    ok = AddNumber(obj, "kx", kx, error) && AddNumber(obj, "rb", rb, error) &&
         AddNumber(obj, "ek", ek, error) && AddNumber(obj, "ie_max", ie_max, error) &&
         AddNumber(obj, "rct_max", rct_max, error) &&
         AddNumber(obj, "turns_tolerance", turns_tolerance, error);
  }
  ok = ok && ParseAssessmentProfile(obj.Dump(), out, error);
  if (!ok) error = InFieldLabels(error);
  return ok;
}

}  // namespace kova
