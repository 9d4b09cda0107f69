// Any bytes as the instrument's replies to the directory, a test selection,
// a record, a plan and a remote run: the readers must stay inside their
// buffers and capacities, whatever arrives.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/app_link_preferences.h"
#include "app/app_settings.h"
#include "app/batch_transfer.h"
#include "app/quiet_prompter.h"
#include "app/run_session.h"
#include "app/settings_store.h"
#include "device/hid_backend.h"
#include "device/remote_run.h"
#include "device/rud_device.h"
#include "device/serial_backend.h"
#include "device/serial_com.h"
#include "device/usb_hid_link.h"
#include "plans/test_plan.h"

namespace kova {
namespace {

// The fuzz input is everything the instrument says; when it is used up the
// line is gone, so no read waits for a time-out.
class ReplayLine : public SerialBackend {
 public:
  ReplayLine(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  SerialOpenStatus Open(const std::string&, int, int& error) override {
    error = 0;
    return SerialOpenStatus::kOpened;
  }
  void Close() override {}
  bool IsOpen() const override { return true; }
  long BytesWaiting() override { return at_ < size_ ? static_cast<long>(size_ - at_) : -1; }
  bool Read(uint8_t* dest, size_t count, size_t& got) override {
    got = 0;
    while (got < count && at_ < size_) dest[got++] = data_[at_++];
    return true;
  }
  bool Write(const uint8_t*, size_t, int) override { return true; }
  bool PurgeInput() override { return true; }  // the replies stay queued
  bool WaitReadable(int) override { return at_ < size_; }
  bool ListPorts(std::vector<std::string>&) override { return true; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

using OkPrompter = QuietPrompter;

}  // namespace
}  // namespace kova

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kova;
  ReplayLine line(data, size);
  NoHidBackend hid;
  OkPrompter prompter;
  MemorySettingsStore store;
  AppSettings settings;
  settings.DeviceAutoDetect = 0;
  CAppInfo info;
  info.usbactive = 0;
  info.comportname = "replay";
  CSerialCom serial(line, prompter);
  UsbHidLink usb(hid, 0x2A5F);
  AppLinkPreferences prefs(info, settings, store);
  RudDevice device(serial, usb, prompter, prefs);
  device.ApplyCommSettings();

  device.GetDirectory(false);
  if (device.entrycount() < 0 || device.entrycount() > kMaxDirectoryEntries) __builtin_trap();
  for (int i = 0; i < kMaxDirectoryEntries; ++i) {
    if (device.entry(i).company[kDirectoryTextSize - 1] != '\0') __builtin_trap();
  }
  device.LoadTest(7);

  static const std::string folder = "/tmp/kova-fuzz-device-" + std::to_string(getpid());
  TransferObserver observer;
  BatchTransfer batch(device, observer);
  batch.resendmode = true;
  batch.DownloadRecord(1, folder + ".test");
  batch.DownloadPlan(2, folder + ".plan");

  kvTestPlan plan;
  plan.devicetype = device.modelcode();
  plan.numtests = 2;
  RunSession run(device, plan, observer);
  // The cables are connected as soon as the run asks.
  run.pause = [&run](uint32_t) {
    if (run.waiting()) run.Continue();
  };
  run.saveresult = false;
  run.RunTest();
  return 0;
}
