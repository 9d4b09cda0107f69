#include "sim/sim_hid_backend.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "base/timer.h"

namespace kova {

constexpr size_t kSimPayloadPerReport = 60;

SimHidBackend::SimHidBackend(Clock clock) : clock_(clock != nullptr ? clock : &TickCountMs) {}

SimHidBackend::~SimHidBackend() = default;

uint32_t SimHidBackend::Now() const { return clock_(); }

void SimHidBackend::AddDevice(const std::string& path, uint16_t vendor_id, uint16_t product_id,
                              SimInstrument* instrument, HidReportLengths lengths, bool openable) {
  Device d;
  d.info.path = path;
  d.info.vendor_id = vendor_id;
  d.info.product_id = product_id;
  d.instrument = instrument;
  d.lengths = lengths;
  d.openable = openable;
  devices_.push_back(d);
}

void SimHidBackend::QueueInputReport(const std::vector<uint8_t>& report) {
  raw_inputs_.push_back(report);
}

SimHidBackend::Device* SimHidBackend::Current() {
  for (Device& d : devices_) {
    if (!open_path_.empty() && d.info.path == open_path_) return &d;
  }
  return nullptr;
}

bool SimHidBackend::Enumerate(std::vector<HidInterfaceInfo>& found) {
  for (const Device& d : devices_) found.push_back(d.info);
  return true;
}

bool SimHidBackend::Open(const std::string& path, HidReportLengths& lengths) {
  open_log_.push_back(path);
  for (const Device& d : devices_) {
    if (d.info.path != path) continue;
    if (!d.openable || !open_path_.empty()) return false;
    open_path_ = path;
    lengths = d.lengths;
    return true;
  }
  return false;
}

void SimHidBackend::Close() { open_path_.clear(); }

bool SimHidBackend::WriteReport(const uint8_t* report, size_t length) {
  Device* d = Current();
  if (d == nullptr) return false;
  outputs_.emplace_back(report, report + length);
  if (fail_writes_ > 0) {
    --fail_writes_;
    return false;
  }
  if (d->instrument != nullptr) {
    // The instrument takes the payload: the non-zero bytes after the id.
    std::string payload;
    for (size_t i = 1; i < length; ++i) {
      if (report[i] != 0) payload += static_cast<char>(report[i]);
    }
    d->instrument->Receive(payload, Now());
  }
  return true;
}

bool SimHidBackend::NextReport(std::vector<uint8_t>& report, uint32_t now) {
  if (!raw_inputs_.empty()) {
    report = raw_inputs_.front();
    raw_inputs_.pop_front();
    return true;
  }
  Device* d = Current();
  if (d == nullptr || d->instrument == nullptr) return false;
  d->instrument->Advance(now);
  if (d->instrument->OutputSize() == 0) return false;
  if (report_interval_ms_ > 0 && sent_any_ &&
      static_cast<int32_t>(now - last_report_at_) < static_cast<int32_t>(report_interval_ms_)) {
    return false;
  }
  const size_t room = d->lengths.input > 1 ? d->lengths.input - 1 : 0;
  report.assign(d->lengths.input, 0);
  d->instrument->TakeOutput(report.data() + 1, std::min(kSimPayloadPerReport, room));
  sent_any_ = true;
  last_report_at_ = now;
  return true;
}

HidReadStatus SimHidBackend::ReadReport(uint8_t* report, size_t length, int timeout_ms) {
  if (on_wait && timeout_ms != 0) on_wait();
  ++read_calls_;
  longest_wait_ = std::max(longest_wait_, timeout_ms);
  if (Current() == nullptr) return HidReadStatus::kError;
  CTimer timer;
  timer.Start(static_cast<uint32_t>(std::max(timeout_ms, 0)));
  for (;;) {
    std::vector<uint8_t> next;
    if (NextReport(next, Now())) {
      std::fill(report, report + length, 0);
      std::copy(next.begin(),
                next.begin() + static_cast<std::ptrdiff_t>(std::min(length, next.size())), report);
      return HidReadStatus::kReport;
    }
    if (timeout_ms <= 0 || timer.Expired()) return HidReadStatus::kTimeout;
    // Sleep until the instrument's next step or report slot, within the wait.
    int64_t sleep = std::max<int64_t>(timer.RemainingMs(), 1);
    Device* d = Current();
    const uint32_t now = Now();
    if (d->instrument != nullptr) {
      if (d->instrument->OutputSize() > 0 && report_interval_ms_ > 0) {
        const int32_t due = static_cast<int32_t>(last_report_at_ + report_interval_ms_ - now);
        sleep = std::min<int64_t>(sleep, std::max(due, 1));
      }
      const int64_t step = d->instrument->NextStepAt();
      if (step >= 0) {
        const int32_t due = static_cast<int32_t>(static_cast<uint32_t>(step) - now);
        sleep = std::min<int64_t>(sleep, std::max(due, 1));
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(sleep));
  }
}

}  // namespace kova
