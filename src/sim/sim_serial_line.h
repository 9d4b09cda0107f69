#pragma once
// The serial line between the program and a simulated instrument: bytes the
// program writes reach the instrument at once; the instrument's reply
// arrives paced at the line's byte rate (10 bits per byte), or at once when
// pacing is off. The speed the instrument listens at matters: bytes written
// at another speed reach it as garbage. Used in-process by SimSerialBackend
// and over a pseudo-terminal by kova-sim.

#include <cstddef>
#include <cstdint>
#include <deque>

#include "sim/sim_instrument.h"

namespace kova {

class SimSerialLine {
 public:
  // `instrument_baud`: the speed the instrument is set to.
  SimSerialLine(SimInstrument& instrument, int instrument_baud, bool paced);

  // The program's side opened the line at `baud`.
  void SetProgramBaud(int baud) { program_baud_ = baud; }
  // Bytes from the program at `now_ms`.
  void Write(const uint8_t* data, size_t count, uint32_t now_ms);
  // Moves the instrument's output onto the line up to `now_ms`.
  void Advance(uint32_t now_ms);
  // Bytes that have arrived at the program's side by `now_ms`.
  size_t Arrived(uint32_t now_ms);
  size_t Read(uint8_t* dest, size_t max, uint32_t now_ms);
  // Throws away what has arrived (what is still on the wire keeps coming).
  void PurgeArrived(uint32_t now_ms);
  // Milliseconds until something more may arrive (-1: nothing expected).
  int64_t MsUntilNext(uint32_t now_ms) const;

  SimInstrument& instrument() { return instrument_; }

 private:
  struct Byte {
    uint8_t value;
    double arrives_at;
  };
  double ByteTimeMs() const;
  // Milliseconds on the line's own clock, which does not wrap with the
  // 32-bit tick count.
  double LineTime(uint32_t now_ms) const;

  SimInstrument& instrument_;
  int instrument_baud_;
  int program_baud_;
  bool paced_;
  std::deque<Byte> wire_;
  size_t arrived_ = 0;       // bytes at the front of the wire known to have arrived
  double wire_free_at_ = 0;  // when the line can start the next byte
  mutable bool clock_started_ = false;
  mutable uint32_t last_tick_ = 0;
  mutable double line_time_ = 0;
};

}  // namespace kova
