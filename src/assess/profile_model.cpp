#include "assess/profile_model.h"

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

}  // namespace

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
  return ok && ParseAssessmentProfile(obj.Dump(), out, error);
}

}  // namespace kova
