#pragma once
// The whole record as one JSON object: every field of the record model by
// its own name, the plan blocks flattened, the derived figures, and the raw
// binary record as lower-case hex. Texts are converted to UTF-8.

#include "base/json.h"
#include "records/test_record.h"

namespace kova {

JsonValue RecordToJson(const TestRecord& rec);
JsonValue RcfPointToJson(const RcfPoint& p);
JsonValue BurdenRowToJson(const BurdenRow& row);

}  // namespace kova
