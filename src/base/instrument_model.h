#pragma once
// The instrument models of the KOVA family and the three ways the program
// numbers them:
//   - the model code of the device link and a plan's device type:
//     0 KOVA-7100, 1 KOVA-R5, 2 KOVA-7100B/C, 4 KOVA-7KA (3 names only the
//     KOVA-7KC thumb-drive folder and is no instrument of its own);
//   - a record's `deviceversion`, which chooses its binary layout:
//     1 KOVA-7100, 2 KOVA-7100B/C, 3 KOVA-R5, 4 KOVA-7KA;
//   - the identification line the instrument sends for "W".
// Every layer converts through these functions, never through its own table.

#include <string>

namespace kova {

enum class InstrumentModel { k7100, kR5, k7100BC, k7KA };

constexpr InstrumentModel kAllInstrumentModels[] = {
    InstrumentModel::k7100, InstrumentModel::kR5, InstrumentModel::k7100BC, InstrumentModel::k7KA};

// Model code / plan device type.
constexpr int ModelCodeOf(InstrumentModel model) {
  switch (model) {
    case InstrumentModel::kR5:
      return 1;
    case InstrumentModel::k7100BC:
      return 2;
    case InstrumentModel::k7KA:
      return 4;
    case InstrumentModel::k7100:
      break;
  }
  return 0;
}
// False for a code that names no instrument (3, negative, above 4).
bool ModelFromCode(int code, InstrumentModel& model);
// Any code that names no instrument counts as a KOVA-7100, as the instrument's
// own tables do.
InstrumentModel ModelFromCodeOr7100(int code);

// Record layout code.
constexpr int DeviceVersionOf(InstrumentModel model) {
  switch (model) {
    case InstrumentModel::k7100BC:
      return 2;
    case InstrumentModel::kR5:
      return 3;
    case InstrumentModel::k7KA:
      return 4;
    case InstrumentModel::k7100:
      break;
  }
  return 1;
}
// A layout code other than 2, 3 and 4 is read in the KOVA-7100 layout.
InstrumentModel ModelFromDeviceVersion(int deviceversion);

// The plan device type a record of this layout was made with.
inline int PlanTypeOfDeviceVersion(int deviceversion) {
  return ModelCodeOf(ModelFromDeviceVersion(deviceversion));
}

// What the identification line says. "R5", "7100B" or "7100C", "-7KA" tell
// the model, tested in that order (a later match wins); none of them is a
// KOVA-7100. A line without "KOVA" comes from some other device and names no
// model of this family: false.
bool ModelFromIdentification(const std::string& reply, InstrumentModel& model);
// The model the marks alone give (no check for "KOVA").
InstrumentModel ModelMarksOf(const std::string& reply);

// Short names for messages: "7100", "7100 R5", "7100B", "7KA".
std::string ShortModelName(InstrumentModel model);
// Names of the window title, each with a leading space: " KOVA-7100",
// " KOVA-R5", " KOVA-7100B/C", " KOVA-7KA".
std::string ModelTitleName(InstrumentModel model);

}  // namespace kova
