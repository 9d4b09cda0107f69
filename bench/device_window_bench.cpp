// The desktop's transfer window while kova-sim sends 10 tests at 115200
// bit/s: the longest time the window's thread goes without processing a
// paint event (something asks for one every 16 ms, as an animation would),
// and how long a click on Abort waits before it is handled and before the
// window has closed. The instrument work runs on a worker; these figures say
// whether the window stays live meanwhile.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QMetaObject>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/app_link_preferences.h"
#include "app/app_settings.h"
#include "app/batch_transfer.h"
#include "app/quiet_prompter.h"
#include "app/settings_store.h"
#include "base/file_io.h"
#include "cli/device_transfer_sim_process.h"
#include "device/hid_backend.h"
#include "device/rud_device.h"
#include "device/serial_com.h"
#include "device/usb_hid_link.h"
#include "gui/device/transfer_dialog.h"
#include "platform/qt_serial_backend.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

constexpr int kTests = 10;
constexpr int kBaud = 115200;

class BenchPrompter : public QuietPrompter {
 public:
  std::string folder;
  Answer Message(const std::string&, const std::string& text, Buttons, Icon) override {
    std::fprintf(stderr, "message: %s\n", text.c_str());
    return Answer::Yes;
  }
  bool ChooseFolder(const std::string&, const std::string&, std::string& f) override {
    f = folder;
    return true;
  }
};

// Times between processed paint events of the progress bar.
struct PaintClock : QObject {
  QElapsedTimer clock;
  qint64 last = -1, longest = 0;
  int paints = 0;
  bool eventFilter(QObject* o, QEvent* e) override {
    if (e->type() == QEvent::Paint && qobject_cast<QProgressBar*>(o) != nullptr) {
      const qint64 now = clock.elapsed();
      if (last >= 0) longest = std::max(longest, now - last);
      last = now;
      ++paints;
    }
    return false;
  }
};

// The program's device link to a running simulator.
struct Link {
  QtSerialBackend qt;
  NoHidBackend hid;
  BenchPrompter prompter;
  MemorySettingsStore store;
  AppSettings settings;
  CAppInfo info;
  CSerialCom serial{qt, prompter};
  UsbHidLink usb{hid, 0x2A5F};
  AppLinkPreferences prefs{info, settings, store};
  RudDevice device{serial, usb, prompter, prefs};

  Link(const std::string& port, const std::string& folder) {
    settings.DeviceAutoDetect = 0;
    info.usbactive = 0;
    info.comportname = port;
    info.baud = kBaud;
    prompter.folder = folder;
    device.ApplyCommSettings();
  }
  // Every stored test into the batch; false when the directory did not come.
  bool Fill(BatchTransfer& batch) {
    if (!device.GetDirectory(false) || device.entrycount() != kTests) return false;
    std::vector<int> rows;
    for (int i = 0; i < device.entrycount(); ++i) rows.push_back(i);
    std::vector<TransferItem> items;
    if (!MakeDownloadItems(device, "Bench", rows, items)) return false;
    for (const TransferItem& item : items) batch.AddItem(item.number, item.name);
    return true;
  }
};

// kova-sim with 10 tests on a pseudo-terminal in `folder`, paced at 115200.
std::unique_ptr<SimProcess> StartSim(benchmark::State& state, const std::string& folder) {
  auto sim = std::make_unique<SimProcess>(
      KOVA_BINARY_DIR "/bin/kova-sim", folder + "/tty",
      std::vector<std::string>{"--model", "7100B", "--tests", std::to_string(kTests), "--baud",
                               std::to_string(kBaud)});
  if (sim->ready()) return sim;
  state.SkipWithError("kova-sim did not start");
  return nullptr;
}

// One round: the link, the transfer window and a batch of every stored test
// into a folder of its own.
struct Round {
  Link link;
  TransferDialog transfer{nullptr};
  BatchTransfer batch{link.device, transfer};
  bool ready = false;

  Round(const SimProcess& sim, const std::string& out) : link(sim.link(), out) {
    MakeFolders(out);
    ready = link.Fill(batch);
    // Opened on this thread for the directory; the batch's worker opens it
    // afresh (a port belongs to the thread that opened it).
    link.serial.Close();
    if (ready) transfer.BindBatch(batch, false);
  }
};

void BM_PaintGapDuringDownload(benchmark::State& state) {
  const std::string folder = TempFolder("window-bench-paint");
  const std::unique_ptr<SimProcess> sim = StartSim(state, folder);
  if (sim == nullptr) return;
  int round = 0;
  for (auto _ : state) {
    Round r(*sim, folder + "/out" + std::to_string(round++));
    if (!r.ready) {
      state.SkipWithError("no directory");
      return;
    }
    TransferDialog& transfer = r.transfer;
    BatchTransfer& batch = r.batch;
    PaintClock paint;
    paint.clock.start();
    qApp->installEventFilter(&paint);
    QTimer frames;
    QObject::connect(&frames, &QTimer::timeout, [&] { transfer.ProgressBar()->update(); });
    frames.start(16);
    const auto t0 = std::chrono::steady_clock::now();
    const int result = transfer.Run();
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    frames.stop();
    qApp->removeEventFilter(&paint);
    if (result != QDialog::Accepted || batch.written().size() != static_cast<size_t>(kTests)) {
      std::fprintf(stderr, "result %d, %zu written\n", result, batch.written().size());
      state.SkipWithError("download failed");
      return;
    }
    state.SetIterationTime(wall);
    state.counters["longest_paint_gap_ms"] = static_cast<double>(paint.longest);
    state.counters["paints"] = paint.paints;
  }
}
BENCHMARK(BM_PaintGapDuringDownload)->UseManualTime()->Iterations(2)->Unit(benchmark::kSecond);

// A click on Abort posted from another thread (as the window system would
// deliver it) during the third test: the time until the window's thread
// handles it, and until the transfer window has closed.
void BM_AbortClickLatency(benchmark::State& state) {
  const std::string folder = TempFolder("window-bench-abort");
  const std::unique_ptr<SimProcess> sim = StartSim(state, folder);
  if (sim == nullptr) return;
  int round = 0;
  double worst_click = 0, worst_close = 0;
  for (auto _ : state) {
    // The instrument finishes sending the record the last round left.
    if (round > 0) std::this_thread::sleep_for(std::chrono::seconds(3));
    Round r(*sim, folder + "/out" + std::to_string(round++));
    if (!r.ready) {
      state.SkipWithError("no directory");
      return;
    }
    TransferDialog& transfer = r.transfer;
    BatchTransfer& batch = r.batch;
    using Clock = std::chrono::steady_clock;
    std::atomic<bool> third{false};
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
      if (transfer.ProgressText().contains("(3 of")) third = true;
    });
    watch.start(5);
    Clock::time_point posted, handled;
    std::thread user([&] {
      while (!third) std::this_thread::sleep_for(std::chrono::milliseconds(5));
      std::this_thread::sleep_for(std::chrono::milliseconds(300));  // well inside the record
      posted = Clock::now();
      QMetaObject::invokeMethod(
          transfer.AbortButton(),
          [&] {
            handled = Clock::now();
            transfer.AbortButton()->click();
          },
          Qt::QueuedConnection);
    });
    transfer.Run();
    const Clock::time_point closed = Clock::now();
    user.join();
    watch.stop();
    if (!batch.aborted()) {
      state.SkipWithError("the batch was not aborted");
      return;
    }
    const double click_ms = std::chrono::duration<double, std::milli>(handled - posted).count();
    const double close_ms = std::chrono::duration<double, std::milli>(closed - posted).count();
    worst_click = std::max(worst_click, click_ms);
    worst_close = std::max(worst_close, close_ms);
    state.SetIterationTime(close_ms / 1000.0);
  }
  state.counters["click_handled_max_ms"] = worst_click;
  state.counters["window_closed_max_ms"] = worst_close;
}
BENCHMARK(BM_AbortClickLatency)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kova

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
