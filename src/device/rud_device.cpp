#include "device/rud_device.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "base/codepage.h"
#include "base/format.h"
#include "base/prompter.h"

namespace kova {
namespace {

bool LooksLikeIdentification(const char* reply) {
  for (const char* p = reply; *p != '\0'; ++p) {
    if (!std::isxdigit(static_cast<unsigned char>(*p)) && *p != ' ') return true;
  }
  return false;
}

}  // namespace

RudDevice::RudDevice(CSerialCom& serial, UsbHidLink& usb, Prompter& prompter,
                     LinkPreferences& preferences)
    : serial_(serial), usb_(usb), prompter_(prompter), prefs_(preferences) {
  status_listener_ = [this](const DeviceStatus& status) { ShowDeviceStatus(prompter_, status); };
  // The port's own troubles reach the same listener, in order.
  serial_.OnStatus([this](const DeviceStatus& status) { Report(status); });
  serial_.SetCancelToken(&cancel_);
  usb_.SetCancelToken(&cancel_);
}

RudDevice::~RudDevice() {
  serial_.SetCancelToken(nullptr);
  serial_.OnStatus(nullptr);
  usb_.SetCancelToken(nullptr);
}

void RudDevice::OnStatus(DeviceStatusListener listener) { status_listener_ = std::move(listener); }

DeviceStatus RudDevice::Report(const DeviceStatus& status) {
  last_status_ = status;
  if (status.code == DeviceCode::kGone) AnnounceGone();
  if (!status.Silent() && status_listener_) status_listener_(status);
  return status;
}

void RudDevice::UseDirectory(const std::vector<DirectoryEntry>& entries) {
  entrycount_ = static_cast<int>(std::min<size_t>(entries.size(), kMaxDirectoryEntries));
  std::copy(entries.begin(), entries.begin() + entrycount_, directory_);
  std::fill(directory_ + entrycount_, directory_ + kMaxDirectoryEntries, DirectoryEntry());
}

void RudDevice::SetTitleWindow(MainWindowTitle* window) {
  window_ = window;
  have_base_title_ = false;
}

void RudDevice::OnConnected(std::function<void(int modelcode)> listener) {
  connected_ = std::move(listener);
}

void RudDevice::OnDisconnected(std::function<void()> listener) {
  disconnected_ = std::move(listener);
}

void RudDevice::AnnounceGone() {
  if (!announced_) return;
  announced_ = false;
  if (disconnected_) {
    disconnected_();
    return;
  }
  if (window_ != nullptr && have_base_title_) window_->SetTitle(base_title_);
}

void RudDevice::ApplyCommSettings() {
  serial_.Close();
  ForgetModel();
  const SerialPlace place = prefs_.Place();
  serial_.port = place.port;
  serial_.portname = place.name;
  serial_.baud = place.baud;
  serial_.tracefolder = place.tracedir;
}

void RudDevice::CloseLinks() {
  serial_.Close();
  usb_.Close();
  ForgetModel();
  detected_ = 0;
}

bool RudDevice::UsbActive() const { return prefs_.UsbActive(); }

DeviceLink& RudDevice::Link() {
  if (UsbActive()) return usb_;
  return serial_;
}

bool RudDevice::DeviceGone() { return Link().gone(); }

void RudDevice::ForgetModel() {
  model_known_ = false;
  foreign_ = false;
}

bool RudDevice::KnownModel(InstrumentModel& model) const {
  if (!model_known_) return false;
  model = ModelFromCodeOr7100(modelcode_);
  return true;
}

bool RudDevice::SendBytes(const void* bytes, size_t count) {
  DeviceLink& link = Link();
  if (link.Write(bytes, count)) return true;
  // Over USB a write stopped by Abort is no failure to tell about.
  if (UsbActive() && Cancelled()) return false;
  Report(DeviceStatus(DeviceCode::kSendFailed));
  return false;
}

bool RudDevice::ReadDeviceLine(char* buffer, size_t capacity, int timeout_ms) {
  return ReadLinkLine(Link(), buffer, capacity, timeout_ms);
}

bool RudDevice::ReadDeviceLine(std::string& line, size_t capacity, int timeout_ms) {
  std::vector<char> buffer(std::max<size_t>(capacity, 1), '\0');
  const bool ok = ReadDeviceLine(buffer.data(), buffer.size(), timeout_ms);
  line.assign(buffer.data());
  return ok;
}

bool RudDevice::ProbeUsb() {
  uint8_t reply[5];
  return usb_.Open() && usb_.Write("B", 1) && usb_.ReadExact(reply, sizeof reply, kProbeTimeoutMs);
}

bool RudDevice::ProbeSerial(bool report) {
  if (!serial_.Open(report)) return false;
  if (!serial_.Write("B\r", 2)) {
    if (report) Report(DeviceStatus(DeviceCode::kSendFailed));
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
  // A line of hex digits is the rest of a record the instrument is still
  // sending (after an aborted run), not an answer to "W".
  if (!LooksLikeIdentification(reply)) return false;
  identification_ = reply;
  InstrumentModel model = InstrumentModel::k7100;
  foreign_ = !ModelFromIdentification(identification_, model);
  model_known_ = !foreign_;
  // A foreign device keeps the last model; nothing may take it for one.
  if (foreign_) return true;
  modelcode_ = ModelCodeOf(model);
  announced_ = true;
  if (connected_) {
    connected_(modelcode_);
    return true;
  }
  if (!have_base_title_) {
    base_title_ = window_ != nullptr ? window_->GetTitle() : std::string();
    have_base_title_ = true;
  }
  title_ = ConnectedTitle(base_title_, modelcode_);
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
  if (!model_known_) {
    char reply[kIdentifyCapacity];
    Identify(reply, sizeof reply, true);
  }
  return modelcode_;
}

bool RudDevice::Is7100BC() { return ModelCode() == kModel7100BC; }
bool RudDevice::Is7KA() { return ModelCode() == kModel7KA; }
bool RudDevice::IsR5() { return ModelCode() == kModelR5; }

DeviceStatus RudDevice::RefuseForeign(bool report) {
  if (!foreign_) return DeviceStatus::Ok();
  const DeviceStatus foreign = DeviceStatus::With(DeviceCode::kForeignDevice, "", identification_);
  return report ? Report(foreign) : foreign;
}

DeviceStatus RudDevice::EnsureConnected(bool report) {
  // A port whose far end went away stays dead however often it is read:
  // close it, forget where the instrument was, and start again.
  if (Link().gone()) {
    Link().CloseLink();
    ForgetModel();
    detected_ = 0;
    AnnounceGone();
  }
  if (Cancelled()) return DeviceStatus::Cancelled();
  const bool may_search = prefs_.AutoDetect() && detected_ == 0;
  char reply[kIdentifyCapacity];
  // The model of this connection is asked for once, then kept.
  if (Ping(may_search ? false : report)) {
    if (!model_known_) Identify(reply, sizeof reply, false);
    return RefuseForeign(report);
  }
  ForgetModel();
  if (may_search && !Cancelled()) {
    prompter_.RunWaiting("Searching for Device ...\r\rPlease wait.", [this] { return Detect(); });
    // A second probe only when the search may have moved the link; the
    // same probe again would only repeat the port's message.
    if (Ping(report)) {
      if (!model_known_) Identify(reply, sizeof reply, false);
      return RefuseForeign(report);
    }
  }
  // Nothing answers: the next command opens the port afresh and searches
  // again when it may.
  const DeviceStatus unavailable = UnavailableStatus();
  Link().CloseLink();
  detected_ = 0;
  AnnounceGone();
  if (Cancelled()) return DeviceStatus::Cancelled();
  return report ? Report(unavailable) : unavailable;
}

int RudDevice::QuietModelProbe() {
  const auto now = std::chrono::steady_clock::now();
  if (quiet_probe_failed_ &&
      now - quiet_probe_time_ < std::chrono::milliseconds(kQuietProbeRetryMs)) {
    return -1;
  }
  const bool ok = EnsureConnected(false).ok();
  quiet_probe_failed_ = !ok;
  quiet_probe_time_ = now;
  return ok ? ModelCode() : -1;
}

DeviceStatus RudDevice::UnavailableStatus() const {
  if (prefs_.UsbActive()) return DeviceStatus::NoDevice("USB", "no instrument answers");
  const std::string name = serial_.DeviceName();
  if (!serial_.open_problem().empty()) return DeviceStatus::NoDevice(name, serial_.open_problem());
  return DeviceStatus::NoDevice(name, Format("no answer at %d bit/s", serial_.baud));
}

bool RudDevice::SearchSerialPorts() {
  std::vector<std::string> names;
  serial_.EnumeratePorts(names);
  // Names the user configured join the search (a link to a simulated
  // instrument, ports the system does not list).
  for (const std::string& extra : prefs_.ExtraPortNames()) {
    if (std::find(names.begin(), names.end(), extra) == names.end()) names.push_back(extra);
  }
  const int old_port = serial_.port;
  const std::string old_name = serial_.portname;
  for (const std::string& name : names) {
    prompter_.SetWaitingText(
        Format("Searching for Device on %s...\r\rPlease wait.", SystemNameToCp1252(name).c_str()));
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
  ForgetModel();
  if (ProbeUsb()) {
    prefs_.SetUsbActive(true);
  } else if (SearchSerialPorts()) {
    prefs_.SetUsbActive(false);
  } else {
    return false;
  }
  detected_ = 1;
  char reply[kIdentifyCapacity];
  Identify(reply, sizeof reply, false);
  if (std::strstr(reply, "KOVA") != nullptr) {
    SerialPlace where = prefs_.Place();
    where.port = serial_.port;
    where.name = serial_.portname;
    where.baud = serial_.baud;
    prefs_.StoreFound(where, UsbActive());
  } else {
    serial_.Close();
    detected_ = 0;
  }
  return detected_ != 0;
}

bool RudDevice::Reconnect() {
  ForgetModel();
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (UsbActive()) {
      usb_.Close();
      usb_.Open();
    } else {
      serial_.Close();
      serial_.Open(true);
    }
    if (EnsureConnected(false).ok()) return true;
  }
  return false;
}

}  // namespace kova
