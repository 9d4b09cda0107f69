#include "sim/sim_serial_line.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace kova {
namespace {

// What a byte sent at the wrong speed looks like at the far end.
uint8_t Mangled(uint8_t b) { return static_cast<uint8_t>(0xF0 | (b & 0x0F)); }

}  // namespace

SimSerialLine::SimSerialLine(SimInstrument& instrument, int instrument_baud, bool paced)
    : instrument_(instrument),
      instrument_baud_(instrument_baud),
      program_baud_(instrument_baud),
      paced_(paced) {}

double SimSerialLine::ByteTimeMs() const {
  return instrument_baud_ > 0 ? 10000.0 / instrument_baud_ : 0.0;
}

double SimSerialLine::LineTime(uint32_t now_ms) const {
  if (!clock_started_) {
    clock_started_ = true;
    last_tick_ = now_ms;
  }
  line_time_ += static_cast<uint32_t>(now_ms - last_tick_);
  last_tick_ = now_ms;
  return line_time_;
}

void SimSerialLine::Write(const uint8_t* data, size_t count, uint32_t now_ms) {
  if (program_baud_ == instrument_baud_) {
    instrument_.Receive(data, count, now_ms);
  } else {
    std::vector<uint8_t> garbage(data, data + count);
    for (uint8_t& b : garbage) b = Mangled(b);
    instrument_.Receive(garbage.data(), garbage.size(), now_ms);
  }
  Advance(now_ms);
}

void SimSerialLine::Advance(uint32_t now_ms) {
  instrument_.Advance(now_ms);
  const double now = LineTime(now_ms);
  const bool mangle = program_baud_ != instrument_baud_;
  uint8_t chunk[256];
  for (size_t n; (n = instrument_.TakeOutput(chunk, sizeof chunk)) > 0;) {
    for (size_t i = 0; i < n; ++i) {
      double at = now;
      if (paced_) {
        at = std::max(wire_free_at_, now) + ByteTimeMs();
        wire_free_at_ = at;
      }
      wire_.push_back(Byte{mangle ? Mangled(chunk[i]) : chunk[i], at});
    }
  }
}

size_t SimSerialLine::Arrived(uint32_t now_ms) {
  Advance(now_ms);
  const double now = LineTime(now_ms);
  // Arrival times never decrease along the wire, so the count only grows
  // until bytes are taken off the front.
  while (arrived_ < wire_.size() && wire_[arrived_].arrives_at <= now) ++arrived_;
  return arrived_;
}

size_t SimSerialLine::Read(uint8_t* dest, size_t max, uint32_t now_ms) {
  const size_t n = std::min(max, Arrived(now_ms));
  for (size_t i = 0; i < n; ++i) {
    dest[i] = wire_.front().value;
    wire_.pop_front();
  }
  arrived_ -= n;
  return n;
}

void SimSerialLine::PurgeArrived(uint32_t now_ms) {
  const size_t n = Arrived(now_ms);
  wire_.erase(wire_.begin(), wire_.begin() + static_cast<std::ptrdiff_t>(n));
  arrived_ = 0;
}

int64_t SimSerialLine::MsUntilNext(uint32_t now_ms) const {
  int64_t next = -1;
  if (!wire_.empty()) {
    const double wait = wire_.front().arrives_at - LineTime(now_ms);
    next = wait <= 0 ? 0 : static_cast<int64_t>(std::ceil(wait));
  }
  const int64_t step = instrument_.NextStepAt();
  if (step >= 0) {
    const int32_t wait = static_cast<int32_t>(static_cast<uint32_t>(step) - now_ms);
    const int64_t ms = wait < 0 ? 0 : wait;
    next = next < 0 ? ms : std::min(next, ms);
  }
  return next;
}

}  // namespace kova
