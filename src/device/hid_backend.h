#pragma once
// USB HID access as the device link needs it: list the HID interfaces with
// their ids, open one, write one output report, read one input report with a
// time-out. The platform layer implements it on hidapi; the simulated
// instrument implements it in-process.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kova {

struct HidInterfaceInfo {
  std::string path;  // what Open takes
  uint16_t vendor_id = 0;
  uint16_t product_id = 0;
};

// Report lengths in bytes, the report id byte included.
struct HidReportLengths {
  size_t input = 65;
  size_t output = 65;
};

enum class HidReadStatus { kReport, kTimeout, kError };

class HidBackend {
 public:
  virtual ~HidBackend() = default;

  // Every HID interface present, in the system's order.
  virtual bool Enumerate(std::vector<HidInterfaceInfo>& found) = 0;
  // Opens one interface for reading and writing and tells its report
  // lengths. Only one interface is open at a time.
  virtual bool Open(const std::string& path, HidReportLengths& lengths) = 0;
  virtual void Close() = 0;

  // Writes one output report of `length` bytes; byte 0 is the report id.
  virtual bool WriteReport(const uint8_t* report, size_t length) = 0;
  // Waits at most `timeout_ms` (0: no wait) for one input report and copies
  // it into `report` (`length` bytes, byte 0 the report id, the rest zero
  // beyond what the device sent). A real blocking wait.
  virtual HidReadStatus ReadReport(uint8_t* report, size_t length, int timeout_ms) = 0;
};

// A PC with no USB instrument: finds nothing, opens nothing. For work that
// reaches the instrument over the serial port only.
class NoHidBackend : public HidBackend {
 public:
  bool Enumerate(std::vector<HidInterfaceInfo>&) override { return true; }
  bool Open(const std::string&, HidReportLengths&) override { return false; }
  void Close() override {}
  bool WriteReport(const uint8_t*, size_t) override { return false; }
  HidReadStatus ReadReport(uint8_t*, size_t, int) override { return HidReadStatus::kError; }
};

}  // namespace kova
