#pragma once
// The simulated instrument's models: the four KOVA test sets (the 7100B and
// 7100C share one record layout), their identification lines and the record
// layout and plan image size each one uses.

#include <cstddef>
#include <string>

#include "base/instrument_model.h"

namespace kova {

enum class SimModel { k7100, k7100B, k7100C, kR5, k7KA };

// "7100", "7100B", "7100C", "R5", "7KA" (any letter case).
bool ParseSimModel(const std::string& text, SimModel& out);
const char* SimModelText(SimModel model);

// The instrument model it simulates (the 7100B and 7100C are one model).
InstrumentModel SimInstrumentModel(SimModel model);
// Model code of the device link and plan device type: 0, 2, 2, 1, 4.
int SimModelCode(SimModel model);
// Record layout code (TestRecord::deviceversion): 1, 2, 2, 3, 4.
int SimDeviceVersion(SimModel model);
// Bytes of a plan image: 1024 for the 7100B/C, 512 for the others.
size_t SimPlanImageSize(SimModel model);
// Bytes of a tap block in the plan image: 64, 36 (7KA) or 32.
size_t SimPlanTapBlockSize(SimModel model);
// Burden and insulation tests exist on the 7100B/C only.
bool SimHasBurdenTests(SimModel model);
// The identification line (without CR LF), at most 48 characters.
std::string SimIdentification(SimModel model);

}  // namespace kova
