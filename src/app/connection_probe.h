#pragma once
// Setup's "Test Connection": asks the port (or USB) chosen in the dialog
// which instrument answers, before anything is stored. No search, nothing
// learnt: the user sees what answers where the choice points, and what was
// tried and came back when nothing does.

#include <cstdint>
#include <string>

#include "app/setup_model.h"
#include "base/prompter.h"
#include "device/device_status.h"
#include "device/hid_backend.h"
#include "device/serial_backend.h"

namespace kova {

struct ProbeTarget {
  bool usb = false;
  std::string port;  // the serial port (system name)
  int baud = 115200;
};
ProbeTarget ProbeTargetOf(const SetupValues& values);

struct ProbeOutcome {
  bool found = false;
  int modelcode = 0;
  int baud = 0;      // where the instrument answered (serial)
  std::string text;  // what the dialog shows (Windows-1252)
};

// Tries the target; over a serial port at the chosen speed, then at the
// other one. The backends must not be in use by another link meanwhile.
ProbeOutcome ProbeConnection(const ProbeTarget& target, SerialBackend& serial, HidBackend& hid,
                             uint16_t vendor_id);

// What to check when no instrument answers, as the user is told.
std::string NoDeviceAdvice(bool usb);
// The desktop's box for an instrument's outcome: "Device not available"
// gains the next steps to take.
void ShowDeviceStatusWithAdvice(Prompter& prompter, const DeviceStatus& status);

}  // namespace kova
