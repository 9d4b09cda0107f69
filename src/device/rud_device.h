#pragma once
// RudDevice: the program's one connection to the instrument. It chooses the
// active transport (USB or the serial port, from `usbactive` of the
// preferences), offers the transport-neutral primitives every command uses,
// checks that an instrument answers, identifies its model, and, when the
// user allows it, searches USB and every serial port for the instrument and
// stores where it was found.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/cancel_token.h"
#include "base/instrument_model.h"
#include "device/device_status.h"
#include "device/link_preferences.h"
#include "device/serial_com.h"
#include "device/usb_hid_link.h"

namespace kova {

class Prompter;
class kvTestPlan;

// Instrument model codes (the same numbers as a plan's device type).
constexpr int kModel7100 = ModelCodeOf(InstrumentModel::k7100);
constexpr int kModelR5 = ModelCodeOf(InstrumentModel::kR5);
constexpr int kModel7100BC = ModelCodeOf(InstrumentModel::k7100BC);
constexpr int kModel7KA = ModelCodeOf(InstrumentModel::k7KA);

constexpr int kMaxDirectoryEntries = 150;
constexpr size_t kDirectoryTextSize = 40;
constexpr size_t kIdentifyCapacity = 50;

// One entry of the instrument's test or plan directory; texts are
// NUL-terminated, an entry not mentioned in the reply keeps zero bytes.
struct DirectoryEntry {
  int32_t number = 0;
  char datetime[kDirectoryTextSize] = {};
  int32_t tests = 0;
  char company[kDirectoryTextSize] = {};
  char station[kDirectoryTextSize] = {};
  char circuit[kDirectoryTextSize] = {};
  char mfr[kDirectoryTextSize] = {};
  char model[kDirectoryTextSize] = {};
  char sn[kDirectoryTextSize] = {};
  char kva[kDirectoryTextSize] = {};
  char operator_[kDirectoryTextSize] = {};  // key "OPERATOR"
  char testtype[kDirectoryTextSize] = {};
  char knee[kDirectoryTextSize] = {};
};

// The main window's title as the device link sees it; the GUI implements it.
class MainWindowTitle {
 public:
  virtual ~MainWindowTitle() = default;
  virtual std::string GetTitle() const = 0;
  virtual void SetTitle(const std::string& title) = 0;
};

// Short model names for messages ("7KA", "7100B", "7100 R5", "7100") and the
// display names of the window title (" KOVA-R5", " KOVA-7100B/C", " KOVA-7KA",
// " KOVA-7100"; each begins with a space).
std::string ModelNameOf(int modelcode);
std::string ModelDisplayName(int modelcode);
// The model code an identification reply announces: "R5" gives 1, "7100B" or
// "7100C" gives 2, "-7KA" gives 4, tested in that order (a later match wins);
// none of them gives 0.
int ModelCodeFromIdentification(const std::string& reply);
// The title with the connected model: base, "        [Connected Device: ",
// the display name, "]".
std::string ConnectedTitle(const std::string& base, int modelcode);
// The COM port number of a port name: trailing ':' removed, the text after
// the first three characters read as a decimal number (0 when there is none).
int PortNumberFromName(const std::string& name);

class RudDevice {
 public:
  static constexpr int kProbeTimeoutMs = 1200;

  // The instrument search tells `preferences` where it found the
  // instrument.
  RudDevice(CSerialCom& serial, UsbHidLink& usb, Prompter& prompter, LinkPreferences& preferences);
  virtual ~RudDevice();
  RudDevice(const RudDevice&) = delete;
  RudDevice& operator=(const RudDevice&) = delete;

  // The window whose title shows the connected model (may be null). The
  // device layer only tells it which model answered (see OnConnected); the
  // face decides on which thread the title changes.
  void SetTitleWindow(MainWindowTitle* window);
  // Called with the model code each time an instrument of the family
  // identifies itself. Replaces the default, which sets the title of the
  // window given to SetTitleWindow directly (one thread only).
  void OnConnected(std::function<void(int modelcode)> listener);
  // Called once when an instrument that identified itself is found gone or
  // no longer answers. Replaces the default, which gives the window given to
  // SetTitleWindow its title back without the model.
  void OnDisconnected(std::function<void()> listener);

  // --- outcomes -----------------------------------------------------------
  // Every failure goes to the listener as it happens, in order, and the
  // operation returns it too. A face installs its own listener; until then
  // a status is shown in a box of the prompter given here.
  void OnStatus(DeviceStatusListener listener);
  // Passes `status` to the listener unless it is silent; returns it.
  DeviceStatus Report(const DeviceStatus& status);
  // How the last reported failure, or the last operation, ended.
  const DeviceStatus& last_status() const { return last_status_; }

  // --- cancelling ------------------------------------------------------------
  // The token every read of both transports watches. Cancel() is the Abort
  // button, Escape or Ctrl-C, from any thread; a cancelled token stays so
  // until ResetCancel(), so the whole operation ends, not just one read.
  CancelToken& cancel_token() { return cancel_; }
  void Cancel() { cancel_.Cancel(); }
  void ResetCancel() { cancel_.Reset(); }
  bool Cancelled() const { return cancel_.IsCancelled(); }
  // Closes the serial port and gives it the port, name, speed and trace
  // folder of the preferences; they take effect at the next use.
  void ApplyCommSettings();
  // Lets go of the serial port and USB (another link is to use them); the
  // next command opens them afresh.
  void CloseLinks();

  bool UsbActive() const;
  // The transport in use: the USB link or the serial port.
  DeviceLink& Link();
  // The far end went away during the last exchange (unplugged, port gone).
  bool DeviceGone();

  // --- transport-neutral primitives -------------------------------------
  // True when the active transport took all bytes; "Can't send data to
  // device" otherwise (not over USB after an abort).
  bool SendBytes(const void* bytes, size_t count);
  bool SendText(const std::string& text) { return SendBytes(text.data(), text.size()); }
  // Reads one line (timeout -1: the transport's default); fails at once
  // when the operation is cancelled.
  bool ReadDeviceLine(char* buffer, size_t capacity, int timeout_ms = -1);
  bool ReadDeviceLine(std::string& line, size_t capacity, int timeout_ms = -1);

  // --- presence and identity ---------------------------------------------
  // True when the instrument answered the probe ("B\r" or "B").
  bool Ping(bool report);
  // Sends "W" and reads the identification line (capacity 50) into `reply`;
  // sets `modelcode` and the window title. With `check`, EnsureConnected
  // first.
  bool Identify(char* reply, size_t size, bool check);
  bool Identify(std::string& reply, bool check);
  // The model code. The model is identified once per connection and kept
  // until the link is closed, reopened or searched; the first call (Identify
  // with check) asks the instrument, later ones do not. The last known code
  // when the identification failed.
  int ModelCode();
  // The kept model of this connection; false when none is known (not
  // identified yet, or the device named no model of the family).
  bool KnownModel(InstrumentModel& model) const;
  // The last identification named no KOVA model: a foreign device answers.
  bool ForeignDevice() const { return foreign_; }
  // The last identification line.
  const std::string& IdentificationText() const { return identification_; }
  bool Is7100BC();
  bool Is7KA();
  bool IsR5();
  static std::string ModelName(int modelcode) { return ModelNameOf(modelcode); }

  // True when the instrument answers, after searching for it if allowed, and
  // says it is a KOVA instrument. With `report`, one message says why not.
  // A link that failed (or did not answer) is closed, so the next command
  // opens it afresh and, with Auto Detect, searches again: an instrument
  // unplugged and plugged in again is found without a restart.
  DeviceStatus EnsureConnected(bool report);
  // The model code when an instrument answers, -1 when none does; nothing is
  // shown. After a probe that failed, the next kQuietProbeRetryMs give -1 at
  // once: clicking Edit again and again does not probe again and again.
  static constexpr uint32_t kQuietProbeRetryMs = 5000;
  int QuietModelProbe();
  // "Device not available" with the place and the reason: "(COM3: port
  // busy)", "(/dev/ttyUSB0: no answer at 19200 bit/s)", "(USB: no instrument
  // answers)".
  DeviceStatus UnavailableStatus() const;
  std::string UnavailableText() const { return DeviceStatusText(UnavailableStatus()); }
  // Searches USB, then every serial port; sets `detected`.
  bool Detect();
  // Reopens the active transport and checks the instrument, at most twice.
  bool Reconnect();

  // The title last set (base title and connected model).
  const std::string& TitleText() const { return title_; }

  // --- the command set (device/command_set.cpp) ---------------------------
  // How the last GetDirectory ended. kCutShort is the one failure nothing
  // was shown for (the reply stopped before "DONE").
  enum class DirectoryEnd { kDone, kLimit, kFailed, kCutShort };
  DeviceStatus GetDirectory(bool plans);
  DirectoryEnd lastdirectory() const { return lastdirectory_; }
  DeviceStatus LoadTest(int number);
  DeviceStatus UploadPlan(const kvTestPlan& plan, const char* command);
  // Always true: how it went reaches the status listener
  // (TransferPlanToSlot returns it).
  bool TransferPlan(const kvTestPlan& plan, int slot);
  DeviceStatus ReturnToPanel();

  CSerialCom& serial() { return serial_; }
  UsbHidLink& usb() { return usb_; }
  Prompter& prompter() { return prompter_; }
  LinkPreferences& preferences() { return prefs_; }

  // --- what the instrument told us ----------------------------------------
  // The model code of the last identification (7100 until one arrives).
  int modelcode() const { return modelcode_; }
  // The entries of the last directory read, `entrycount()` of them.
  int entrycount() const { return entrycount_; }
  const DirectoryEntry* directory() const { return directory_; }
  const DirectoryEntry& entry(int index) const { return directory_[index]; }
  // The instrument search found it (cleared when the link failed).
  bool detected() const { return detected_ != 0; }
  // Takes a directory read before (a listing kept by the face, tests).
  void UseDirectory(const std::vector<DirectoryEntry>& entries);

 private:
  bool ProbeUsb();
  bool ProbeSerial(bool report);
  bool SearchSerialPorts();
  void ForgetModel();
  DeviceStatus RefuseForeign(bool report);

  CSerialCom& serial_;
  UsbHidLink& usb_;
  Prompter& prompter_;
  LinkPreferences& prefs_;
  bool model_known_ = false;
  bool foreign_ = false;
  std::string identification_;
  CancelToken cancel_;
  bool quiet_probe_failed_ = false;
  std::chrono::steady_clock::time_point quiet_probe_time_;
  DeviceStatusListener status_listener_;
  DeviceStatus last_status_;
  int modelcode_ = kModel7100;
  int entrycount_ = 0;
  DirectoryEntry directory_[kMaxDirectoryEntries];
  int detected_ = 0;
  DirectoryEnd lastdirectory_ = DirectoryEnd::kFailed;
  MainWindowTitle* window_ = nullptr;
  std::function<void(int)> connected_;
  std::function<void()> disconnected_;
  // An instrument identified itself and has not been found gone since.
  bool announced_ = false;
  void AnnounceGone();
  bool have_base_title_ = false;
  std::string base_title_;
  std::string title_;
};

}  // namespace kova
