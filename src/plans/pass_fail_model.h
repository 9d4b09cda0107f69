#pragma once
// The rules of the "Pass / Fail Setup" dialog: its lists, the two custom
// fields shown only for "User Defined %", the per-tap knee voltage and
// resistance texts, and the checks made when it ends with OK.

#include <string>
#include <vector>

#include "records/plan_blocks.h"

namespace kova {

class kvTestPlan;

const std::vector<std::string>& PassFailCtTypes();        // "C100" … " "
const std::vector<std::string>& PassFailLocations();      // "Circuit Breaker" …
const std::vector<std::string>& TurnsRatioDeviations();   // "Metering: 1%" …
const std::vector<std::string>& KneePointTypes();         // "IEEE 30 deg" …
const std::vector<std::string>& KneeVoltageDeviations();  // "20%", "10%", "5%"
const std::vector<std::string>& ResistanceDeviations();   // "5%", "10%", "User Defined %"

constexpr size_t kCustomRatioChars = 2;  // the field takes at most two characters

struct PassFailModel {
  bool enable = false;
  int cttype = 0, location = 0, ratiodeviation = 0, kneetype = 0, kneedeviation = 0;
  int resdeviation = 0;
  std::string customratio, customres;
  // Rows by tap position (X1-X5 … X4-X5).
  std::string kneevoltage[kTapTableSize], resistance[kTapTableSize];

  void Load(const PassFailBlock& passfail, const ResistanceBlock& resistance_block);
  bool CustomRatioVisible() const { return ratiodeviation == 2; }
  bool CustomResVisible() const { return resdeviation == 2; }
  // What the custom ratio field keeps of a typed text.
  static std::string LimitCustomRatio(const std::string& typed);
  // OK: the custom ratio must be a whole number 0..100 and the custom
  // resistance a number, else false with the framework's message and
  // nothing stored. Knee voltages and resistances are empty (stored as 0)
  // or numbers, 0 or more; otherwise false with the tap and the range.
  bool Store(PassFailBlock& passfail, ResistanceBlock& resistance_block, std::string& error) const;
};

}  // namespace kova
