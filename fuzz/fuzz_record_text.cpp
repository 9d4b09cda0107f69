// Record texts as the link delivers them, for each model, as a whole record
// and as a single test.

#include <cstdint>
#include <memory>
#include <string>

#include "records/test_record.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  static auto rec = std::make_unique<kova::TestRecord>();
  const uint8_t mode = data[0];
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  rec->deviceversion = 1 + (mode & 3);
  const int single = (mode >> 2) & 1;
  const int tap = (mode >> 3) % 24;  // also indexes beyond the 20 taps
  if (rec->RecordTextParser(text, single, tap, (mode >> 7) & 1)) rec->ComputeDerived();
  return 0;
}
