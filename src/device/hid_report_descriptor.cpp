#include "device/hid_report_descriptor.h"

#include <algorithm>
#include <map>
#include <vector>

namespace kova {
namespace {

constexpr uint64_t kMaxReportBits = 65535ull * 8;

struct Globals {
  uint32_t report_size = 0;   // bits per field
  uint32_t report_count = 0;  // fields
  uint32_t report_id = 0;
};

}  // namespace

bool ReportLengthsFromDescriptor(const uint8_t* data, size_t size, HidReportLengths& out) {
  Globals globals;
  std::vector<Globals> stack;
  std::map<uint32_t, uint64_t> input_bits, output_bits;  // per report id
  size_t at = 0;
  while (at < size) {
    const uint8_t prefix = data[at];
    if (prefix == 0xFE) {  // long item: size, tag, data
      if (size - at < 3) return false;
      const size_t length = data[at + 1];
      if (size - at - 3 < length) return false;
      at += 3 + length;
      continue;
    }
    const size_t length = (prefix & 3) == 3 ? 4 : (prefix & 3);
    if (size - at - 1 < length) return false;
    uint32_t value = 0;
    for (size_t i = 0; i < length; ++i) value |= static_cast<uint32_t>(data[at + 1 + i]) << (8 * i);
    at += 1 + length;
    const int type = (prefix >> 2) & 3, tag = prefix >> 4;
    if (type == 1) {  // global
      if (tag == 7) globals.report_size = value;
      if (tag == 8) globals.report_id = value;
      if (tag == 9) globals.report_count = value;
      if (tag == 10) stack.push_back(globals);
      if (tag == 11 && !stack.empty()) {
        globals = stack.back();
        stack.pop_back();
      }
      if (stack.size() > 64) return false;
    } else if (type == 0 && (tag == 8 || tag == 9)) {  // input or output field
      uint64_t& bits = (tag == 8 ? input_bits : output_bits)[globals.report_id];
      bits = std::min(kMaxReportBits,
                      bits + static_cast<uint64_t>(globals.report_size) * globals.report_count);
    }
  }
  auto longest = [](const std::map<uint32_t, uint64_t>& reports) {
    uint64_t bits = 0;
    for (const auto& r : reports) bits = std::max(bits, r.second);
    return static_cast<size_t>((bits + 7) / 8) + 1;  // and the report id byte
  };
  if (input_bits.empty() || output_bits.empty()) return false;
  out.input = longest(input_bits);
  out.output = longest(output_bits);
  return true;
}

}  // namespace kova
