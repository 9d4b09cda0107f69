#pragma once
// The serial port on QSerialPort: any port name or device path, a
// pseudo-terminal or a symbolic link to one included. Needs a
// QCoreApplication; works without an event loop.
//
// A port is opened by the device it names, whatever name reached it: two
// names of one device (a link and the device itself) meet at one exclusive
// lock, so two programs never talk to one instrument at the same time.

#include <memory>

#include "device/serial_backend.h"

class QSerialPort;

namespace kova {

class QtSerialBackend : public SerialBackend {
 public:
  QtSerialBackend();
  ~QtSerialBackend() override;

  SerialOpenStatus Open(const std::string& name, int baud, int& error) override;
  void Close() override;
  bool IsOpen() const override;
  SerialOpenFailure LastOpenFailure() const override { return failure_; }
  long BytesWaiting() override;
  bool Read(uint8_t* dest, size_t count, size_t& got) override;
  bool Write(const uint8_t* data, size_t count, int timeout_ms) override;
  bool PurgeInput() override;
  bool WaitReadable(int timeout_ms) override;
  // The ports the system lists (never pseudo-terminals).
  bool ListPorts(std::vector<std::string>& names) override;
  bool ListPortDetails(std::vector<SystemPort>& ports) override;

 private:
  bool Failed() const;
  std::unique_ptr<QSerialPort> port_;
  SerialOpenFailure failure_ = SerialOpenFailure::kUnknown;
};

}  // namespace kova
