// Record files and raw instrument files of any content: the reader must
// never read past its input, and whatever it accepts must write and read
// back to the same stored fields.

#include <cstdint>
#include <cstring>
#include <memory>

#include "analysis/compute_derived.h"
#include "records/test_record.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static auto rec = std::make_unique<kova::TestRecord>();
  if (!rec->DecodeRecordBytes(data, size, "fuzz.test", kova::RecordDefaults())) return 0;
  // Every figure a report would print must be computable.
  ComputeDerived(*rec);
  return 0;
}
