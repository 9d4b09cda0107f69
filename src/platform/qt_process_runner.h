#pragma once
// ProcessRunner on QProcess: the program gets its arguments as a list (no
// shell, no length limit of a command line). The wait blocks in short slices
// so the caller's cancel token and the time limit are seen promptly; it runs
// on whatever thread calls it, the desktop's worker included. On Linux the
// program is killed when the thread that started it ends (PR_SET_PDEATHSIG):
// call it on a thread that lives until it returns.

#include "export/process_runner.h"

namespace kova {

class QtProcessRunner : public ProcessRunner {
 public:
  ProcessOutcome Run(const std::string& program, const std::vector<std::string>& args,
                     const ProcessLimits& limits, int& exit_code) override;
};

}  // namespace kova
