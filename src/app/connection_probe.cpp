#include "app/connection_probe.h"

#include <vector>

#include "app/quiet_prompter.h"
#include "base/codepage.h"
#include "base/format.h"
#include "device/link_preferences.h"
#include "device/rud_device.h"
#include "device/serial_com.h"
#include "device/usb_hid_link.h"

namespace kova {
namespace {

// The target as preferences: no search, and nothing stored.
class TargetPreferences : public LinkPreferences {
 public:
  TargetPreferences(const ProbeTarget& target, int baud) : target_(target), baud_(baud) {}
  bool UsbActive() const override { return target_.usb; }
  void SetUsbActive(bool) override {}
  SerialPlace Place() const override {
    SerialPlace p;
    p.port = PortNumberFromName(target_.port);
    p.name = target_.port;
    p.baud = baud_;
    return p;
  }
  std::vector<std::string> ExtraPortNames() const override { return {}; }
  bool AutoDetect() const override { return false; }
  void StoreFound(const SerialPlace&, bool) override {}

 private:
  const ProbeTarget& target_;
  int baud_;
};

struct Attempt {
  DeviceStatus status;
  int modelcode = 0;
};

Attempt TryOnce(const ProbeTarget& target, int baud, SerialBackend& serial_backend,
                HidBackend& hid_backend, uint16_t vendor_id) {
  QuietPrompter quiet;
  TargetPreferences prefs(target, baud);
  CSerialCom serial(serial_backend, quiet);
  UsbHidLink usb(hid_backend, vendor_id);
  RudDevice device(serial, usb, quiet, prefs);
  device.OnStatus([](const DeviceStatus&) {});
  device.ApplyCommSettings();
  Attempt a;
  a.status = device.EnsureConnected(false);
  if (a.status.ok()) a.modelcode = device.ModelCode();
  device.Link().CloseLink();
  return a;
}

std::string Trimmed(std::string s) {
  while (!s.empty() && s.front() == ' ') s.erase(s.begin());
  return s;
}

}  // namespace

ProbeTarget ProbeTargetOf(const SetupValues& v) {
  ProbeTarget t;
  t.usb = v.usb;
  t.port = ChosenPort(v);
  t.baud = v.comspeed == 0 ? 19200 : 115200;
  return t;
}

std::string NoDeviceAdvice(bool usb) {
  std::string advice =
      "Check that the cable is plugged in at both ends and that the instrument is switched on";
  advice += usb ? "; a KOVA-7100C is reached over its COM port only: turn \"Use USB port\" off "
                  "and choose the port in Setup."
                : "; choose the port the cable is on in Setup (Test Connection tries it), or "
                  "turn \"Use USB port\" on for an instrument on USB.";
  return advice;
}

void ShowDeviceStatusWithAdvice(Prompter& prompter, const DeviceStatus& status) {
  if (status.Silent()) return;
  std::string text = DeviceStatusText(status);
  if (status.code == DeviceCode::kNoDevice) text += "\r\r" + NoDeviceAdvice(status.port == "USB");
  prompter.Message(DeviceStatusCaption(status), text, Buttons::Ok);
}

ProbeOutcome ProbeConnection(const ProbeTarget& target, SerialBackend& serial, HidBackend& hid,
                             uint16_t vendor_id) {
  ProbeOutcome out;
  const std::string where =
      target.usb ? std::string("USB") : SystemNameToCp1252(target.port.empty() ? "?" : target.port);
  std::vector<int> speeds = {target.baud};
  if (!target.usb) speeds.push_back(target.baud == 19200 ? 115200 : 19200);
  std::string tried;
  for (const int baud : speeds) {
    const Attempt a = TryOnce(target, baud, serial, hid, vendor_id);
    if (a.status.ok()) {
      out.found = true;
      out.modelcode = a.modelcode;
      out.baud = target.usb ? 0 : baud;
      const std::string model = Trimmed(ModelDisplayName(a.modelcode));
      out.text = target.usb ? model + " on USB"
                            : Format("%s on %s at %d bit/s", model.c_str(), where.c_str(), baud);
      if (!target.usb && baud != target.baud)
        out.text += Format(": choose %d in Speed (%d bit/s was tried first and nothing answered)",
                           baud, target.baud);
      return out;
    }
    const bool no_answer =
        a.status.code == DeviceCode::kNoDevice && a.status.reason.rfind("no answer", 0) == 0;
    std::string detail =
        a.status.code == DeviceCode::kNoDevice ? a.status.reason : DeviceStatusText(a.status);
    if (!target.usb && a.status.code != DeviceCode::kNoDevice)
      detail = Format("at %d bit/s: %s", baud, detail.c_str());
    if (!target.usb) tried += (tried.empty() ? "" : "; ") + detail;
    // Only silence, or a reply that makes no sense, may be the wrong speed:
    // a port that does not open will not open at another speed either.
    if (!no_answer && a.status.code != DeviceCode::kForeignDevice) break;
  }
  out.text = "No instrument answers on " + where + (tried.empty() ? "" : " (" + tried + ")") +
             ".\r\r" + NoDeviceAdvice(target.usb);
  return out;
}

}  // namespace kova
