#include "sim/sim_model.h"

#include <cctype>

#include "plans/test_plan.h"

namespace kova {

bool ParseSimModel(const std::string& text, SimModel& out) {
  std::string upper;
  for (char c : text) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (upper == "7100") {
    out = SimModel::k7100;
  } else if (upper == "7100B") {
    out = SimModel::k7100B;
  } else if (upper == "7100C") {
    out = SimModel::k7100C;
  } else if (upper == "R5") {
    out = SimModel::kR5;
  } else if (upper == "7KA") {
    out = SimModel::k7KA;
  } else {
    return false;
  }
  return true;
}

const char* SimModelText(SimModel model) {
  switch (model) {
    case SimModel::k7100:
      return "7100";
    case SimModel::k7100B:
      return "7100B";
    case SimModel::k7100C:
      return "7100C";
    case SimModel::kR5:
      return "R5";
    case SimModel::k7KA:
      return "7KA";
  }
  return "7100";
}

InstrumentModel SimInstrumentModel(SimModel model) {
  switch (model) {
    case SimModel::k7100B:
    case SimModel::k7100C:
      return InstrumentModel::k7100BC;
    case SimModel::kR5:
      return InstrumentModel::kR5;
    case SimModel::k7KA:
      return InstrumentModel::k7KA;
    case SimModel::k7100:
      break;
  }
  return InstrumentModel::k7100;
}

int SimModelCode(SimModel model) { return ModelCodeOf(SimInstrumentModel(model)); }

int SimDeviceVersion(SimModel model) { return DeviceVersionOf(SimInstrumentModel(model)); }

size_t SimPlanImageSize(SimModel model) { return PlanImageSize(SimModelCode(model)); }

size_t SimPlanTapBlockSize(SimModel model) { return PlanTapBlockSize(SimModelCode(model)); }

bool SimHasBurdenTests(SimModel model) {
  return model == SimModel::k7100B || model == SimModel::k7100C;
}

std::string SimIdentification(SimModel model) {
  switch (model) {
    case SimModel::k7100:
      return "KOVA-7100A CT ANALYZER FW 3.12";
    case SimModel::k7100B:
      return "KOVA-7100B CT ANALYZER FW 4.05";
    case SimModel::k7100C:
      return "KOVA-7100C CT ANALYZER FW 4.05";
    case SimModel::kR5:
      return "KOVA-R5A CT TESTER FW 2.01";
    case SimModel::k7KA:
      return "KOVA-7KA CT ANALYZER FW 1.20";
  }
  return "KOVA-7100A CT ANALYZER FW 3.12";
}

}  // namespace kova
