#pragma once
// Starts a program with an argument list (never through a shell) and waits
// for it in short slices, calling `pump` between slices so that the user
// interface keeps repainting and answering.

#include <functional>
#include <string>
#include <vector>

namespace kova {

enum class ProcessOutcome {
  kNotStarted,  // the program could not be started
  kExited,      // it ended; the exit code is valid
  kNoExitCode,  // it ended without an exit code (crashed, killed)
};

class ProcessRunner {
 public:
  virtual ~ProcessRunner() = default;
  virtual ProcessOutcome Run(const std::string& program, const std::vector<std::string>& args,
                             const std::function<void()>& pump, int& exit_code) = 0;
};

}  // namespace kova
