#include "assess/profile_json.h"

#include <cmath>
#include <set>

#include "base/format.h"
#include "base/json.h"

namespace kova {

namespace {

struct Range {
  const char* name;
  double lo, hi;  // lo exclusive when `open_lo`
  bool open_lo;
  const char* label;  // what the member is, for the message
  const char* unit;   // "" for a bare number
};

// "\"burden_x\" (burden reactance) must be from 0 to 1000 ohm".
std::string OutOfRange(const Range& r) {
  const std::string unit = *r.unit ? std::string(" ") + r.unit : std::string();
  return Format("\"%s\" (%s) must be %s %g %s %g%s", r.name, r.label, r.open_lo ? "above" : "from",
                r.lo, r.open_lo ? "and at most" : "to", r.hi, unit.c_str());
}

class Reader {
 public:
  Reader(const JsonValue& obj, std::string& error) : obj_(obj), error_(error) {}

  // False (with the error set) when present and wrong; `present` says
  // whether the member was there.
  bool Num(const Range& r, double& out, bool* present = nullptr) {
    seen_.insert(r.name);
    const JsonValue* v = obj_.Find(r.name);
    if (present) *present = v != nullptr;
    if (!v) return true;
    if (!v->IsNumber()) return Fail(std::string("\"") + r.name + "\" must be a number");
    const double d = v->AsNumber();
    const bool low_ok = r.open_lo ? d > r.lo : d >= r.lo;
    if (!std::isfinite(d) || !low_ok || d > r.hi) {
      return Fail(OutOfRange(r));
    }
    out = d;
    return true;
  }
  bool Required(const Range& r, double& out) {
    bool present = false;
    if (!Num(r, out, &present)) return false;
    if (!present) return Fail(std::string("\"") + r.name + "\" is required for this class");
    return true;
  }
  bool Str(const char* name, std::string& out) {
    seen_.insert(name);
    const JsonValue* v = obj_.Find(name);
    if (!v) return Fail(std::string("\"") + name + "\" is required");
    if (!v->IsString()) return Fail(std::string("\"") + name + "\" must be a text");
    out = v->AsString();
    return true;
  }
  bool Has(const char* name) const { return obj_.Find(name) != nullptr; }
  bool NoOthers() {
    for (const auto& m : obj_.Members()) {
      if (!seen_.count(m.first)) return Fail("unknown member \"" + m.first + "\"");
    }
    return true;
  }
  bool Fail(const std::string& why) {
    error_ = why;
    return false;
  }

 private:
  const JsonValue& obj_;
  std::string& error_;
  std::set<std::string> seen_;
};

// A protection CT's secondary is 1 or 5 A; its burden (relays and leads) a
// few ohm to some hundred, resistive or inductive (a capacitive part, a
// negative reactance, is kept as before): far past that a mistyped burden
// would only make a megavolt E_ALF.
constexpr double kMaxBurdenOhm = 1000;
constexpr Range kIsr{"isr", 0, 100, true, "rated secondary current", "A"};
constexpr Range kAlf{"alf", 0, 1000, true, "accuracy limit factor", ""};
constexpr Range kVa{"burden_va", 0, 1000, true, "rated burden", "VA"};
constexpr Range kPf{"power_factor", 0, 1, true, "power factor of the burden", ""};
constexpr Range kR{"burden_r", 0, kMaxBurdenOhm, false, "burden resistance", "ohm"};
constexpr Range kX{"burden_x", -kMaxBurdenOhm, kMaxBurdenOhm, false, "burden reactance", "ohm"};
constexpr Range kKx{"kx", 0, 1000, true, "dimensioning factor", ""};
constexpr Range kRb{"rb", 0, kMaxBurdenOhm, false, "rated resistive burden", "ohm"};
constexpr Range kEk{"ek", 0, 100000, true, "rated knee e.m.f.", "V"};
constexpr Range kIeMax{"ie_max", 0, 100, true, "largest excitation current at Ek", "A"};
constexpr Range kRctMax{"rct_max", 0, 100000, true, "largest winding resistance", "ohm"};
constexpr Range kTurns{"turns_tolerance", 0, 100, true, "turns ratio tolerance", "%"};
constexpr Range kTest{"test", 1, kMaxTaps, false, "the test's number", ""};

}  // namespace

bool ParseAssessmentProfile(const std::string& text, AssessmentProfile& out, std::string& error) {
  error.clear();
  if (text.size() > kMaxProfileBytes) {
    error = "the profile is too large";
    return false;
  }
  JsonValue json;
  if (!JsonValue::Parse(text, json, error)) return false;
  if (!json.IsObject()) {
    error = "the profile must be a JSON object";
    return false;
  }
  Reader r(json, error);
  AssessmentProfile p;
  std::string cls;
  if (!r.Str("class", cls)) return false;
  if (!IecClassFromName(cls, p.iec_class)) {
    return r.Fail("\"class\" must be one of 5P, 10P, 5PR, 10PR, PX, PXR");
  }
  if (!r.Required(kIsr, p.isr)) return false;
  double test = 0;
  if (!r.Num(kTest, test)) return false;
  if (test != std::floor(test)) return r.Fail("\"test\" must be a whole number");
  p.test = static_cast<int>(test);
  if (IsPxClass(p.iec_class)) {
    bool has_ek = false;
    if (!r.Num(kEk, p.ek_rated, &has_ek)) return false;
    if (!has_ek && !(r.Required(kKx, p.kx) && r.Required(kRb, p.rb))) return false;
    if (has_ek && !(r.Num(kKx, p.kx) && r.Num(kRb, p.rb))) return false;
    if (!r.Required(kIeMax, p.ie_max) || !r.Num(kRctMax, p.rct_max) ||
        !r.Num(kTurns, p.turns_tolerance_percent)) {
      return false;
    }
  } else {
    if (!r.Required(kAlf, p.alf)) return false;
    const bool va = r.Has("burden_va");
    const bool rx = r.Has("burden_r") || r.Has("burden_x");
    if (va == rx) return r.Fail("give the burden either as \"burden_va\" or as \"burden_r\"");
    p.burden_as_va = va;
    if (va && !(r.Required(kVa, p.burden_va) && r.Num(kPf, p.power_factor))) return false;
    // The rated burden in VA is an impedance at the rated secondary current.
    const double ohm = va ? p.burden_va / (p.isr * p.isr) : 0;
    if (ohm > kMaxBurdenOhm) {
      return r.Fail(
          Format("\"burden_va\" of %g VA at an \"isr\" of %g A is a burden of %g ohm: "
                 "at most %g ohm",
                 p.burden_va, p.isr, ohm, kMaxBurdenOhm));
    }
    if (rx && !(r.Required(kR, p.burden_r) && r.Num(kX, p.burden_x))) return false;
  }
  if (!r.NoOthers()) return false;
  out = p;
  return true;
}

std::string AssessmentProfileToJson(const AssessmentProfile& p) {
  JsonValue j = JsonValue::Object();
  j.Set("class", JsonValue::String(IecClassName(p.iec_class)));
  j.Set("isr", JsonValue::Number(p.isr));
  if (p.test > 0) j.Set("test", JsonValue::Integer(p.test));
  if (IsPxClass(p.iec_class)) {
    if (p.ek_rated > 0) j.Set("ek", JsonValue::Number(p.ek_rated));
    if (p.kx > 0) j.Set("kx", JsonValue::Number(p.kx));
    j.Set("rb", JsonValue::Number(p.rb));
    j.Set("ie_max", JsonValue::Number(p.ie_max));
    if (p.rct_max > 0) j.Set("rct_max", JsonValue::Number(p.rct_max));
    j.Set("turns_tolerance", JsonValue::Number(p.turns_tolerance_percent));
  } else {
    j.Set("alf", JsonValue::Number(p.alf));
    if (p.burden_as_va) {
      j.Set("burden_va", JsonValue::Number(p.burden_va));
      if (p.power_factor > 0) j.Set("power_factor", JsonValue::Number(p.power_factor));
    } else {
      j.Set("burden_r", JsonValue::Number(p.burden_r));
      j.Set("burden_x", JsonValue::Number(p.burden_x));
    }
  }
  return j.Dump(1);
}

}  // namespace kova
