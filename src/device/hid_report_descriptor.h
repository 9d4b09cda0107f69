#pragma once
// Report lengths from a HID report descriptor, for HID layers that do not
// tell them: the longest input and output report in bytes, the report id
// byte included (as the instrument's report lengths are counted).

#include <cstddef>
#include <cstdint>

#include "device/hid_backend.h"

namespace kova {

// Walks the descriptor's items; fails on a truncated item or when the
// descriptor declares no input or no output report. Lengths are capped at
// 65536 bytes.
bool ReportLengthsFromDescriptor(const uint8_t* data, size_t size, HidReportLengths& out);

}  // namespace kova
