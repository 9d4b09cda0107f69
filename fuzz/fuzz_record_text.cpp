// Record texts as the link delivers them, for each model, as a whole record
// and as a single test.

#include <cstdint>
#include <memory>
#include <string>

#include "analysis/compute_derived.h"
#include "records/test_record.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  static auto rec = std::make_unique<kova::TestRecord>();
  const uint8_t mode = data[0];
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  rec->deviceversion = 1 + (mode & 3);
  const int single = (mode >> 2) & 1;
  const int tap = (mode >> 3) % 24;  // also indexes beyond the 20 taps
  kova::TextParseOptions options;
  options.single_test = single != 0;
  options.tap_index = tap;
  options.graph_and_burden_only = ((mode >> 7) & 1) != 0;
  if (rec->RecordTextParser(text, kova::RecordDefaults(), options)) ComputeDerived(*rec);
  return 0;
}
