#pragma once
// The simulated instrument plugged into UsbHidLink in-process: a list of HID
// interfaces, one of which may carry an instrument. The instrument takes the
// non-zero payload bytes of each output report and answers in input reports
// of at most 60 payload bytes, padded with zeros, one report at a time
// (paced at `report_interval_ms` when set). Tests can also queue raw input
// reports and look at every output report.

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "device/hid_backend.h"
#include "sim/sim_instrument.h"

namespace kova {

class SimHidBackend : public HidBackend {
 public:
  using Clock = uint32_t (*)();
  explicit SimHidBackend(Clock clock = nullptr);
  ~SimHidBackend() override;

  // An interface with these ids; `instrument` may be null. `openable` false:
  // opening it fails (in use by another program).
  void AddDevice(const std::string& path, uint16_t vendor_id, uint16_t product_id,
                 SimInstrument* instrument, HidReportLengths lengths = {}, bool openable = true);
  // A raw input report from the open device, byte 0 the report id.
  void QueueInputReport(const std::vector<uint8_t>& report);
  // The next `count` output report writes fail.
  void FailWrites(int count) { fail_writes_ = count; }
  void SetReportInterval(uint32_t ms) { report_interval_ms_ = ms; }

  const std::vector<std::vector<uint8_t>>& OutputReports() const { return outputs_; }
  const std::vector<std::string>& OpenLog() const { return open_log_; }
  const std::string& OpenPath() const { return open_path_; }
  int ReadCalls() const { return read_calls_; }
  // Called at the start of every read that may wait: lets a test act as the
  // user would while the program waits.
  std::function<void()> on_wait;
  int LongestWaitMs() const { return longest_wait_; }

  // HidBackend
  bool Enumerate(std::vector<HidInterfaceInfo>& found) override;
  bool Open(const std::string& path, HidReportLengths& lengths) override;
  void Close() override;
  bool WriteReport(const uint8_t* report, size_t length) override;
  HidReadStatus ReadReport(uint8_t* report, size_t length, int timeout_ms) override;

 private:
  struct Device {
    HidInterfaceInfo info;
    SimInstrument* instrument = nullptr;
    HidReportLengths lengths;
    bool openable = true;
  };
  Device* Current();
  uint32_t Now() const;
  bool NextReport(std::vector<uint8_t>& report, uint32_t now);

  Clock clock_;
  std::vector<Device> devices_;
  std::string open_path_;
  std::deque<std::vector<uint8_t>> raw_inputs_;
  std::vector<std::vector<uint8_t>> outputs_;
  std::vector<std::string> open_log_;
  int fail_writes_ = 0;
  uint32_t report_interval_ms_ = 0;
  uint32_t last_report_at_ = 0;
  bool sent_any_ = false;
  int read_calls_ = 0;
  int longest_wait_ = 0;
};

}  // namespace kova
