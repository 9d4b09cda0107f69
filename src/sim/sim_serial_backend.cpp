#include "sim/sim_serial_backend.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "base/timer.h"

namespace kova {

struct SimSerialBackend::Port {
  std::string name;
  SimInstrument* instrument = nullptr;
  bool listed = true;
  std::unique_ptr<SimSerialLine> line;
  struct Injected {
    uint32_t at;
    uint8_t value;
  };
  std::deque<Injected> injected;
  std::string written;
};

SimSerialBackend::SimSerialBackend(Clock clock) : clock_(clock != nullptr ? clock : &TickCountMs) {}

SimSerialBackend::~SimSerialBackend() = default;

uint32_t SimSerialBackend::Now() const { return clock_(); }

void SimSerialBackend::AddPort(const std::string& name, SimInstrument* instrument,
                               int instrument_baud, bool listed, bool paced) {
  auto port = std::make_unique<Port>();
  port->name = name;
  port->instrument = instrument;
  port->listed = listed;
  if (instrument != nullptr) {
    port->line = std::make_unique<SimSerialLine>(*instrument, instrument_baud, paced);
  }
  ports_.push_back(std::move(port));
}

void SimSerialBackend::Inject(const std::string& name, const std::string& bytes,
                              uint32_t delay_ms) {
  Port* port = Find(name);
  if (port == nullptr) return;
  const uint32_t at = Now() + delay_ms;
  for (char c : bytes) port->injected.push_back({at, static_cast<uint8_t>(c)});
}

void SimSerialBackend::FailOpens(int count, int error) {
  fail_opens_ = count;
  fail_error_ = error;
}

std::string SimSerialBackend::Written(const std::string& name) const {
  for (const auto& port : ports_) {
    if (port->name == name) return port->written;
  }
  return std::string();
}

SimSerialBackend::Port* SimSerialBackend::Find(const std::string& name) {
  for (auto& port : ports_) {
    if (port->name == name) return port.get();
  }
  return nullptr;
}

SimSerialBackend::Port* SimSerialBackend::Current() {
  return open_name_.empty() ? nullptr : Find(open_name_);
}

SerialOpenStatus SimSerialBackend::Open(const std::string& name, int baud, int& error) {
  open_log_.push_back(name);
  open_bauds_.push_back(baud);
  error = 0;
  if (fail_opens_ > 0) {
    --fail_opens_;
    error = fail_error_;
    return SerialOpenStatus::kCannotOpen;
  }
  Port* port = Find(name);
  if (port == nullptr) {
    error = 2;  // no such device
    return SerialOpenStatus::kCannotOpen;
  }
  if (!open_name_.empty()) {
    error = 16;  // busy: one port at a time
    return SerialOpenStatus::kCannotOpen;
  }
  open_name_ = name;
  vanished_ = false;
  if (baud <= 0) return SerialOpenStatus::kBadSettings;
  if (refuse_settings_ > 0) {
    --refuse_settings_;
    return SerialOpenStatus::kSettingsRefused;
  }
  if (port->line) port->line->SetProgramBaud(baud);
  return SerialOpenStatus::kOpened;
}

void SimSerialBackend::Close() { open_name_.clear(); }

void SimSerialBackend::Settle(Port& port, uint32_t now) {
  if (port.line) port.line->Advance(now);
}

long SimSerialBackend::BytesWaiting() {
  Port* port = Current();
  if (port == nullptr || vanished_) return -1;
  const uint32_t now = Now();
  size_t n = 0;
  for (const auto& b : port->injected) {
    if (static_cast<int32_t>(now - b.at) < 0) break;
    ++n;
  }
  if (port->line) n += port->line->Arrived(now);
  return static_cast<long>(n);
}

bool SimSerialBackend::Read(uint8_t* dest, size_t count, size_t& got) {
  got = 0;
  Port* port = Current();
  if (port == nullptr || vanished_) return false;
  const uint32_t now = Now();
  while (got < count && !port->injected.empty() &&
         static_cast<int32_t>(now - port->injected.front().at) >= 0) {
    dest[got++] = port->injected.front().value;
    port->injected.pop_front();
  }
  if (port->line && got < count) got += port->line->Read(dest + got, count - got, now);
  return true;
}

bool SimSerialBackend::Write(const uint8_t* data, size_t count, int timeout_ms) {
  (void)timeout_ms;
  Port* port = Current();
  if (port == nullptr || vanished_) return false;
  port->written.append(reinterpret_cast<const char*>(data), count);
  if (port->line) port->line->Write(data, count, Now());
  return true;
}

bool SimSerialBackend::PurgeInput() {
  Port* port = Current();
  if (port == nullptr) return false;
  ++purges_;
  const uint32_t now = Now();
  while (!port->injected.empty() && static_cast<int32_t>(now - port->injected.front().at) >= 0) {
    port->injected.pop_front();
  }
  if (port->line) port->line->PurgeArrived(now);
  return true;
}

bool SimSerialBackend::WaitReadable(int timeout_ms) {
  ++wait_calls_;
  if (on_wait) on_wait();
  longest_wait_ = std::max(longest_wait_, timeout_ms);
  Port* port = Current();
  if (port == nullptr) return false;
  CTimer timer;
  timer.Start(static_cast<uint32_t>(std::max(timeout_ms, 0)));
  for (;;) {
    const long waiting = BytesWaiting();
    if (waiting != 0) return waiting > 0;
    if (timer.Expired()) return false;
    // Sleep until the next byte or instrument step is due, within the wait.
    const uint32_t now = Now();
    int64_t next = port->line ? port->line->MsUntilNext(now) : -1;
    if (!port->injected.empty()) {
      const int32_t due = static_cast<int32_t>(port->injected.front().at - now);
      const int64_t ms = due < 0 ? 0 : due;
      next = next < 0 ? ms : std::min(next, ms);
    }
    int64_t sleep = std::max<int64_t>(timer.RemainingMs(), 1);
    if (next >= 0) sleep = std::min<int64_t>(sleep, std::max<int64_t>(next, 1));
    std::this_thread::sleep_for(std::chrono::milliseconds(sleep));
  }
}

bool SimSerialBackend::ListPorts(std::vector<std::string>& names) {
  for (const auto& port : ports_) {
    if (port->listed) names.push_back(port->name);
  }
  return true;
}

}  // namespace kova
