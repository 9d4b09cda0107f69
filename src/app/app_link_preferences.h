#pragma once
// The device link's preferences over the application's settings objects:
// where the instrument is reached and whether it may be searched for, and
// the search's find kept in the settings store.

#include "app/app_settings.h"
#include "app/settings_store.h"
#include "device/link_preferences.h"

namespace kova {

class AppLinkPreferences : public LinkPreferences {
 public:
  AppLinkPreferences(CAppInfo& info, AppSettings& settings, SettingsStore& store)
      : info_(info), settings_(settings), store_(store) {}

  bool UsbActive() const override { return info_.usbactive != 0; }
  void SetUsbActive(bool usb) override { info_.usbactive = usb ? 1 : 0; }
  SerialPlace Place() const override;
  std::vector<std::string> ExtraPortNames() const override { return info_.ExtraPortNames(); }
  bool AutoDetect() const override { return settings_.DeviceAutoDetect != 0; }
  void StoreFound(const SerialPlace& where, bool usb) override;

 private:
  CAppInfo& info_;
  AppSettings& settings_;
  SettingsStore& store_;
};

}  // namespace kova
