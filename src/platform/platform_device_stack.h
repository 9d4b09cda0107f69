#pragma once
// The device stack on this computer's serial ports (QSerialPort) and USB
// (hidapi), with the vendor id the build was configured with.

#include "app/device_stack.h"
#include "platform/hidapi_backend.h"
#include "platform/qt_serial_backend.h"

namespace kova {

class PlatformDeviceStack {
 public:
  PlatformDeviceStack(CAppInfo& info, AppSettings& settings, SettingsStore& store,
                      Prompter& prompter)
      : stack_(info, settings, store, prompter, serial_backend_, hid_backend_,
               ConfiguredInstrumentVendorId()) {}

  RudDevice& device() { return stack_.device(); }
  SerialBackend& serial_backend() { return serial_backend_; }
  HidBackend& hid_backend() { return hid_backend_; }

 private:
  QtSerialBackend serial_backend_;
  HidapiBackend hid_backend_;
  DeviceStack stack_;
};

}  // namespace kova
