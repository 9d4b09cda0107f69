#include "device/device_link.h"

#include <algorithm>

namespace kova {

bool ReadLinkLine(DeviceLink& link, char* buffer, size_t capacity, int timeout_ms) {
  if (capacity == 0) return false;
  if (link.OpensBeforeRead() && !link.OpenLink(true)) return false;
  size_t stored = 0;
  buffer[0] = '\0';
  for (;;) {
    uint8_t byte = 0;
    if (!link.ReadExact(&byte, 1, timeout_ms)) {
      buffer[stored] = '\0';  // what arrived stays readable
      return false;
    }
    if (byte == '\r') {
      buffer[stored] = '\0';
      if (link.ConsumesLf()) {
        uint8_t lf = 0;
        link.ReadExact(&lf, 1, link.LfTimeoutMs(timeout_ms));  // the LF, whatever it is
      }
      return true;
    }
    buffer[stored++] = byte == 0 ? ' ' : static_cast<char>(byte);
    if (stored >= capacity - 1) {
      // A capacity of 1 has no room for a character: keep the terminator.
      buffer[std::min(stored, capacity - 1)] = '\0';
      return false;  // line too long
    }
  }
}

}  // namespace kova
