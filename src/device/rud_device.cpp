#include "device/rud_device.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "app/app_settings.h"
#include "app/prompter.h"
#include "app/settings_store.h"
#include "base/format.h"

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

RudDevice::RudDevice(CSerialCom& serial, UsbHidLink& usb, Prompter& prompter, CAppInfo& info,
                     AppSettings& settings, SettingsStore& store)
    : serial_(serial),
      usb_(usb),
      prompter_(prompter),
      info_(info),
      settings_(settings),
      store_(store) {}

RudDevice::~RudDevice() = default;

void RudDevice::SetTitleWindow(MainWindowTitle* window) { window_ = window; }

void RudDevice::ApplyCommSettings() {
  serial_.Close();
  serial_.port = info_.comport;
  serial_.portname = info_.comportname;
  serial_.baud = info_.baud;
  serial_.tracefolder = info_.tracedir;
}

bool RudDevice::UsbActive() const { return info_.usbactive != 0; }

void RudDevice::ShowDeviceMessage(const std::string& text) {
  prompter_.Message(kDeviceCaption, text, Buttons::Ok);
}

bool RudDevice::SendBytes(const void* bytes, size_t count) {
  if (UsbActive()) {
    if (usb_.Write(bytes, count)) return true;
    if (usb_.abort) return false;
    ShowDeviceMessage("Can't send data to device");
    return false;
  }
  if (serial_.Write(bytes, count)) return true;
  ShowDeviceMessage("Can't send data to device");
  return false;
}

bool RudDevice::ReadDeviceLine(char* buffer, size_t capacity, int timeout_ms) {
  if (UsbActive()) {
    usb_.abort = 0;
    return usb_.ReadLine(buffer, capacity, timeout_ms);
  }
  serial_.abort = 0;
  return serial_.ReadLine(buffer, capacity, timeout_ms);
}

bool RudDevice::ReadDeviceLine(std::string& line, size_t capacity, int timeout_ms) {
  std::vector<char> buffer(std::max<size_t>(capacity, 1), '\0');
  const bool ok = ReadDeviceLine(buffer.data(), buffer.size(), timeout_ms);
  line.assign(buffer.data());
  return ok;
}

void RudDevice::SetAbort(int value) {
  if (UsbActive()) {
    usb_.abort = value;
  } else {
    serial_.abort = value;
  }
}

bool RudDevice::ProbeUsb() {
  uint8_t reply[5];
  return usb_.Open() && usb_.Write("B", 1) && usb_.ReadExact(reply, sizeof reply, kProbeTimeoutMs);
}

bool RudDevice::ProbeSerial(bool report) {
  if (!serial_.Open(report)) return false;
  if (!serial_.Write("B\r", 2)) {
    if (report) ShowDeviceMessage("Can't send data to device");
    return false;
  }
  uint8_t reply[4];
  return serial_.ReadExact(reply, sizeof reply, kProbeTimeoutMs);
}

bool RudDevice::Ping(bool report) { return UsbActive() ? ProbeUsb() : ProbeSerial(report); }

bool RudDevice::Identify(char* reply, size_t size, bool check) {
  if (reply == nullptr || size == 0) return false;
  reply[0] = '\0';
  if (check && !EnsureConnected(true)) return false;
  if (!SendBytes("W", 1)) return false;
  if (!ReadDeviceLine(reply, std::min(size, kIdentifyCapacity), -1)) return false;
  modelcode = ModelCodeFromIdentification(reply);
  if (!have_base_title_) {
    base_title_ = window_ != nullptr ? window_->GetTitle() : std::string();
    have_base_title_ = true;
  }
  title_ = ConnectedTitle(base_title_, modelcode);
  if (window_ != nullptr) window_->SetTitle(title_);
  return true;
}

bool RudDevice::Identify(std::string& reply, bool check) {
  char buffer[kIdentifyCapacity];
  const bool ok = Identify(buffer, sizeof buffer, check);
  reply.assign(buffer);
  return ok;
}

int RudDevice::ModelCode() {
  char reply[kIdentifyCapacity];
  Identify(reply, sizeof reply, true);
  return modelcode;
}

bool RudDevice::Is7100BC() { return ModelCode() == kModel7100BC; }
bool RudDevice::Is7KA() { return ModelCode() == kModel7KA; }
bool RudDevice::IsR5() { return ModelCode() == kModelR5; }

bool RudDevice::EnsureConnected(bool report) {
  const bool may_search = settings_.DeviceAutoDetect != 0 && detected == 0;
  char reply[kIdentifyCapacity];
  if (Ping(may_search ? false : report)) {
    Identify(reply, sizeof reply, false);
    return true;
  }
  if (may_search) {
    prompter_.RunWaiting("Searching for Device ...\r\rPlease wait.", [this] { return Detect(); });
  }
  if (Ping(report)) {
    Identify(reply, sizeof reply, false);
    return true;
  }
  if (report) ShowDeviceMessage("Device not available");
  return false;
}

bool RudDevice::SearchSerialPorts() {
  std::vector<std::string> names;
  serial_.EnumeratePorts(names);
  // Names the user configured join the search (a link to a simulated
  // instrument, ports the system does not list).
  for (const std::string& extra : info_.ExtraPortNames()) {
    if (std::find(names.begin(), names.end(), extra) == names.end()) names.push_back(extra);
  }
  const int old_port = serial_.port;
  const std::string old_name = serial_.portname;
  for (const std::string& name : names) {
    prompter_.SetWaitingText(Format("Searching for Device on %s...\r\rPlease wait.", name.c_str()));
    serial_.Close();
    serial_.port = PortNumberFromName(name);
    serial_.portname = name;
    uint8_t reply[4];
    if (serial_.Open(false) && serial_.Write("B\r", 2) &&
        serial_.ReadExact(reply, sizeof reply, kProbeTimeoutMs)) {
      return true;
    }
    serial_.Close();
  }
  // Nothing found: the port stays the one the settings name.
  serial_.port = old_port;
  serial_.portname = old_name;
  return false;
}

bool RudDevice::Detect() {
  if (ProbeUsb()) {
    info_.usbactive = 1;
  } else if (SearchSerialPorts()) {
    info_.usbactive = 0;
  } else {
    return false;
  }
  detected = 1;
  char reply[kIdentifyCapacity];
  Identify(reply, sizeof reply, false);
  if (std::strstr(reply, "KOVA") != nullptr) {
    StoreFoundConnection();
  } else {
    serial_.Close();
    detected = 0;
  }
  return detected != 0;
}

void RudDevice::StoreFoundConnection() {
  const char* S = kSettingsSection;
  if (!UsbActive()) {
    // A "COMn" name is stored as its number, as always; any other name is
    // kept as the port name, which wins over the number.
    if (IsNumberedComName(serial_.portname)) {
      info_.comport = PortNumberFromName(serial_.portname);
      info_.comportname.clear();
    } else {
      info_.comportname = serial_.portname;
    }
  }
  info_.comspeed = serial_.baud == 19200 ? 0 : 1;
  info_.baud = SpeedFromSelector(info_.comspeed);
  store_.SetInt(S, "ComPort", info_.comport);
  store_.SetInt(S, "ComSpeed", info_.comspeed);
  store_.SetInt(S, "USBEnable", info_.usbactive);
  store_.SetText(S, "ComPortName", info_.comportname);
  store_.Flush();
  settings_.ComPort = info_.comport;
  settings_.USBEnabled = info_.usbactive;
}

bool RudDevice::Reconnect() {
  for (int attempt = 0; attempt < 2; ++attempt) {
    usb_.abort = 0;
    if (UsbActive()) {
      usb_.Close();
      usb_.Open();
    } else {
      serial_.Close();
      serial_.Open(true);
    }
    if (EnsureConnected(false)) return true;
  }
  return false;
}

}  // namespace kova
