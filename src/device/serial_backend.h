#pragma once
// The serial port as the device link needs it: open a port by name at a
// speed with 8 data bits, no parity and one stop bit, read what has arrived,
// write, throw away unread input, wait for input with a real blocking wait,
// and list the ports of this computer. The platform layer implements it on
// the operating system's serial driver; the simulated instrument implements
// it in-process.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kova {

enum class SerialOpenStatus {
  kOpened,
  kCannotOpen,       // the device could not be opened (error code set)
  kBadSettings,      // the speed cannot be expressed as line settings
  kSettingsRefused,  // the driver refused the line settings
};

// A serial port as the system describes it, for the user to tell ports
// apart ("FT232R USB UART", USB ids 0403:6001).
struct SystemPort {
  std::string name;  // what Open takes
  std::string description, manufacturer;
  int vendor_id = -1, product_id = -1;  // -1: not a USB port, or not told
};

// Why a port did not open, where the system tells.
enum class SerialOpenFailure { kUnknown, kNoSuchPort, kBusy, kNotSerial };

// The words for a failure ("no such port", "port busy", "not a serial
// port"); empty when unknown.
const char* SerialOpenFailureText(SerialOpenFailure failure);

class SerialBackend {
 public:
  virtual ~SerialBackend() = default;

  // Opens `name` (a port name or a device path) for exclusive use. On
  // kCannotOpen `error` holds the system's error code. After kBadSettings or
  // kSettingsRefused the port is open but not usable at that speed.
  virtual SerialOpenStatus Open(const std::string& name, int baud, int& error) = 0;
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;
  // Why the last Open returned kCannotOpen.
  virtual SerialOpenFailure LastOpenFailure() const { return SerialOpenFailure::kUnknown; }

  // Bytes that can be read at once; -1 when the port has failed (the device
  // is gone).
  virtual long BytesWaiting() = 0;
  // Reads at most `count` of the waiting bytes; `got` is how many. False when
  // the read failed.
  virtual bool Read(uint8_t* dest, size_t count, size_t& got) = 0;
  // Hands every byte to the driver within `timeout_ms`; false otherwise.
  virtual bool Write(const uint8_t* data, size_t count, int timeout_ms) = 0;
  // Discards everything received and not yet read.
  virtual bool PurgeInput() = 0;
  // Blocks for at most `timeout_ms` until input is waiting: a real wait that
  // uses no processor time. True when input is waiting.
  virtual bool WaitReadable(int timeout_ms) = 0;

  // Names of the serial ports of this computer, in the system's order.
  virtual bool ListPorts(std::vector<std::string>& names) = 0;
  // The same ports with what the system says about them; by default only
  // their names.
  virtual bool ListPortDetails(std::vector<SystemPort>& ports) {
    std::vector<std::string> names;
    if (!ListPorts(names)) return false;
    for (std::string& n : names) ports.push_back(SystemPort{std::move(n), {}, {}, -1, -1});
    return true;
  }
};

}  // namespace kova
