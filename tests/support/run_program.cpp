#include "support/run_program.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "support/files.h"
#include "support/record_fixtures.h"

#ifndef KOVA_BINARY_DIR
#define KOVA_BINARY_DIR "."
#endif

namespace kova {
std::string BuiltProgram(const std::string& name) {
  return std::string(KOVA_BINARY_DIR) + "/bin/" + name;
}

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& env, const std::string& stdin_text) {
  static int counter = 0;
  const std::string dir = TempFolder("run" + std::to_string(++counter));
  const std::string in_path = dir + "/in", out_path = dir + "/out", err_path = dir + "/err";
  std::ofstream(in_path, std::ios::binary) << stdin_text;
  ProgramResult result;
  const pid_t pid = fork();
  if (pid < 0) return result;
  if (pid == 0) {
    const int in = open(in_path.c_str(), O_RDONLY);
    const int out = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    for (const std::string& e : env) putenv(const_cast<char*>(e.c_str()));
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  int status = 0;
  if (waitpid(pid, &status, 0) == pid && WIFEXITED(status)) result.exit_code = WEXITSTATUS(status);
  result.out = Slurp(out_path);
  result.err = Slurp(err_path);
  return result;
}

pid_t StartProgram(const std::string& program, const std::vector<std::string>& args,
                   const std::vector<std::string>& env, const std::string& out_path,
                   const std::string& err_path) {
  std::vector<std::string> all = {program};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<std::string> vars = env;
  const pid_t pid = fork();
  if (pid == 0) {
    if (!out_path.empty()) dup2(open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
    if (!err_path.empty()) dup2(open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
    for (std::string& e : vars) putenv(e.data());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  return pid;
}

}  // namespace kova
