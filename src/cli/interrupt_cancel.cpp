#include "cli/interrupt_cancel.h"

#include <chrono>

namespace kova {
namespace {

volatile std::sig_atomic_t g_signal = 0;

// Only a flag: nothing else is safe in a signal handler.
void OnSignal(int sig) { g_signal = sig; }

}  // namespace

InterruptCancels::InterruptCancels(std::function<void()> cancel) : cancel_(std::move(cancel)) {
  g_signal = 0;
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, &old_int_);
  sigaction(SIGTERM, &action, &old_term_);
  watcher_ = std::thread([this] {
    while (!stop_.load()) {
      if (g_signal != 0) {
        if (cancel_) cancel_();
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  });
}

InterruptCancels::~InterruptCancels() {
  stop_.store(true);
  watcher_.join();
  sigaction(SIGINT, &old_int_, nullptr);
  sigaction(SIGTERM, &old_term_, nullptr);
}

int InterruptCancels::Signal() const { return static_cast<int>(g_signal); }

}  // namespace kova
