#pragma once
// A physical model of a multi-ratio current transformer, from which the
// simulated instrument makes its measurements: five secondary terminals on
// one winding (turns from the nameplate ratios), a saturating core, winding
// resistance per turn, and a small ratio error. Every value follows from the
// seed.

#include <cstdint>
#include <string>

namespace kova {

struct KneePoint {
  double volts = 0;
  double amps = 0;
};

class CtModel {
 public:
  // A transformer of a seed: ratio family, core size and material, wire.
  static CtModel FromSeed(uint32_t seed);

  // Turns between the two terminals of a tap (code 1..10; 0 for others).
  int Turns(int tap_code) const;
  // Nameplate ratio of a tap: primary amperes per `SecondaryAmps`.
  int NameplatePrimary(int tap_code) const;
  double SecondaryAmps() const { return secondary_amps_; }

  // The excitation curve of a winding of `turns` turns: RMS current at an
  // RMS voltage, and the current's phase angle against the voltage.
  double ExcitationCurrent(int turns, double volts) const;
  double ExcitationPhase(int turns, double volts) const;
  // Voltage at which the current reaches `amps` (inverse of the curve).
  double VoltageAtCurrent(int turns, double amps) const;

  // Knee points by their definitions: the tangent to the curve at 30 or 45
  // degrees on log-log axes with equal decades (IEEE), and the point where
  // 10 % more voltage needs 50 % more current (IEC).
  KneePoint Knee30(int turns) const;
  KneePoint Knee45(int turns) const;
  KneePoint Knee1050(int turns) const;

  // Winding resistance of a tap at 25 degC, milliohms.
  double WindingResistance(int turns) const;
  // Measured turns ratio of a tap (nameplate primary / secondary, with the
  // transformer's small error).
  double TurnsRatio(int tap_code) const;
  // True when the tap's leads are reversed (phase near 180 degrees).
  bool Reversed(int tap_code) const;

  // Nameplate texts.
  const std::string& Manufacturer() const { return manufacturer_; }
  const std::string& ModelText() const { return model_; }
  const std::string& SerialNumber() const { return serial_; }

 private:
  // Slope of log V over log I at a per-unit flux x (decreasing in x).
  double LogSlope(double x) const;
  // Per-unit flux where the log-log slope equals `slope`.
  double FluxAtSlope(double slope) const;
  double PerUnitCurrent(double x) const;

  int terminal_turns_[5] = {};  // turns from X1 to X1..X5
  double secondary_amps_ = 5.0;
  double volts_per_turn_ = 1.0;  // RMS volts per turn at per-unit flux 1
  double amp_turns_ = 1.0;       // RMS ampere-turns at per-unit flux 1
  double low_exponent_ = 0.6;    // I ~ x^m well below saturation
  double high_exponent_ = 14.0;  // I ~ x^n in saturation
  double milliohm_per_turn_ = 2.0;
  double lead_milliohm_ = 5.0;
  double ratio_error_ = 0.0;  // relative
  int reversed_tap_ = 0;      // tap code wired backwards, 0 none
  std::string manufacturer_, model_, serial_;
};

}  // namespace kova
