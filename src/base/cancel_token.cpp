#include "base/cancel_token.h"

#include <algorithm>

namespace kova {

void CancelToken::Cancel() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    cancelled_.store(true, std::memory_order_release);
  }
  wake_.notify_all();
}

void CancelToken::Reset() {
  std::lock_guard<std::mutex> lock(mutex_);
  cancelled_.store(false, std::memory_order_release);
}

bool CancelToken::WaitFor(uint32_t ms) const {
  std::unique_lock<std::mutex> lock(mutex_);
  return wake_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return IsCancelled(); });
}

uint32_t Deadline::RemainingMs() const {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end_ - Clock::now());
  return left.count() <= 0 ? 0u : static_cast<uint32_t>(left.count());
}

uint32_t Deadline::SliceMs(uint32_t slice_ms) const { return std::min(slice_ms, RemainingMs()); }

}  // namespace kova
