// Downloading a 10-test KOVA-7100B/C directory from kova-sim, which paces
// its replies at the line speed, through the program's own serial port code.
// Reported per speed: the wall time against the wire limit (bytes received
// x 10 bits / speed) plus the 200 ms pause before each item, and the CPU time
// this process used.

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QCoreApplication>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <string>
#include <vector>

#include "app/app_link_preferences.h"
#include "app/app_settings.h"
#include "app/batch_transfer.h"
#include "app/quiet_prompter.h"
#include "app/run_session.h"
#include "app/settings_store.h"
#include "cli/device_transfer_sim_process.h"
#include "device/hid_backend.h"
#include "device/rud_device.h"
#include "device/serial_com.h"
#include "device/usb_hid_link.h"
#include "platform/qt_serial_backend.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

// Counts what the program reads from the port.
class CountingSerial : public SerialBackend {
 public:
  explicit CountingSerial(SerialBackend& inner) : inner_(inner) {}
  SerialOpenStatus Open(const std::string& name, int baud, int& error) override {
    return inner_.Open(name, baud, error);
  }
  void Close() override { inner_.Close(); }
  bool IsOpen() const override { return inner_.IsOpen(); }
  long BytesWaiting() override { return inner_.BytesWaiting(); }
  bool Read(uint8_t* dest, size_t count, size_t& got) override {
    const bool ok = inner_.Read(dest, count, got);
    bytes += got;
    return ok;
  }
  bool Write(const uint8_t* data, size_t count, int timeout_ms) override {
    return inner_.Write(data, count, timeout_ms);
  }
  bool PurgeInput() override { return inner_.PurgeInput(); }
  bool WaitReadable(int timeout_ms) override { return inner_.WaitReadable(timeout_ms); }
  bool ListPorts(std::vector<std::string>& names) override { return inner_.ListPorts(names); }
  size_t bytes = 0;

 private:
  SerialBackend& inner_;
};

// Answers the folder question with the bench's folder; counts messages.
class BenchPrompter : public QuietPrompter {
 public:
  std::string folder;
  int messages = 0;
  Answer Message(const std::string&, const std::string& text, Buttons, Icon) override {
    std::fprintf(stderr, "message: %s\n", text.c_str());
    ++messages;
    return Answer::Yes;
  }
  bool ChooseFolder(const std::string&, const std::string&, std::string& f) override {
    f = folder;
    return true;
  }
};

double CpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void BM_DownloadDirectory(benchmark::State& state) {
  const int baud = static_cast<int>(state.range(0));
  const int tests = 10;
  const std::string folder = TempFolder("download-bench-" + std::to_string(baud));
  SimProcess sim(
      KOVA_BINARY_DIR "/bin/kova-sim", folder + "/tty",
      {"--model", "7100B", "--tests", std::to_string(tests), "--baud", std::to_string(baud)});
  if (!sim.ready()) {
    state.SkipWithError("kova-sim did not start");
    return;
  }
  for (auto _ : state) {
    QtSerialBackend qt;
    CountingSerial counting(qt);
    NoHidBackend hid;
    BenchPrompter prompter;
    prompter.folder = folder;
    MemorySettingsStore store;
    AppSettings settings;
    settings.DeviceAutoDetect = 0;
    CAppInfo info;
    info.usbactive = 0;
    info.comportname = sim.link();
    info.baud = baud;
    CSerialCom serial(counting, prompter);
    UsbHidLink usb(hid, 0x2A5F);
    AppLinkPreferences prefs(info, settings, store);
    RudDevice device(serial, usb, prompter, prefs);
    device.ApplyCommSettings();

    const double cpu0 = CpuSeconds();
    const auto t0 = std::chrono::steady_clock::now();
    bool ok = device.GetDirectory(false) && device.entrycount() == tests;
    TransferObserver observer;
    BatchTransfer batch(device, observer);
    std::vector<int> rows;
    for (int i = 0; i < device.entrycount(); ++i) rows.push_back(i);
    std::vector<TransferItem> items;
    ok = ok && MakeDownloadItems(device, "Bench", rows, items);
    for (const TransferItem& item : items) batch.AddItem(item.number, item.name);
    ok = ok && batch.RunTransfers() && batch.written().size() == static_cast<size_t>(tests);
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    const double cpu = CpuSeconds() - cpu0;
    if (!ok || prompter.messages != 0) {
      state.SkipWithError("download failed");
      return;
    }
    state.SetIterationTime(wall);
    const double wire = static_cast<double>(counting.bytes) * 10.0 / baud;
    const double pauses = tests * BatchTransfer::kItemPauseMs / 1000.0;
    state.counters["bytes"] = static_cast<double>(counting.bytes);
    state.counters["wire_s"] = wire;
    state.counters["pauses_s"] = pauses;
    state.counters["wall_s"] = wall;
    state.counters["over_limit_pct"] = 100.0 * (wall - wire - pauses) / (wire + pauses);
    state.counters["cpu_s"] = cpu;
    state.counters["cpu_pct_of_core"] = 100.0 * cpu / wall;
  }
}

BENCHMARK(BM_DownloadDirectory)
    ->Arg(115200)
    ->Arg(19200)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

}  // namespace
}  // namespace kova

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
