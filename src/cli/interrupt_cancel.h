#pragma once
// Ctrl-C and SIGTERM during an export: the running work is cancelled (the
// report generator is killed) and the command unwinds normally, so its
// private folder of intermediate files is removed on the way out.

#include <atomic>
#include <csignal>
#include <functional>
#include <thread>

namespace kova {

class InterruptCancels {
 public:
  // `cancel` is called once, from a helper thread, after SIGINT or SIGTERM.
  explicit InterruptCancels(std::function<void()> cancel);
  ~InterruptCancels();
  InterruptCancels(const InterruptCancels&) = delete;
  InterruptCancels& operator=(const InterruptCancels&) = delete;

  // The signal that arrived, 0 when none.
  int Signal() const;
  // 128 + the signal, as a shell reports a program ended by it; 0 when none.
  int ExitCode() const { return Signal() != 0 ? 128 + Signal() : 0; }

 private:
  std::function<void()> cancel_;
  std::atomic<bool> stop_{false};
  std::thread watcher_;
  struct sigaction old_int_ {};
  struct sigaction old_term_ {};
};

}  // namespace kova
