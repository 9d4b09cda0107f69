#include "sim/ct_model.h"

#include <cmath>

#include "base/format.h"
#include "sim/sim_random.h"

namespace kova {
namespace {

// Terminal positions of multi-ratio families, in turns from X1 for a 5 A
// secondary: the ten taps then have the family's standard ratios.
struct RatioFamily {
  int full_primary;
  int positions[5];
};
constexpr RatioFamily kFamilies[] = {
    {600, {0, 20, 30, 80, 120}},     // 50, 100, 150, 200, 250, 300, 400, 450, 500, 600
    {1200, {0, 40, 60, 160, 240}},   // 100 ... 1200
    {2000, {0, 80, 240, 300, 400}},  // 300 ... 2000
    {3000, {0, 60, 100, 160, 600}},  // 300 ... 3000
};

// Terminals of tap codes 1..10 (X1-X2 ... X4-X5).
constexpr int kTapTerminals[10][2] = {{0, 1}, {0, 2}, {0, 3}, {0, 4}, {1, 2},
                                      {1, 3}, {1, 4}, {2, 3}, {2, 4}, {3, 4}};

constexpr double kPi = 3.141592653589793;

const char* const kMakers[] = {"HELMARK", "NORDWAVE", "ASTRA ELECTRIC", "GRIDLINE", "VOLTEK"};

}  // namespace

CtModel CtModel::FromSeed(uint32_t seed) {
  SimRandom rng(seed * 2654435761u + 12345u);
  CtModel ct;
  const RatioFamily& family = kFamilies[rng.Below(sizeof kFamilies / sizeof kFamilies[0])];
  // One transformer in five has a 1 A secondary: five times the turns.
  ct.secondary_amps_ = rng.Below(5) == 0 ? 1.0 : 5.0;
  const int turns_scale = ct.secondary_amps_ == 1.0 ? 5 : 1;
  for (int i = 0; i < 5; ++i) ct.terminal_turns_[i] = family.positions[i] * turns_scale;
  ct.volts_per_turn_ = rng.Uniform(0.6, 1.8);
  ct.amp_turns_ = rng.Uniform(6.0, 25.0);
  ct.low_exponent_ = rng.Uniform(0.55, 0.75);
  ct.high_exponent_ = rng.Uniform(11.0, 18.0);
  ct.milliohm_per_turn_ =
      ct.secondary_amps_ == 1.0 ? rng.Uniform(5.0, 12.0) : rng.Uniform(1.2, 3.0);
  ct.lead_milliohm_ = rng.Uniform(2.0, 8.0);
  ct.ratio_error_ = rng.Uniform(-0.004, 0.001);
  ct.reversed_tap_ = rng.Below(5) == 0 ? static_cast<int>(rng.Below(10)) + 1 : 0;
  ct.manufacturer_ = kMakers[rng.Below(sizeof kMakers / sizeof kMakers[0])];
  ct.model_ = Format("MR-%d:%d", family.full_primary, static_cast<int>(ct.secondary_amps_));
  ct.serial_ = Format("%c%07u", 'A' + static_cast<int>(rng.Below(26)), rng.Below(10000000));
  return ct;
}

int CtModel::Turns(int tap_code) const {
  if (tap_code < 1 || tap_code > 10) return 0;
  const int* t = kTapTerminals[tap_code - 1];
  return terminal_turns_[t[1]] - terminal_turns_[t[0]];
}

int CtModel::NameplatePrimary(int tap_code) const {
  return static_cast<int>(std::lround(Turns(tap_code) * secondary_amps_));
}

// Per-unit current at per-unit flux x: x^m well below saturation (the
// permeability rises with the flux) and x^n once the core saturates.
double CtModel::PerUnitCurrent(double x) const {
  if (x <= 0) return 0;
  return std::pow(x, low_exponent_) + std::pow(x, high_exponent_);
}

double CtModel::LogSlope(double x) const {
  const double a = std::pow(x, low_exponent_), b = std::pow(x, high_exponent_);
  const double dlogi_dlogx = (low_exponent_ * a + high_exponent_ * b) / (a + b);
  return 1.0 / dlogi_dlogx;
}

double CtModel::FluxAtSlope(double slope) const {
  // The slope falls from 1/m to 1/n as the flux rises.
  double lo = 1e-3, hi = 10.0;
  for (int i = 0; i < 200; ++i) {
    const double mid = std::sqrt(lo * hi);
    if (LogSlope(mid) > slope) {
      lo = mid;
    } else {
      hi = mid;
    }
  }
  return std::sqrt(lo * hi);
}

double CtModel::ExcitationCurrent(int turns, double volts) const {
  if (turns <= 0 || volts <= 0) return 0;
  const double x = volts / (volts_per_turn_ * turns);
  return amp_turns_ / turns * PerUnitCurrent(x);
}

double CtModel::ExcitationPhase(int turns, double volts) const {
  if (turns <= 0 || volts <= 0) return 0;
  // Core losses dominate at low flux, the magnetising current in saturation.
  const double x = volts / (volts_per_turn_ * turns);
  const double a = std::pow(x, low_exponent_), b = std::pow(x, high_exponent_);
  return 38.0 + 44.0 * b / (a + b);
}

double CtModel::VoltageAtCurrent(int turns, double amps) const {
  if (turns <= 0 || amps <= 0) return 0;
  const double target = amps * turns / amp_turns_;
  double lo = 0, hi = 10.0;
  for (int i = 0; i < 200; ++i) {
    const double mid = 0.5 * (lo + hi);
    if (PerUnitCurrent(mid) < target) {
      lo = mid;
    } else {
      hi = mid;
    }
  }
  return 0.5 * (lo + hi) * volts_per_turn_ * turns;
}

namespace {
KneePoint PointAt(const CtModel& ct, int turns, double volts) {
  return KneePoint{volts, ct.ExcitationCurrent(turns, volts)};
}
}  // namespace

KneePoint CtModel::Knee30(int turns) const {
  if (turns <= 0) return {};
  return PointAt(*this, turns, FluxAtSlope(std::tan(30.0 * kPi / 180.0)) * volts_per_turn_ * turns);
}

KneePoint CtModel::Knee45(int turns) const {
  if (turns <= 0) return {};
  return PointAt(*this, turns, FluxAtSlope(1.0) * volts_per_turn_ * turns);
}

KneePoint CtModel::Knee1050(int turns) const {
  if (turns <= 0) return {};
  // The current ratio for 10 % more voltage grows with the flux.
  double lo = 1e-3, hi = 10.0;
  for (int i = 0; i < 200; ++i) {
    const double mid = std::sqrt(lo * hi);
    if (PerUnitCurrent(1.1 * mid) / PerUnitCurrent(mid) < 1.5) {
      lo = mid;
    } else {
      hi = mid;
    }
  }
  return PointAt(*this, turns, std::sqrt(lo * hi) * volts_per_turn_ * turns);
}

double CtModel::WindingResistance(int turns) const {
  if (turns <= 0) return 0;
  return lead_milliohm_ + milliohm_per_turn_ * turns;
}

double CtModel::TurnsRatio(int tap_code) const { return Turns(tap_code) * (1.0 + ratio_error_); }

bool CtModel::Reversed(int tap_code) const { return tap_code == reversed_tap_; }

}  // namespace kova
