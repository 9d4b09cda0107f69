#pragma once
// Ctrl-C and SIGTERM while a command runs: the one way the command-line tool
// stops its work (an export, a library import, an exchange with the
// instrument). While an InterruptCancels lives the two signals do not end
// the program: the signal is noted, `cancel` is called once from a helper
// thread, and the command unwinds normally, so private folders are removed,
// no half-written file is left and the instrument stays usable.
//
// They nest: a command guards its whole run (its terminal questions
// included) with one, and each long step inside it arms its own `cancel`;
// a signal that came before the step began cancels the step at once.

#include <atomic>
#include <csignal>
#include <functional>
#include <thread>

namespace kova {

class InterruptCancels {
 public:
  // `cancel` is called once, from a helper thread, after SIGINT or SIGTERM;
  // none when empty (the signal is only noted).
  explicit InterruptCancels(std::function<void()> cancel = {});
  ~InterruptCancels();
  InterruptCancels(const InterruptCancels&) = delete;
  InterruptCancels& operator=(const InterruptCancels&) = delete;

  // The signal that arrived since the outermost guard began, 0 when none.
  int Signal() const;
  bool Interrupted() const { return Signal() != 0; }
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
