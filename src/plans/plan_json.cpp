#include "plans/plan_json.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <set>

#include "base/codepage.h"
#include "base/format.h"
#include "records/plan_blocks_json.h"
#include "records/record_text.h"

namespace kova {
namespace {

constexpr int64_t kInt32Min = std::numeric_limits<int32_t>::min();
constexpr int64_t kInt32Max = std::numeric_limits<int32_t>::max();
constexpr double kAnyNumber = std::numeric_limits<double>::max();

JsonValue Text(const std::string& cp1252) { return JsonValue::String(Cp1252ToUtf8(cp1252)); }
JsonValue Int(int64_t n) { return JsonValue::Integer(n); }
JsonValue Num(double d) { return JsonValue::Number(d); }

JsonValue TapToJson(const PlanTap& tap) {
  JsonValue t = JsonValue::Object();
  t.Set("nNamePlateNum", Num(tap.nNamePlateNum));
  t.Set("fNamePlateDen", Num(tap.fNamePlateDen));
  t.Set("tapid", Int(tap.tapid));
  t.Set("uTestType", Int(tap.uTestType));
  t.Set("fVoltageRange", Num(tap.fVoltageRange));
  t.Set("fCurrentRange", Num(tap.fCurrentRange));
  t.Set("szTestNote", Text(tap.szTestNote));
  t.Set("bDoBurdenTest", Int(tap.bDoBurdenTest));
  t.Set("fBurdenVA", Num(tap.fBurdenVA));
  t.Set("fCosPhi", Num(tap.fCosPhi));
  t.Set("fSecCurrent", Num(tap.fSecCurrent));
  return t;
}

// Reads the members of one object, each checked for kind and range; the
// first problem is kept in `error` with the member's full name.
class MemberReader {
 public:
  MemberReader(const JsonValue& object, std::string prefix, std::string& error)
      : object_(object), prefix_(std::move(prefix)), error_(error) {}

  std::string Name(const char* name) const { return prefix_ + name; }

  const JsonValue* Take(const char* name) {
    known_.insert(name);
    return object_.Find(name);
  }

  bool Fail(const std::string& text) {
    if (error_.empty()) error_ = text;
    return false;
  }

  bool Int(const char* name, int64_t lo, int64_t hi, int& out) {
    const JsonValue* v = Take(name);
    if (v == nullptr) return true;
    if (!v->IsNumber() || !v->IsWholeNumber() || v->AsNumber() < static_cast<double>(lo) ||
        v->AsNumber() > static_cast<double>(hi)) {
      return Fail(Format("member \"%s\" must be a whole number from %lld to %lld",
                         Name(name).c_str(), static_cast<long long>(lo),
                         static_cast<long long>(hi)));
    }
    out = static_cast<int>(v->AsInteger());
    return true;
  }
  bool Int32(const char* name, int32_t& out) {
    int value = out;
    if (!Int(name, kInt32Min, kInt32Max, value)) return false;
    out = value;
    return true;
  }

  bool Num(const char* name, double lo, double hi, double& out) {
    const JsonValue* v = Take(name);
    if (v == nullptr) return true;
    return NumberValue(*v, Name(name), lo, hi, out);
  }

  bool NumberValue(const JsonValue& v, const std::string& full, double lo, double hi, double& out) {
    if (!v.IsNumber() || !(v.AsNumber() >= lo && v.AsNumber() <= hi)) {
      if (hi == kAnyNumber) return Fail("member \"" + full + "\" must be a number");
      return Fail(Format("member \"%s\" must be a number from %g to %g", full.c_str(), lo, hi));
    }
    out = v.AsNumber();
    return true;
  }

  bool Str(const char* name, std::string& out) {
    const JsonValue* v = Take(name);
    if (v == nullptr) return true;
    if (!v->IsString()) return Fail("member \"" + Name(name) + "\" must be a text");
    out = Utf8ToCp1252(v->AsString());
    return true;
  }

  // A fixed number of bytes as hex text.
  bool Hex(const char* name, uint8_t* out, size_t size) {
    const JsonValue* v = Take(name);
    if (v == nullptr) return true;
    std::vector<uint8_t> bytes(size);
    size_t count = 0;
    if (!v->IsString() || !HexToBytes(v->AsString(), bytes.data(), size, count) || count != size) {
      return Fail(Format("member \"%s\" must be %zu bytes as hex text", Name(name).c_str(), size));
    }
    std::memcpy(out, bytes.data(), size);
    return true;
  }

  // Every member must be one that was read.
  bool NoStrangers() {
    for (const auto& member : object_.Members()) {
      if (known_.count(member.first) == 0) {
        return Fail("unknown member \"" + prefix_ + member.first + "\"");
      }
    }
    return true;
  }

 private:
  const JsonValue& object_;
  std::string prefix_;
  std::string& error_;
  std::set<std::string> known_;
};

bool TapFromJson(const JsonValue& json, int index, PlanTap& tap, std::string& error) {
  const std::string prefix = Format("taps[%d].", index);
  if (!json.IsObject()) {
    error = "member \"" + prefix.substr(0, prefix.size() - 1) + "\" must be an object";
    return false;
  }
  // Ranges are what the image can hold: the instrument keeps primaries in 16
  // bits, the excitation limits and ratio error values in 8 or 16 bits.
  MemberReader r(json, prefix, error);
  return r.Num("nNamePlateNum", 0, 65535, tap.nNamePlateNum) &&
         r.Num("fNamePlateDen", 0, 6553.5, tap.fNamePlateDen) && r.Int("tapid", 0, 9, tap.tapid) &&
         r.Int("uTestType", 0, 31, tap.uTestType) &&
         r.Num("fVoltageRange", 0, 2550, tap.fVoltageRange) &&
         r.Num("fCurrentRange", 0, 25.5, tap.fCurrentRange) &&
         r.Str("szTestNote", tap.szTestNote) && r.Int("bDoBurdenTest", 0, 1, tap.bDoBurdenTest) &&
         r.Num("fBurdenVA", 0, 655.35, tap.fBurdenVA) && r.Num("fCosPhi", 0, 2.55, tap.fCosPhi) &&
         r.Num("fSecCurrent", 0, 25.5, tap.fSecCurrent) && r.NoStrangers();
}

// An array of exactly ten entries, by tap position.
template <typename T, typename ReadOne>
bool TableFromJson(MemberReader& r, const char* name, T (&table)[kTapTableSize], ReadOne read_one) {
  const JsonValue* v = r.Take(name);
  if (v == nullptr) return true;
  if (!v->IsArray() || v->Size() != kTapTableSize) {
    return r.Fail("member \"" + r.Name(name) + "\" must be an array of 10 numbers");
  }
  T values[kTapTableSize];
  for (int i = 0; i < kTapTableSize; ++i) {
    if (!read_one(v->At(i), Format("%s[%d]", r.Name(name).c_str(), i), values[i])) return false;
  }
  std::copy(values, values + kTapTableSize, table);
  return true;
}

bool BlocksFromJson(MemberReader& r, kvTestPlan& p) {
  PassFailBlock& pf = p.passfail;
  ResistanceBlock& res = p.resistance;
  ClassSettings& cls = p.classsettings;
  const auto knee_volts = [&r](const JsonValue& v, const std::string& full, int32_t& out) {
    double d = 0;
    if (!r.NumberValue(v, full, 0, kInt32Max, d)) return false;
    if (std::floor(d) != d) return r.Fail("member \"" + full + "\" must be a whole number");
    out = static_cast<int32_t>(d);
    return true;
  };
  const auto ohms = [&r](const JsonValue& v, const std::string& full, double& out) {
    return r.NumberValue(v, full, -kAnyNumber, kAnyNumber, out);
  };
  uint8_t res_unused[sizeof res.unused84 + sizeof res.unused96];
  std::memcpy(res_unused, res.unused84, sizeof res.unused84);
  std::memcpy(res_unused + sizeof res.unused84, res.unused96, sizeof res.unused96);
  const bool ok =
      r.Int32("pfenable", pf.pfenable) &&
      r.Int("pfturnsratiodeviation", 0, 2, pf.pfturnsratiodeviation) &&
      r.Int("pfcustomdeviation", 0, 100, pf.pfcustomdeviation) &&
      r.Int("pfkneepointtype", 0, 2, pf.pfkneepointtype) &&
      r.Int("pfkneepointlocation", 0, 3, pf.pfkneepointlocation) &&
      r.Int("pfkneepointdeviation", 0, 2, pf.pfkneepointdeviation) &&
      r.Int("pfcttype", 0, 4, pf.pfcttype) &&
      TableFromJson(r, "pfkneevoltage", pf.pfkneevoltage, knee_volts) &&
      TableFromJson(r, "pfresistance", res.pfresistance, ohms) &&
      r.Int("pfresdeviation", 0, 2, res.pfresdeviation) &&
      r.Num("pfcustomresdeviation", -kAnyNumber, kAnyNumber, res.pfcustomresdeviation) &&
      r.Hex("resistanceunused", res_unused, sizeof res_unused) &&
      r.Num("tempcelsius", -kAnyNumber, kAnyNumber, cls.tempcelsius) &&
      r.Num("ratedcurrent", -kAnyNumber, kAnyNumber, cls.ratedcurrent) &&
      r.Int("singletap", 0, 1, cls.singletap) && r.Int("multitap", 0, 1, cls.multitap) &&
      r.Int("ctusage", 0, 2, cls.ctusage) &&
      r.Hex("classunused", cls.unused28, sizeof cls.unused28);
  std::memcpy(res.unused84, res_unused, sizeof res.unused84);
  std::memcpy(res.unused96, res_unused + sizeof res.unused84, sizeof res.unused96);
  return ok;
}

}  // namespace

JsonValue PlanToJson(const kvTestPlan& plan) {
  JsonValue j = JsonValue::Object();
  j.Set("devicetype", Int(plan.devicetype));
  j.Set("kneetype", Int(plan.kneetype));
  j.Set("numtests", Int(plan.numtests));
  j.Set("company", Text(plan.company));
  j.Set("station", Text(plan.station));
  j.Set("circuit", Text(plan.circuit));
  j.Set("manufacturer", Text(plan.manufacturer));
  j.Set("model", Text(plan.model));
  j.Set("comment", Text(plan.comment));
  j.Set("insulationvoltage", Int(plan.insulationvoltage));
  j.Set("burdencurrent", Int(plan.burdencurrent));
  JsonValue taps = JsonValue::Array();
  const int count = std::max(0, std::min(plan.numtests, kMaxPlanTaps));
  for (int i = 0; i < count; ++i) taps.Push(TapToJson(plan.taps[i]));
  j.Set("taps", std::move(taps));

  AddPlanBlocksJson(j, plan.passfail, plan.resistance, plan.classsettings, true);
  j.Set("taporder", Text(plan.taporder));
  j.Set("image", JsonValue::String(plan.ImageLinkText()));
  return j;
}

bool PlanFromJson(const JsonValue& json, kvTestPlan& plan, std::string& error) {
  error.clear();
  if (!json.IsObject()) {
    error = "the plan must be a JSON object";
    return false;
  }
  kvTestPlan p;
  MemberReader r(json, "", error);
  int numtests = -1;
  const bool header_ok =
      r.Int("devicetype", 0, 4, p.devicetype) && r.Int("kneetype", 1, 3, p.kneetype) &&
      r.Int("numtests", 0, kMaxPlanTaps, numtests) && r.Str("company", p.company) &&
      r.Str("station", p.station) && r.Str("circuit", p.circuit) &&
      r.Str("manufacturer", p.manufacturer) && r.Str("model", p.model) &&
      r.Str("comment", p.comment) && r.Int("insulationvoltage", 0, 255, p.insulationvoltage) &&
      r.Int("burdencurrent", 0, 255, p.burdencurrent) && r.Str("taporder", p.taporder) &&
      BlocksFromJson(r, p);
  if (!header_ok) return false;
  r.Take("image");  // rebuilt from the fields

  const JsonValue* taps = r.Take("taps");
  int count = 0;
  if (taps != nullptr) {
    if (!taps->IsArray() || taps->Size() > static_cast<size_t>(kMaxPlanTaps)) {
      return r.Fail("member \"taps\" must be an array of at most 10 objects");
    }
    count = static_cast<int>(taps->Size());
    for (int i = 0; i < count; ++i) {
      if (!TapFromJson(taps->At(i), i, p.taps[i], error)) return false;
    }
  }
  if (numtests >= 0 && numtests != count) {
    return r.Fail(
        Format("member \"numtests\" is %d but \"taps\" holds %d entries", numtests, count));
  }
  p.numtests = numtests >= 0 ? numtests : count;
  if (!r.NoStrangers()) return false;
  p.EncodeImage(p.image);
  plan = std::move(p);
  return true;
}

}  // namespace kova
