#pragma once
// kova-sim started in the background on a pseudo-terminal for as long as the
// object lives: the program under test opens the link path like a serial
// port. POSIX only.

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif

#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace kova {

class SimProcess {
 public:
  // `program`: the kova-sim executable; `link`: where the pseudo-terminal's
  // link goes; `args`: the simulator's options besides --pty-link.
  SimProcess(const std::string& program, const std::string& link,
             const std::vector<std::string>& args)
      : link_(link) {
    unlink(link.c_str());
    [[maybe_unused]] const pid_t parent = getpid();
    pid_ = fork();
    if (pid_ == 0) {
#ifdef __linux__
      // A test process that dies without its destructors (a sanitizer
      // report, a crash) takes the simulator with it: an orphan would hold
      // the test's output open and keep ctest waiting for ever.
      prctl(PR_SET_PDEATHSIG, SIGKILL);
      if (getppid() != parent) _exit(127);
#endif
      const int null = open("/dev/null", O_WRONLY);
      if (null >= 0) dup2(null, 1);
      std::vector<std::string> all = args;
      all.push_back("--pty-link");
      all.push_back(link);
      std::vector<char*> argv;
      argv.push_back(const_cast<char*>(program.c_str()));
      for (std::string& a : all) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      execv(program.c_str(), argv.data());
      _exit(127);
    }
    // The link appears once the pseudo-terminal is ready.
    for (int i = 0; i < 500 && pid_ > 0; ++i) {
      struct stat st {};
      if (lstat(link.c_str(), &st) == 0) {
        ready_ = true;
        break;
      }
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  // Asks the simulator to stop, and kills it when it has not within two
  // seconds: a test never waits for ever on its simulator.
  ~SimProcess() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    int status = 0;
    for (int i = 0; i < 200; ++i) {
      if (waitpid(pid_, &status, WNOHANG) != 0) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid_, SIGKILL);
    waitpid(pid_, &status, 0);
  }
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  bool ready() const { return ready_; }
  const std::string& link() const { return link_; }

 private:
  std::string link_;
  pid_t pid_ = -1;
  bool ready_ = false;
};

}  // namespace kova
