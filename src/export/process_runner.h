#pragma once
// Starts a program with an argument list (never through a shell) and waits
// for it with a real blocking wait: no user-interface pumping. The caller's
// cancel token and a time limit end the wait and kill the program.

#include <cstdint>
#include <string>
#include <vector>

#include "base/cancel_token.h"

namespace kova {

enum class ProcessOutcome {
  kNotStarted,  // the program could not be started
  kExited,      // it ended; the exit code is valid
  kNoExitCode,  // it ended without an exit code (crashed, killed)
  kTimedOut,    // it ran past the time limit and was killed
  kCancelled,   // the caller cancelled; it was killed
};

struct ProcessLimits {
  uint32_t time_limit_ms = 0;           // 0: no limit
  const CancelToken* cancel = nullptr;  // may be null
};

class ProcessRunner {
 public:
  virtual ~ProcessRunner() = default;
  virtual ProcessOutcome Run(const std::string& program, const std::vector<std::string>& args,
                             const ProcessLimits& limits, int& exit_code) = 0;
};

}  // namespace kova
