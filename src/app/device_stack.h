#pragma once
// The one place that assembles the device link from the settings: the
// preferences over the settings objects, the serial port and USB links on
// the backends the platform gives, and RudDevice on top. The command-line
// tool builds one per command, the desktop program one for its whole run.

#include <cstdint>

#include "app/app_link_preferences.h"
#include "device/rud_device.h"
#include "device/serial_com.h"
#include "device/usb_hid_link.h"

namespace kova {

class DeviceStack {
 public:
  DeviceStack(CAppInfo& info, AppSettings& settings, SettingsStore& store, Prompter& prompter,
              SerialBackend& serial_backend, HidBackend& hid_backend, uint16_t vendor_id)
      : preferences_(info, settings, store),
        serial_(serial_backend, prompter),
        usb_(hid_backend, vendor_id),
        device_(serial_, usb_, prompter, preferences_) {
    device_.ApplyCommSettings();
    // Both faces word the instrument's outcomes from the one table, in a
    // box of their prompter (the terminal prints "caption: text").
    device_.OnStatus(
        [&prompter](const DeviceStatus& status) { ShowDeviceStatus(prompter, status); });
  }
  DeviceStack(const DeviceStack&) = delete;
  DeviceStack& operator=(const DeviceStack&) = delete;

  RudDevice& device() { return device_; }

 private:
  AppLinkPreferences preferences_;
  CSerialCom serial_;
  UsbHidLink usb_;
  RudDevice device_;
};

}  // namespace kova
