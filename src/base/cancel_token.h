#pragma once
// The one way to stop long work: the instrument's exchanges, the report
// generator, a library import. Whoever runs the work (a worker thread of the
// desktop, the command-line tool) holds the token; the face that owns the
// Abort button, Escape or SIGINT calls Cancel() from any thread. Every wait
// in the core either checks the token between short blocking waits or sleeps
// on it with WaitFor(), so a cancel is seen within one wait slice.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace kova {

class CancelToken {
 public:
  CancelToken() = default;
  CancelToken(const CancelToken&) = delete;
  CancelToken& operator=(const CancelToken&) = delete;

  // Safe from any thread and from a signal handler's helper thread; wakes
  // every WaitFor() at once.
  void Cancel();
  // Makes the token usable for the next operation.
  void Reset();
  bool IsCancelled() const { return cancelled_.load(std::memory_order_acquire); }

  // Sleeps up to `ms` milliseconds or until Cancel(); true when cancelled.
  bool WaitFor(uint32_t ms) const;

 private:
  std::atomic<bool> cancelled_{false};
  mutable std::mutex mutex_;
  mutable std::condition_variable wake_;
};

// A point in time a wait must not pass: one per request, so a time-out is
// its own outcome and never mistaken for success.
class Deadline {
 public:
  using Clock = std::chrono::steady_clock;
  explicit Deadline(uint32_t ms) : end_(Clock::now() + std::chrono::milliseconds(ms)) {}
  bool Expired() const { return Clock::now() >= end_; }
  // Milliseconds left, 0 once expired.
  uint32_t RemainingMs() const;
  // The next wait slice: at most `slice_ms`, never past the deadline.
  uint32_t SliceMs(uint32_t slice_ms) const;

 private:
  Clock::time_point end_;
};

}  // namespace kova
