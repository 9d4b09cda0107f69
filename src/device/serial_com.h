#pragma once
// CSerialCom: the byte pipe to the instrument over a serial port. Opens the
// port lazily with fixed line settings, writes command bytes (throwing away
// unread input first), reads an exact number of bytes or one CR-terminated
// line under a time-out, stops when the cancel token is set, and keeps an
// optional trace.
//
// Waiting never spins: it blocks on the port in slices of at most 20 ms and
// checks the cancel token between slices, so Abort answers within one slice.
// The calls block: the desktop makes them on a worker thread.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "device/device_link.h"
#include "device/device_status.h"
#include "device/serial_backend.h"
#include "device/serial_trace.h"

namespace kova {

class Prompter;

// Longest blocking wait between two looks at the cancel token.
constexpr int kWaitSliceMs = 20;

class CSerialCom : public DeviceLink {
 public:
  static constexpr int kDefaultTimeoutMs = 3000;
  static constexpr size_t kWriteChunk = 128;

  CSerialCom(SerialBackend& backend, Prompter& prompter);
  ~CSerialCom() override;
  CSerialCom(const CSerialCom&) = delete;
  CSerialCom& operator=(const CSerialCom&) = delete;

  // Port and speed take effect at the next Open; change them only while
  // closed. A port name, when not empty, wins over the number.
  int port = 1;  // 1-based COM port number
  std::string portname;
  int baud = 19200;
  int skiplf = 1;  // after a CR, one more byte (the LF) is consumed
  // Folder for the trace file (see TraceFolder); empty: no trace.
  std::string tracefolder;

  // The name the port is opened by: the port name, or the system's name of
  // COM port `port` ("\\.\COMn" on Windows, "/dev/ttyS<n-1>" elsewhere).
  std::string DeviceName() const;

  // True when the port is open and configured. With `report`, a failure goes
  // to the status listener (by default a "Warning" box of the prompter).
  bool Open(bool report);
  bool Close();
  bool IsOpen() const { return open_; }
  // Why the last Open failed ("no such port", "port busy", "the port refuses
  // 19200 bit/s" ...); empty after an Open that worked.
  const std::string& open_problem() const { return open_problem_; }
  // Where reported failures go; RudDevice routes them to its own listener.
  void OnStatus(DeviceStatusListener listener);

  // Opens, discards unread input, then sends all bytes in chunks of 128.
  bool Write(const void* bytes, size_t count) override;
  // True when exactly `count` bytes arrived within the time-out (whole read;
  // -1 means 3000 ms). Bytes read so far stay in `dest` on failure.
  bool ReadExact(uint8_t* dest, size_t count, int timeout_ms = -1) override;
  // One line ended by CR, without the CR, NUL-terminated; NUL bytes arrive
  // as spaces. The time-out applies to each byte. Fails when the line
  // reaches capacity - 1 characters (so capacity - 2 fit).
  bool ReadLine(char* buffer, size_t capacity, int timeout_ms = -1) {
    return ReadLinkLine(*this, buffer, capacity, timeout_ms);
  }

  bool OpenLink(bool report) override { return Open(report); }
  void CloseLink() override { Close(); }
  bool OpensBeforeRead() const override { return true; }
  // The LF after a CR gets the default wait, whatever the line's.
  int LfTimeoutMs(int) const override { return kDefaultTimeoutMs; }
  bool ConsumesLf() const override { return skiplf != 0; }

  // The serial ports of this computer (the list is cleared first).
  bool EnumeratePorts(std::vector<std::string>& names);

  const SerialTrace& trace() const { return trace_; }

 private:
  SerialBackend& backend_;
  Prompter& prompter_;
  DeviceStatusListener status_listener_;
  SerialTrace trace_;
  std::string open_problem_;
  bool open_ = false;
};

}  // namespace kova
