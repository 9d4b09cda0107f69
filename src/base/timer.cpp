#include "base/timer.h"

#include <chrono>

namespace kova {

uint32_t TickCountMs() {
  using namespace std::chrono;
  return static_cast<uint32_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void CTimer::Start(uint32_t duration_ms) {
  start_ = clock_();
  duration_ = duration_ms;
}

uint32_t CTimer::ElapsedMs() const { return clock_() - start_; }

bool CTimer::Expired() {
  if (expired_) return true;
  if (ElapsedMs() > duration_) expired_ = 1;
  return expired_ != 0;
}

uint32_t CTimer::RemainingMs() {
  if (Expired()) return 0;
  const uint32_t elapsed = ElapsedMs();
  return elapsed >= duration_ ? 0 : duration_ - elapsed;
}

}  // namespace kova
