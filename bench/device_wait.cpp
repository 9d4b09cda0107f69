// The device link's waiting, over a real pseudo-terminal through the
// QSerialPort backend:
//   BM_SilentWait  - CPU time used while a read waits 3 s for a silent
//                    instrument (counter cpu_pct: percent of one core);
//   BM_LineLatency - time from the instrument's line hitting the wire to
//                    ReadLine returning it (counters mean_us, max_us);
//   BM_AbortToEsc  - time from Cancel() on another thread (the Abort button)
//                    to the ESC byte arriving at the instrument's end
//                    (counters mean_ms, max_ms).

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

#include <QCoreApplication>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "app/quiet_prompter.h"
#include "device/serial_com.h"
#include "platform/qt_serial_backend.h"

namespace {

using namespace kova;
using Clock = std::chrono::steady_clock;

using CountingPrompter = QuietPrompter;

// A raw pseudo-terminal; the bench plays the instrument on the master.
struct Pty {
  int master = -1;
  std::string slave;
  Pty() {
    master = posix_openpt(O_RDWR | O_NOCTTY);
    grantpt(master);
    unlockpt(master);
    slave = ptsname(master);
    const int fd = open(slave.c_str(), O_RDWR | O_NOCTTY);
    termios tio{};
    tcgetattr(fd, &tio);
    cfmakeraw(&tio);
    tcsetattr(fd, TCSANOW, &tio);
    close(fd);
  }
  ~Pty() { close(master); }
};

double ProcessCpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void BM_SilentWait(benchmark::State& state) {
  Pty pty;
  QtSerialBackend backend;
  CountingPrompter prompter;
  CSerialCom serial(backend, prompter);
  serial.portname = pty.slave;
  serial.baud = 19200;
  if (!serial.Open(false)) {
    state.SkipWithError("cannot open the pseudo-terminal");
    return;
  }
  double cpu = 0, wall = 0;
  for (auto _ : state) {
    const double cpu0 = ProcessCpuSeconds();
    const auto t0 = Clock::now();
    uint8_t byte = 0;
    benchmark::DoNotOptimize(serial.ReadExact(&byte, 1, 3000));
    wall += std::chrono::duration<double>(Clock::now() - t0).count();
    cpu += ProcessCpuSeconds() - cpu0;
  }
  state.counters["cpu_pct"] = 100.0 * cpu / wall;
}
BENCHMARK(BM_SilentWait)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LineLatency(benchmark::State& state) {
  Pty pty;
  QtSerialBackend backend;
  CountingPrompter prompter;
  CSerialCom serial(backend, prompter);
  serial.portname = pty.slave;
  serial.baud = 115200;
  if (!serial.Open(false)) {
    state.SkipWithError("cannot open the pseudo-terminal");
    return;
  }
  double total_us = 0, max_us = 0;
  long lines = 0;
  for (auto _ : state) {
    // The line goes out at a random point within the read's wait.
    std::atomic<int64_t> sent_ns{0};
    const int delay_ms = 5 + static_cast<int>(lines * 7 % 31);
    std::thread instrument([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(delay_ms));
      sent_ns = Clock::now().time_since_epoch().count();
      (void)!write(pty.master, "KOVA-7100B\r\n", 12);
    });
    char line[50];
    const bool ok = serial.ReadLine(line, sizeof line, 1000);
    const int64_t done_ns = Clock::now().time_since_epoch().count();
    instrument.join();
    if (!ok) {
      state.SkipWithError("no line");
      break;
    }
    const double us = (done_ns - sent_ns.load()) / 1000.0;
    total_us += us;
    max_us = std::max(max_us, us);
    ++lines;
  }
  state.counters["mean_us"] = lines ? total_us / lines : 0;
  state.counters["max_us"] = max_us;
}
BENCHMARK(BM_LineLatency)->Iterations(50)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_AbortToEsc(benchmark::State& state) {
  Pty pty;
  QtSerialBackend backend;
  CountingPrompter prompter;
  CSerialCom serial(backend, prompter);
  CancelToken token;
  serial.SetCancelToken(&token);
  serial.portname = pty.slave;
  serial.baud = 115200;
  if (!serial.Open(false)) {
    state.SkipWithError("cannot open the pseudo-terminal");
    return;
  }
  double total_ms = 0, max_ms = 0;
  long n = 0;
  for (auto _ : state) {
    token.Reset();
    Clock::time_point pressed;
    std::thread button([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(30 + n * 7 % 23));
      pressed = Clock::now();
      token.Cancel();
    });
    uint8_t byte = 0;
    serial.ReadExact(&byte, 1, 5000);  // the read the Abort ends
    const uint8_t esc = 0x1B;
    serial.Write(&esc, 1);
    button.join();
    uint8_t got = 0;
    while (read(pty.master, &got, 1) == 1 && got != esc) {
    }
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - pressed).count();
    total_ms += ms;
    max_ms = std::max(max_ms, ms);
    ++n;
  }
  serial.SetCancelToken(nullptr);
  state.counters["mean_ms"] = n ? total_ms / n : 0;
  state.counters["max_ms"] = max_ms;
}
BENCHMARK(BM_AbortToEsc)->Iterations(30)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
