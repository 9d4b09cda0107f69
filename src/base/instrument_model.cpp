#include "base/instrument_model.h"

namespace kova {

bool ModelFromCode(int code, InstrumentModel& model) {
  for (InstrumentModel m : kAllInstrumentModels) {
    if (ModelCodeOf(m) == code) {
      model = m;
      return true;
    }
  }
  return false;
}

InstrumentModel ModelFromCodeOr7100(int code) {
  InstrumentModel model = InstrumentModel::k7100;
  ModelFromCode(code, model);
  return model;
}

InstrumentModel ModelFromDeviceVersion(int deviceversion) {
  for (InstrumentModel m : kAllInstrumentModels) {
    if (DeviceVersionOf(m) == deviceversion) return m;
  }
  return InstrumentModel::k7100;
}

InstrumentModel ModelMarksOf(const std::string& reply) {
  InstrumentModel model = InstrumentModel::k7100;
  if (reply.find("R5") != std::string::npos) model = InstrumentModel::kR5;
  if (reply.find("7100B") != std::string::npos || reply.find("7100C") != std::string::npos) {
    model = InstrumentModel::k7100BC;
  }
  if (reply.find("-7KA") != std::string::npos) model = InstrumentModel::k7KA;
  return model;
}

bool ModelFromIdentification(const std::string& reply, InstrumentModel& model) {
  if (reply.find("KOVA") == std::string::npos) return false;
  model = ModelMarksOf(reply);
  return true;
}

std::string ShortModelName(InstrumentModel model) {
  switch (model) {
    case InstrumentModel::k7KA:
      return "7KA";
    case InstrumentModel::k7100BC:
      return "7100B";
    case InstrumentModel::kR5:
      return "7100 R5";
    case InstrumentModel::k7100:
      break;
  }
  return "7100";
}

std::string ModelTitleName(InstrumentModel model) {
  switch (model) {
    case InstrumentModel::kR5:
      return " KOVA-R5";
    case InstrumentModel::k7100BC:
      return " KOVA-7100B/C";
    case InstrumentModel::k7KA:
      return " KOVA-7KA";
    case InstrumentModel::k7100:
      break;
  }
  return " KOVA-7100";
}

}  // namespace kova
