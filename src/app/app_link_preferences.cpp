#include "app/app_link_preferences.h"

#include <cctype>

#include "device/rud_device.h"

namespace kova {
namespace {

// A port name of the "COMn" kind, whose number alone says where it is.
bool IsNumberedComName(const std::string& name) {
  std::string text = name;
  while (!text.empty() && text.back() == ':') text.pop_back();
  if (text.size() < 4) return false;
  for (size_t i = 0; i < 3; ++i) {
    if (std::toupper(static_cast<unsigned char>(text[i])) != "COM"[i]) return false;
  }
  for (size_t i = 3; i < text.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
  }
  return PortNumberFromName(text) > 0;
}

}  // namespace

SerialPlace AppLinkPreferences::Place() const {
  SerialPlace place;
  place.port = info_.comport;
  place.name = info_.comportname;
  place.baud = info_.baud;
  place.tracedir = info_.tracedir;
  return place;
}

void AppLinkPreferences::StoreFound(const SerialPlace& where, bool usb) {
  info_.usbactive = usb ? 1 : 0;
  if (!usb) {
    // A "COMn" name is stored as its number, as always; any other name is
    // kept as the port name, which wins over the number.
    if (IsNumberedComName(where.name)) {
      info_.comport = PortNumberFromName(where.name);
      info_.comportname.clear();
    } else {
      info_.comportname = where.name;
    }
  }
  info_.comspeed = where.baud == 19200 ? 0 : 1;
  info_.baud = SpeedFromSelector(info_.comspeed);
  StoreInt(store_, SettingId::kComPort, info_.comport);
  StoreInt(store_, SettingId::kComSpeed, info_.comspeed);
  StoreInt(store_, SettingId::kUSBEnable, info_.usbactive);
  StoreText(store_, SettingId::kComPortName, info_.comportname);
  store_.Flush();
  settings_.ComPort = info_.comport;
  settings_.USBEnabled = info_.usbactive;
}

}  // namespace kova
