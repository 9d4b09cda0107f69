#pragma once
// The three plan blocks flattened into a JSON object, field by field, as
// both the record's and the plan's JSON forms carry them.

#include "base/json.h"
#include "records/plan_blocks.h"

namespace kova {

// Adds pfenable … pfkneevoltage, pfresistance … pfcustomresdeviation and
// tempcelsius … ctusage to `object`. With `with_unused`, bytes the program
// does not interpret are added as "resistanceunused" / "classunused" hex
// when any of them is not zero, so that a JSON form can be written back
// byte for byte.
void AddPlanBlocksJson(JsonValue& object, const PassFailBlock& pf, const ResistanceBlock& res,
                       const ClassSettings& cls, bool with_unused);

}  // namespace kova
