#pragma once
// USB HID access on hidapi. Report lengths come from the device's report
// descriptor where the system shows it (Linux hidraw), else the usual 64
// data bytes plus the report id.

#include <string>

#include "device/hid_backend.h"

struct hid_device_;

namespace kova {

// The vendor id the build was configured with (InstrumentVendorId).
uint16_t ConfiguredInstrumentVendorId();

class HidapiBackend : public HidBackend {
 public:
  HidapiBackend();
  ~HidapiBackend() override;

  bool Enumerate(std::vector<HidInterfaceInfo>& found) override;
  bool Open(const std::string& path, HidReportLengths& lengths) override;
  void Close() override;
  bool WriteReport(const uint8_t* report, size_t length) override;
  HidReadStatus ReadReport(uint8_t* report, size_t length, int timeout_ms) override;

 private:
  hid_device_* device_ = nullptr;
  bool initialised_ = false;
};

}  // namespace kova
