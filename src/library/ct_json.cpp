#include "library/ct_json.h"

#include "base/codepage.h"

namespace kova {

JsonValue CtJson(const CtInfo& ct) {
  JsonValue o = JsonValue::Object();
  o.Set("manufacturer", JsonValue::String(Cp1252ToUtf8(ct.manufacturer)));
  o.Set("serialnumber", JsonValue::String(Cp1252ToUtf8(ct.serialnumber)));
  o.Set("station", JsonValue::String(Cp1252ToUtf8(ct.station)));
  o.Set("circuit", JsonValue::String(Cp1252ToUtf8(ct.circuit)));
  o.Set("model", JsonValue::String(Cp1252ToUtf8(ct.model)));
  o.Set("last_test_date", JsonValue::String(ct.last_test_date));
  o.Set("records", JsonValue::Integer(ct.records));
  return o;
}

}  // namespace kova
