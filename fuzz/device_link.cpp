// Fuzz target: bytes from the instrument through CSerialCom and UsbHidLink
// line and exact reads, at small and large capacities. The first byte picks
// the capacity; the rest is the line's traffic (and, for USB, is cut into
// reports of the link's input length).

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/quiet_prompter.h"
#include "device/serial_com.h"
#include "device/usb_hid_link.h"

namespace {

using namespace kova;

using NullPrompter = QuietPrompter;

// A line that delivers the given bytes, then is gone (reads fail at once).
class BytesSerial : public SerialBackend {
 public:
  BytesSerial(const uint8_t* data, size_t size) : data_(data, data + size) {}
  SerialOpenStatus Open(const std::string&, int, int& error) override {
    error = 0;
    return SerialOpenStatus::kOpened;
  }
  void Close() override {}
  bool IsOpen() const override { return true; }
  long BytesWaiting() override {
    return at_ < data_.size() ? static_cast<long>((data_.size() - at_ + 2) / 3) : -1;
  }
  bool Read(uint8_t* dest, size_t count, size_t& got) override {
    got = 0;
    while (got < count && at_ < data_.size()) dest[got++] = data_[at_++];
    return true;
  }
  bool Write(const uint8_t*, size_t, int) override { return true; }
  bool PurgeInput() override { return true; }
  bool WaitReadable(int) override { return at_ < data_.size(); }
  bool ListPorts(std::vector<std::string>&) override { return true; }

 private:
  std::vector<uint8_t> data_;
  size_t at_ = 0;
};

class BytesHid : public HidBackend {
 public:
  BytesHid(const uint8_t* data, size_t size, size_t input_length)
      : data_(data, data + size), input_length_(input_length) {}
  bool Enumerate(std::vector<HidInterfaceInfo>& found) override {
    found.push_back({"fuzz", 0x2A5F, 0x8001});
    return true;
  }
  bool Open(const std::string&, HidReportLengths& lengths) override {
    lengths.input = input_length_;
    lengths.output = 65;
    return true;
  }
  void Close() override {}
  bool WriteReport(const uint8_t*, size_t) override { return true; }
  HidReadStatus ReadReport(uint8_t* report, size_t length, int) override {
    if (at_ >= data_.size()) return HidReadStatus::kError;
    for (size_t i = 0; i < length; ++i) report[i] = at_ < data_.size() ? data_[at_++] : 0;
    return HidReadStatus::kReport;
  }

 private:
  std::vector<uint8_t> data_;
  size_t at_ = 0;
  size_t input_length_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  static const size_t kCapacities[] = {1, 2, 3, 50, 260};
  const size_t capacity = kCapacities[data[0] % 5];
  const size_t input_length = 2 + data[0] % 70;
  NullPrompter prompter;
  std::vector<char> line(capacity);

  BytesSerial serial_backend(data + 1, size - 1);
  CSerialCom serial(serial_backend, prompter);
  serial.portname = "fuzz";
  for (int i = 0; i < 64 && serial.ReadLine(line.data(), line.size(), 0); ++i) {
  }
  uint8_t exact[7];
  serial.ReadExact(exact, sizeof exact, 0);

  BytesHid hid_backend(data + 1, size - 1, input_length);
  UsbHidLink usb(hid_backend, 0x2A5F);
  usb.pause = [](uint32_t) {};
  if (!usb.Open()) return 0;
  for (int i = 0; i < 64 && usb.ReadLine(line.data(), line.size(), 0); ++i) {
  }
  usb.ReadExact(exact, sizeof exact, 0);
  return 0;
}
