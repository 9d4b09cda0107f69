#pragma once
// The simulated instrument plugged into CSerialCom in-process: a set of
// named serial ports, each with an instrument on it, nothing on it, or bytes
// a test scripts. Records what the program did with the ports.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "device/serial_backend.h"
#include "sim/sim_serial_line.h"

namespace kova {

class SimSerialBackend : public SerialBackend {
 public:
  // `clock`: a steady millisecond clock (TickCountMs when null).
  using Clock = uint32_t (*)();
  explicit SimSerialBackend(Clock clock = nullptr);
  ~SimSerialBackend() override;

  // A port with `instrument` on it (null: the port exists, nothing answers).
  // `listed`: the port appears in ListPorts. The instrument listens at
  // `instrument_baud`; `paced` sends its reply at the line's byte rate.
  void AddPort(const std::string& name, SimInstrument* instrument, int instrument_baud = 0,
               bool listed = true, bool paced = false);
  // Bytes that arrive on a port `delay_ms` after this call, for scripted
  // replies.
  void Inject(const std::string& name, const std::string& bytes, uint32_t delay_ms = 0);
  // The next `count` opens of any port fail with a system error code.
  void FailOpens(int count, int error = 2);
  // The driver refuses the line settings of the next `count` opens.
  void RefuseSettings(int count) { refuse_settings_ = count; }
  // The device on the open port vanishes: reads fail from now on.
  void Vanish() { vanished_ = true; }

  // What happened.
  const std::vector<std::string>& OpenLog() const { return open_log_; }
  const std::vector<int>& OpenBauds() const { return open_bauds_; }
  std::string Written(const std::string& name) const;
  int Purges() const { return purges_; }
  int WaitCalls() const { return wait_calls_; }
  // Called at the start of every wait for bytes: lets a test act as the
  // user would while the program waits (press Abort, for instance).
  std::function<void()> on_wait;
  int LongestWaitMs() const { return longest_wait_; }
  const std::string& OpenPort() const { return open_name_; }

  // SerialBackend
  SerialOpenStatus Open(const std::string& name, int baud, int& error) override;
  void Close() override;
  bool IsOpen() const override { return !open_name_.empty(); }
  long BytesWaiting() override;
  bool Read(uint8_t* dest, size_t count, size_t& got) override;
  bool Write(const uint8_t* data, size_t count, int timeout_ms) override;
  bool PurgeInput() override;
  bool WaitReadable(int timeout_ms) override;
  bool ListPorts(std::vector<std::string>& names) override;

 private:
  struct Port;
  Port* Find(const std::string& name);
  Port* Current();
  uint32_t Now() const;
  void Settle(Port& port, uint32_t now);

  Clock clock_;
  std::vector<std::unique_ptr<Port>> ports_;
  std::string open_name_;
  std::vector<std::string> open_log_;
  std::vector<int> open_bauds_;
  int fail_opens_ = 0;
  int fail_error_ = 2;
  int refuse_settings_ = 0;
  bool vanished_ = false;
  int purges_ = 0;
  int wait_calls_ = 0;
  int longest_wait_ = 0;
};

}  // namespace kova
