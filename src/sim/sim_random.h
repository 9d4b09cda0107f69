#pragma once
// The simulator's random numbers: the standard Mersenne twister, whose
// sequence is fixed by the language, read through our own scaling so that a
// seed gives the same instrument on every platform and library.

#include <cstdint>
#include <random>

namespace kova {

class SimRandom {
 public:
  explicit SimRandom(uint32_t seed) : engine_(seed) {}
  uint32_t Next() { return static_cast<uint32_t>(engine_()); }
  // In [0, n) for n > 0.
  uint32_t Below(uint32_t n) { return n == 0 ? 0 : Next() % n; }
  // In [lo, hi).
  double Uniform(double lo, double hi) { return lo + (hi - lo) * (Next() / 4294967296.0); }
  // Relative noise: 1 + a value in [-spread, spread).
  double Noise(double spread) { return 1.0 + Uniform(-spread, spread); }

 private:
  std::mt19937 engine_;
};

}  // namespace kova
