#include "device/usb_hid_link.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "base/timer.h"
#include "device/serial_com.h"

namespace kova {

bool IsInstrumentHid(uint16_t vendor_id, uint16_t product_id, uint16_t instrument_vendor_id) {
  return vendor_id == instrument_vendor_id && product_id >= kFirstInstrumentProductId &&
         product_id <= kLastInstrumentProductId;
}

UsbHidLink::UsbHidLink(HidBackend& backend, uint16_t vendor_id)
    : pause([](uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }),
      backend_(backend),
      vendor_id_(vendor_id) {}

UsbHidLink::~UsbHidLink() { Close(); }

bool UsbHidLink::FindDevice() {
  std::vector<HidInterfaceInfo> found;
  if (!backend_.Enumerate(found)) return false;
  for (const HidInterfaceInfo& info : found) {
    if (!IsInstrumentHid(info.vendor_id, info.product_id, vendor_id_)) continue;
    HidReportLengths lengths;
    if (!backend_.Open(info.path, lengths)) continue;
    // Reports must fit the link's buffers and carry at least one byte.
    if (lengths.output < 2 || lengths.output > kOutputBufferSize || lengths.input < 2 ||
        lengths.input > kInputBufferSize) {
      backend_.Close();
      continue;
    }
    lengths_ = lengths;
    report_.assign(lengths_.input, 0);
    return true;
  }
  return false;
}

bool UsbHidLink::Open() {
  if (!open_) {
    left_ = 0;
    position_ = 0;
    open_ = FindDevice();
  }
  return open_;
}

void UsbHidLink::Close() {
  if (open_) backend_.Close();
  open_ = false;
  ClearGone();
  left_ = 0;
  position_ = 0;
}

bool UsbHidLink::Write(const void* bytes, size_t count) {
  if (!Open()) return false;
  const uint8_t* data = static_cast<const uint8_t*>(bytes);
  const size_t per_report = std::min(kPayloadPerReport, lengths_.output - 1);
  uint8_t report[kOutputBufferSize];
  int failures = 0;
  size_t done = 0;
  while (done < count) {
    const size_t chunk = std::min(per_report, count - done);
    std::memset(report, 0, sizeof report);
    std::memcpy(report + 1, data + done, chunk);
    if (backend_.WriteReport(report, lengths_.output)) {
      done += chunk;
      if (done < count) pause(kReportGapMs);
      continue;
    }
    if (++failures >= kWriteAttempts) {
      Close();  // the next write searches for the device again
      return false;
    }
    pause(kReportGapMs);
    done = 0;  // the whole message again
  }
  return true;
}

bool UsbHidLink::FetchReport(int timeout_ms) {
  std::fill(report_.begin(), report_.end(), 0);
  if (timeout_ms == 0) {
    if (backend_.ReadReport(report_.data(), report_.size(), 0) != HidReadStatus::kReport) {
      return false;
    }
  } else {
    CTimer timer;
    timer.Start(static_cast<uint32_t>(timeout_ms));
    for (;;) {
      const uint32_t left = std::max<uint32_t>(timer.RemainingMs(), 1);
      const int slice = static_cast<int>(std::min<uint32_t>(left, kWaitSliceMs));
      const HidReadStatus status = backend_.ReadReport(report_.data(), report_.size(), slice);
      if (status == HidReadStatus::kReport) break;
      if (status == HidReadStatus::kError) {
        MarkGone();
        return false;
      }
      if (Cancelled()) return false;
      if (timer.Expired()) return false;
    }
  }
  // The payload is packed at the front; its length is the count of non-zero
  // bytes after the report id.
  left_ = static_cast<size_t>(
      std::count_if(report_.begin() + 1, report_.end(), [](uint8_t b) { return b != 0; }));
  position_ = 1;
  return left_ != 0;
}

bool UsbHidLink::ReadExact(uint8_t* dest, size_t count, int timeout_ms) {
  if (count == 0) return true;
  if (!open_) return false;
  const int timeout = timeout_ms < 0 ? kDefaultTimeoutMs : timeout_ms;
  size_t needed = count;
  while (needed > 0) {
    if (left_ == 0 && !FetchReport(timeout)) return false;
    const size_t k = std::min(left_, needed);
    std::memcpy(dest, report_.data() + position_, k);
    dest += k;
    position_ += k;
    left_ -= k;
    needed -= k;
  }
  return true;
}

}  // namespace kova
