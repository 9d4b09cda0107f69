// Fuzz target: a HID report descriptor as the system shows it.

#include <cstddef>
#include <cstdint>

#include "device/hid_report_descriptor.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kova::HidReportLengths lengths;
  if (kova::ReportLengthsFromDescriptor(data, size, lengths)) {
    if (lengths.input < 1 || lengths.output < 1 || lengths.input > 65537 ||
        lengths.output > 65537) {
      __builtin_trap();
    }
  }
  return 0;
}
