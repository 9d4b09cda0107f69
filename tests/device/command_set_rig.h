#pragma once
// Test rigs for the command set, downloads and remote runs: the device link
// (CSerialCom, UsbHidLink, RudDevice) on the simulated instrument in-process,
// or on a scripted serial line that answers each command with given bytes.

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/app_link_preferences.h"
#include "app/app_settings.h"
#include "app/settings_store.h"
#include "device/rud_device.h"
#include "device/serial_backend.h"
#include "device/serial_com.h"
#include "device/transfer_observer.h"
#include "device/usb_hid_link.h"
#include "sim/sim_hid_backend.h"
#include "sim/sim_instrument.h"
#include "sim/sim_serial_backend.h"
#include "support/scripted_prompter.h"

namespace kova {
namespace rig {

constexpr uint16_t kVendor = 0x2A5C;
constexpr const char* kPort = "COM3";

// A serial line whose far end answers from a script: a rule fires when one
// write equals its command (or, for an image rule, when that many hex digits
// have been written in a row) and queues its reply.
class ScriptedSerial : public SerialBackend {
 public:
  // `times` < 0: the rule answers every time.
  void On(const std::string& command, const std::string& reply, int times = -1) {
    rules_.push_back({command, 0, reply, times});
  }
  void OnImage(size_t hex_digits, const std::string& reply) {
    rules_.push_back({std::string(), hex_digits, reply, 1});
  }
  // The usual probe and identification answers.
  void AnswerProbeAndIdentify(const std::string& identification) {
    On("B\r", "ACK\r\n");
    On("W", identification + "\r\n");
  }
  const std::string& written() const { return written_; }
  // Commands written, one entry per write of a command (images excluded).
  const std::vector<std::string>& writes() const { return writes_; }

  SerialOpenStatus Open(const std::string&, int, int& error) override {
    error = 0;
    open_ = true;
    return SerialOpenStatus::kOpened;
  }
  void Close() override { open_ = false; }
  bool IsOpen() const override { return open_; }
  long BytesWaiting() override { return static_cast<long>(input_.size()); }
  bool Read(uint8_t* dest, size_t count, size_t& got) override {
    got = std::min(count, input_.size());
    for (size_t i = 0; i < got; ++i) {
      dest[i] = static_cast<uint8_t>(input_.front());
      input_.pop_front();
    }
    return true;
  }
  bool Write(const uint8_t* data, size_t count, int) override {
    const std::string chunk(reinterpret_cast<const char*>(data), count);
    written_ += chunk;
    const bool hex = std::all_of(chunk.begin(), chunk.end(), [](char c) {
      return std::isxdigit(static_cast<unsigned char>(c)) != 0;
    });
    hex_run_ = hex ? hex_run_ + count : 0;
    if (!hex || count <= 4) writes_.push_back(chunk);
    for (Rule& rule : rules_) {
      if (rule.times == 0) continue;
      const bool match =
          rule.image_digits > 0 ? hex && hex_run_ == rule.image_digits : chunk == rule.command;
      if (!match) continue;
      if (rule.times > 0) --rule.times;
      input_.insert(input_.end(), rule.reply.begin(), rule.reply.end());
      break;
    }
    return true;
  }
  bool PurgeInput() override {
    input_.clear();
    return true;
  }
  bool WaitReadable(int timeout_ms) override {
    if (!input_.empty()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(std::max(timeout_ms, 1)));
    return !input_.empty();
  }
  bool ListPorts(std::vector<std::string>& names) override {
    names.push_back(kPort);
    return true;
  }

 private:
  struct Rule {
    std::string command;
    size_t image_digits;
    std::string reply;
    int times;
  };
  std::vector<Rule> rules_;
  std::deque<char> input_;
  std::string written_;
  std::vector<std::string> writes_;
  size_t hex_run_ = 0;
  bool open_ = false;
};

// Everything the window would show, in order.
class RecordingObserver : public TransferObserver {
 public:
  void SetStatusText(const std::string& text) override { status.push_back(text); }
  void SetLineText(const std::string& text) override { lines.push_back(text); }
  void SetPromptText(const std::string& text) override { prompts.push_back(text); }
  void ShowContinue(bool shown) override { continues.push_back(shown); }
  void SetWaitCursor(bool on) override { cursor.push_back(on); }
  void ItemStarted(size_t index, size_t count, int number, const std::string& name) override {
    started.push_back(std::to_string(index) + "/" + std::to_string(count) + " #" +
                      std::to_string(number) + " " + name);
  }
  void Progress(const TransferProgress& progress) override {
    last_bytes = progress.bytes;
    if (on_bytes) on_bytes(progress.bytes);
  }
  std::vector<std::string> status, lines, prompts, started;
  std::vector<bool> continues, cursor;
  size_t last_bytes = 0;
  std::function<void(size_t)> on_bytes;
};

// The link objects over some backend, settings that never search.
struct LinkBase {
  ScriptedPrompter prompter;
  MemorySettingsStore store;
  AppSettings settings;
  CAppInfo info;

  LinkBase() {
    settings.DeviceAutoDetect = 0;
    info.usbactive = 0;
    info.comportname = kPort;
    info.baud = 115200;
  }
};

// The simulated instrument over the in-process serial port or USB.
struct SimLink : LinkBase {
  SimInstrument instrument;
  SimSerialBackend serial_backend;
  SimHidBackend hid_backend;
  CSerialCom serial{serial_backend, prompter};
  UsbHidLink usb{hid_backend, kVendor};
  AppLinkPreferences prefs{info, settings, store};
  RudDevice device{serial, usb, prompter, prefs};

  explicit SimLink(const SimOptions& options, bool over_usb = false) : instrument(options) {
    serial_backend.AddPort(kPort, &instrument, 115200);
    hid_backend.AddDevice("hid-1", kVendor, 0x8001, &instrument);
    usb.pause = [](uint32_t) {};
    info.usbactive = over_usb ? 1 : 0;
    device.ApplyCommSettings();
  }
  // `act` runs whenever the program waits for the instrument, as the user
  // at the window would act meanwhile.
  void OnWait(std::function<void()> act) {
    serial_backend.on_wait = act;
    hid_backend.on_wait = act;
  }
};

inline SimOptions Options(SimModel model, int tests = 3, int plans = 3) {
  SimOptions o;
  o.model = model;
  o.tests = tests;
  o.plans = plans;
  o.seed = 7;
  return o;
}

// The link over a scripted serial line.
struct ScriptedLink : LinkBase {
  ScriptedSerial line;
  SimHidBackend hid_backend;
  CSerialCom serial{line, prompter};
  UsbHidLink usb{hid_backend, kVendor};
  AppLinkPreferences prefs{info, settings, store};
  RudDevice device{serial, usb, prompter, prefs};

  explicit ScriptedLink(const std::string& identification = "KOVA-7100A CT ANALYZER") {
    line.AnswerProbeAndIdentify(identification);
    device.ApplyCommSettings();
  }
};

inline int Count(const std::vector<std::string>& list, const std::string& item) {
  return static_cast<int>(std::count(list.begin(), list.end(), item));
}

}  // namespace rig
}  // namespace kova
