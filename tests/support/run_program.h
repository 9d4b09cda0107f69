#pragma once
// Runs one of the project's programs from the outside, as a user would:
// argument list (no shell), captured stdout and stderr, exit status.

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

// The path of a program of this build ("kova", "kova-sim").
std::string BuiltProgram(const std::string& name);

}  // namespace kova
