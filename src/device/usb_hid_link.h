#pragma once
// UsbHidLink: the instrument over USB, where it is a HID-class device with
// vendor id InstrumentVendorId and a product id from 0x8001 to 0x800F. The
// same command bytes and reply lines as over the serial port travel inside
// HID reports:
//   output report: byte 0 the report id 0, bytes 1..60 up to 60 payload
//     bytes, zeros after; exactly the device's output report length is sent;
//   input report: byte 0 the report id; the payload is as many bytes from
//     byte 1 as there are non-zero bytes among bytes 1..length-1 (the
//     instrument packs its payload at the front and pads with zeros).
// Output is paced at one report per 100 ms. Waiting for an input report
// blocks in slices of at most 20 ms, checking the cancel token between them.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "device/device_link.h"
#include "device/hid_backend.h"

namespace kova {

constexpr uint16_t kFirstInstrumentProductId = 0x8001;
constexpr uint16_t kLastInstrumentProductId = 0x800F;

// Whether an interface with these ids is the instrument.
bool IsInstrumentHid(uint16_t vendor_id, uint16_t product_id, uint16_t instrument_vendor_id);

class UsbHidLink : public DeviceLink {
 public:
  static constexpr int kDefaultTimeoutMs = 8000;
  static constexpr size_t kPayloadPerReport = 60;
  static constexpr size_t kOutputBufferSize = 256;
  static constexpr size_t kInputBufferSize = 8192;
  static constexpr uint32_t kReportGapMs = 100;
  static constexpr int kWriteAttempts = 3;

  UsbHidLink(HidBackend& backend, uint16_t vendor_id);
  ~UsbHidLink() override;
  UsbHidLink(const UsbHidLink&) = delete;
  UsbHidLink& operator=(const UsbHidLink&) = delete;

  // The pause between two output reports (a real sleep, no pumping). Tests
  // replace it to see the pauses without waiting for them.
  std::function<void(uint32_t ms)> pause;

  // Searches for the instrument unless open; true when open.
  bool Open();
  void Close();
  bool IsOpen() const { return open_; }
  // The first interface with matching ids that opens and whose report
  // lengths the link can hold.
  bool FindDevice();

  // Sends the bytes in reports of 60; after three failed attempts the link
  // closes, so the next write searches again.
  bool Write(const void* bytes, size_t count) override;
  // True when `count` payload bytes arrived; the time-out (-1 means 8000 ms)
  // applies to each report that has to be fetched.
  bool ReadExact(uint8_t* dest, size_t count, int timeout_ms = -1) override;
  // One line ended by CR, without the CR, NUL-terminated (see
  // CSerialCom::ReadLine).
  bool ReadLine(char* buffer, size_t capacity, int timeout_ms = -1) {
    return ReadLinkLine(*this, buffer, capacity, timeout_ms);
  }

  bool OpenLink(bool) override { return Open(); }
  void CloseLink() override { Close(); }
  // Every read follows a write of the same exchange, which opened the link.
  bool OpensBeforeRead() const override { return false; }
  int LfTimeoutMs(int line_timeout_ms) const override { return line_timeout_ms; }

  const HidReportLengths& lengths() const { return lengths_; }

 private:
  bool FetchReport(int timeout_ms);

  HidBackend& backend_;
  uint16_t vendor_id_;
  HidReportLengths lengths_;
  bool open_ = false;
  size_t left_ = 0;
  size_t position_ = 0;
  std::vector<uint8_t> report_;
};

}  // namespace kova
