#pragma once
// The preferences the device link reads and the one thing it learns for
// them: where the instrument was found. The application keeps them in its
// settings; the link only sees this interface.

#include <string>
#include <vector>

namespace kova {

// A serial port as the preferences name it.
struct SerialPlace {
  int port = 1;          // 1-based COM port number
  std::string name;      // a port name or device path; wins over `port`
  int baud = 19200;      // 19200 or 115200
  std::string tracedir;  // folder of the serial trace; empty: no trace
};

class LinkPreferences {
 public:
  virtual ~LinkPreferences() = default;

  // The instrument is reached over USB (else over the serial port).
  virtual bool UsbActive() const = 0;
  virtual void SetUsbActive(bool usb) = 0;
  virtual SerialPlace Place() const = 0;
  // Names that join the search besides the ports the system lists.
  virtual std::vector<std::string> ExtraPortNames() const = 0;
  // The automatic search for the instrument is allowed.
  virtual bool AutoDetect() const = 0;
  // The search found an instrument that says "KOVA": at `where` (serial) or
  // on USB. The preferences keep it for the next run.
  virtual void StoreFound(const SerialPlace& where, bool usb) = 0;
};

}  // namespace kova
