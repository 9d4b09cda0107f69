#pragma once
// The millisecond stopwatch of every time-out and pause of the device link.
// Times come from a steady clock; the counter is 32-bit and elapsed time is
// computed in unsigned arithmetic, so a wrap does no harm.

#include <cstdint>

namespace kova {

// Milliseconds of the steady clock, truncated to 32 bits.
uint32_t TickCountMs();

class CTimer {
 public:
  using Clock = uint32_t (*)();
  explicit CTimer(Clock clock = &TickCountMs) : clock_(clock) {}
  virtual ~CTimer() = default;

  // Stores the current tick and the duration. A latched expiry stays latched.
  void Start(uint32_t duration_ms);
  // True once more than the duration has passed since Start; latches.
  bool Expired();
  // Milliseconds left before expiry (0 once expired).
  uint32_t RemainingMs();
  uint32_t ElapsedMs() const;

 private:
  Clock clock_;
  uint32_t start_ = 0;
  uint32_t duration_ = 0;
  int32_t expired_ = 0;
};

}  // namespace kova
