#pragma once
// Runs one of the project's programs from the outside, as a user would:
// argument list (no shell), captured stdout and stderr, exit status.

#include <sys/types.h>

#include <string>
#include <vector>

namespace kova {

struct ProgramResult {
  int exit_code = -1;  // -1 when it could not run or was killed
  std::string out;
  std::string err;
};

// `program` is a path; `env` holds extra "NAME=value" entries.
ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& env = {},
                         const std::string& stdin_text = "");

// Starts `program` in the background (to be signalled and waited for with
// waitpid): its stdout into `out_path` and stderr into `err_path`, each kept
// as this process's own when empty. The process id, or -1.
pid_t StartProgram(const std::string& program, const std::vector<std::string>& args,
                   const std::vector<std::string>& env, const std::string& out_path,
                   const std::string& err_path);

// The path of a program of this build ("kova", "kova-sim").
std::string BuiltProgram(const std::string& name);

}  // namespace kova
