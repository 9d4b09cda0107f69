#include "cli/interrupt_cancel.h"

#include <chrono>

namespace kova {
namespace {

volatile std::sig_atomic_t g_signal = 0;
// Guards alive; made and ended on the main thread only.
int g_depth = 0;

// Only a flag: nothing else is safe in a signal handler.
void OnSignal(int sig) { g_signal = sig; }

}  // namespace

InterruptCancels::InterruptCancels(std::function<void()> cancel) : cancel_(std::move(cancel)) {
  if (g_depth++ == 0) g_signal = 0;
  // No SA_RESTART: a blocking read of the terminal returns at once.
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, &old_int_);
  sigaction(SIGTERM, &action, &old_term_);
  if (!cancel_) return;
  watcher_ = std::thread([this] {
    while (!stop_.load()) {
      if (g_signal != 0) {
        cancel_();
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  });
}

InterruptCancels::~InterruptCancels() {
  stop_.store(true);
  if (watcher_.joinable()) watcher_.join();
  sigaction(SIGINT, &old_int_, nullptr);
  sigaction(SIGTERM, &old_term_, nullptr);
  --g_depth;
}

int InterruptCancels::Signal() const { return static_cast<int>(g_signal); }

}  // namespace kova
