#include "platform/hidapi_backend.h"

#include <hidapi.h>

#include <algorithm>
#include <vector>

#include "base/file_io.h"
#include "base/path.h"
#include "device/hid_report_descriptor.h"

#ifndef KOVA_VENDOR_ID
#error "KOVA_VENDOR_ID comes from the InstrumentVendorId cache variable"
#endif

namespace kova {
namespace {

// Linux hidraw shows the descriptor in sysfs; elsewhere the lengths keep
// their defaults.
void LengthsFromSystem(const std::string& path, HidReportLengths& lengths) {
#ifdef __linux__
  const std::string node = FileNameOf(path);  // "hidrawN"
  if (node.rfind("hidraw", 0) != 0) return;
  std::vector<uint8_t> descriptor;
  if (!ReadFileBytes("/sys/class/hidraw/" + node + "/device/report_descriptor", descriptor, 4096)) {
    return;
  }
  HidReportLengths found;
  if (ReportLengthsFromDescriptor(descriptor.data(), descriptor.size(), found)) lengths = found;
#else
  (void)path;
  (void)lengths;
#endif
}

}  // namespace

uint16_t ConfiguredInstrumentVendorId() { return static_cast<uint16_t>(KOVA_VENDOR_ID); }

HidapiBackend::HidapiBackend() : initialised_(hid_init() == 0) {}

HidapiBackend::~HidapiBackend() {
  Close();
  if (initialised_) hid_exit();
}

bool HidapiBackend::Enumerate(std::vector<HidInterfaceInfo>& found) {
  if (!initialised_) return false;
  hid_device_info* list = hid_enumerate(0, 0);
  for (hid_device_info* d = list; d != nullptr; d = d->next) {
    HidInterfaceInfo info;
    info.path = d->path != nullptr ? d->path : "";
    info.vendor_id = d->vendor_id;
    info.product_id = d->product_id;
    found.push_back(info);
  }
  hid_free_enumeration(list);
  return true;
}

bool HidapiBackend::Open(const std::string& path, HidReportLengths& lengths) {
  Close();
  if (!initialised_) return false;
  device_ = hid_open_path(path.c_str());
  if (device_ == nullptr) return false;
  lengths = HidReportLengths{};
  LengthsFromSystem(path, lengths);
  return true;
}

void HidapiBackend::Close() {
  if (device_ != nullptr) hid_close(device_);
  device_ = nullptr;
}

bool HidapiBackend::WriteReport(const uint8_t* report, size_t length) {
  if (device_ == nullptr) return false;
  return hid_write(device_, report, length) == static_cast<int>(length);
}

HidReadStatus HidapiBackend::ReadReport(uint8_t* report, size_t length, int timeout_ms) {
  if (device_ == nullptr || length < 2) return HidReadStatus::kError;
  std::fill(report, report + length, 0);
  // The instrument's reports carry no id: hidapi hands the data alone, the
  // report id 0 goes in front.
  const int n = hid_read_timeout(device_, report + 1, length - 1, std::max(timeout_ms, 0));
  if (n < 0) return HidReadStatus::kError;
  return n == 0 ? HidReadStatus::kTimeout : HidReadStatus::kReport;
}

}  // namespace kova
