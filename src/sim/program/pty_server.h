#pragma once
// Serves a simulated instrument on a pseudo-terminal: the program opens the
// slave side (through a symbolic link at a chosen path) like any serial
// port. POSIX only.

#include <atomic>
#include <string>

#include "sim/sim_instrument.h"

namespace kova {

struct PtyServerOptions {
  std::string link_path;  // symbolic link to the slave, made and removed here
  int baud = 115200;      // the speed the instrument is set to
  bool paced = true;      // replies at the line's byte rate
};

class PtyServer {
 public:
  PtyServer(SimInstrument& instrument, const PtyServerOptions& options);
  ~PtyServer();
  PtyServer(const PtyServer&) = delete;
  PtyServer& operator=(const PtyServer&) = delete;

  // Creates the pseudo-terminal (raw mode) and the link; `error` says why not.
  bool Start(std::string& error);
  // Serves until `stop` becomes true.
  void Run(const std::atomic<bool>& stop);
  const std::string& SlaveName() const { return slave_name_; }

 private:
  int SpeedOfSlave() const;
  SimInstrument& instrument_;
  PtyServerOptions options_;
  int master_ = -1;
  int slave_ = -1;  // held open, so the master never reads end-of-file
  bool linked_ = false;
  std::string slave_name_;
};

}  // namespace kova
