// Fuzz target: whatever a program sends the simulated instrument (kova-sim
// reads it from a pseudo-terminal). The first byte picks the model.

#include <cstddef>
#include <cstdint>

#include "sim/sim_instrument.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  static const kova::SimModel kModels[] = {kova::SimModel::k7100, kova::SimModel::k7100B,
                                           kova::SimModel::k7100C, kova::SimModel::kR5,
                                           kova::SimModel::k7KA};
  kova::SimOptions options;
  options.model = kModels[data[0] % 5];
  options.tests = 2;
  options.plans = 2;
  options.faults.stall_after = 1 << 20;  // bounded output
  kova::SimInstrument sim(options);
  uint32_t now = 0;
  for (size_t i = 1; i < size; i += 16) {
    const size_t n = size - i < 16 ? size - i : 16;
    sim.Receive(data + i, n, now);
    now += 7;
    sim.Advance(now);
    uint8_t sink[512];
    while (sim.TakeOutput(sink, sizeof sink) > 0) {
    }
  }
  return 0;
}
