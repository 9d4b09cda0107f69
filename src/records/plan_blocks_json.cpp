#include "records/plan_blocks_json.h"

#include <algorithm>

#include "records/record_text.h"

namespace kova {
namespace {

JsonValue Int(int64_t n) { return JsonValue::Integer(n); }
JsonValue Num(double d) { return JsonValue::Number(d); }

bool AllZero(const uint8_t* bytes, size_t size) {
  return std::all_of(bytes, bytes + size, [](uint8_t b) { return b == 0; });
}

}  // namespace

void AddPlanBlocksJson(JsonValue& j, const PassFailBlock& pf, const ResistanceBlock& res,
                       const ClassSettings& cls, bool with_unused) {
  j.Set("pfenable", Int(pf.pfenable));
  j.Set("pfturnsratiodeviation", Int(pf.pfturnsratiodeviation));
  j.Set("pfcustomdeviation", Int(pf.pfcustomdeviation));
  j.Set("pfkneepointtype", Int(pf.pfkneepointtype));
  j.Set("pfkneepointlocation", Int(pf.pfkneepointlocation));
  j.Set("pfkneepointdeviation", Int(pf.pfkneepointdeviation));
  j.Set("pfcttype", Int(pf.pfcttype));
  JsonValue knees = JsonValue::Array();
  for (int32_t v : pf.pfkneevoltage) knees.Push(Int(v));
  j.Set("pfkneevoltage", std::move(knees));

  JsonValue ohms = JsonValue::Array();
  for (double v : res.pfresistance) ohms.Push(Num(v));
  j.Set("pfresistance", std::move(ohms));
  j.Set("pfresdeviation", Int(res.pfresdeviation));
  j.Set("pfcustomresdeviation", Num(res.pfcustomresdeviation));
  if (with_unused && (!AllZero(res.unused84, sizeof res.unused84) ||
                      !AllZero(res.unused96, sizeof res.unused96))) {
    j.Set("resistanceunused", JsonValue::String(BytesToHex(res.unused84, sizeof res.unused84) +
                                                BytesToHex(res.unused96, sizeof res.unused96)));
  }

  j.Set("tempcelsius", Num(cls.tempcelsius));
  j.Set("ratedcurrent", Num(cls.ratedcurrent));
  j.Set("singletap", Int(cls.singletap));
  j.Set("multitap", Int(cls.multitap));
  j.Set("ctusage", Int(cls.ctusage));
  if (with_unused && !AllZero(cls.unused28, sizeof cls.unused28)) {
    j.Set("classunused", JsonValue::String(BytesToHex(cls.unused28, sizeof cls.unused28)));
  }
}

}  // namespace kova
