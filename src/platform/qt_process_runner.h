#pragma once
// ProcessRunner on QProcess: the program gets its arguments as a list (no
// shell, no length limit of a command line) and is waited for in 20 ms
// slices with the caller's pump between them.

#include "export/process_runner.h"

namespace kova {

class QtProcessRunner : public ProcessRunner {
 public:
  ProcessOutcome Run(const std::string& program, const std::vector<std::string>& args,
                     const std::function<void()>& pump, int& exit_code) override;
};

}  // namespace kova
