// The binary record decoder on any bytes, every model and tap index.

#include <cstdint>
#include <cstring>
#include <memory>

#include "analysis/compute_derived.h"
#include "records/record_layout.h"
#include "records/test_record.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  static auto rec = std::make_unique<kova::TestRecord>();
  const uint8_t mode = data[0];
  uint8_t raw[kova::kRawRecordSize] = {};
  std::memcpy(raw, data + 1, std::min(size - 1, kova::kRawRecordSize));
  rec->ResetRecord(kova::RecordDefaults());
  rec->deviceversion = mode & 7;  // 0 and 5..7 are unknown model codes
  rec->DecodeRawRecord(raw, kova::RecordDefaults(), (mode >> 3) & 1, (mode >> 4) - 2);
  ComputeDerived(*rec);
  return 0;
}
