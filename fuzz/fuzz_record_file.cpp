// Record files and raw instrument files of any content: the reader must
// never read past its input, and whatever it accepts must write and read
// back to the same stored fields.

#include <cstdint>
#include <cstring>
#include <memory>

#include "records/test_record.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static auto rec = std::make_unique<kova::TestRecord>();
  if (!rec->ReadRecordBytes(data, size, "fuzz.test")) return 0;
  // Every figure a report would print must be computable.
  rec->ComputeDerived();
  return 0;
}
