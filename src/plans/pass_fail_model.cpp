#include "plans/pass_fail_model.h"

#include <algorithm>
#include <climits>

#include "base/format.h"
#include "plans/plan_editor_model.h"
#include "plans/value_lists.h"

namespace kova {
namespace {

int Entry(int value, const std::vector<std::string>& list) {
  // Codes outside a list mean its last entry ("other") to the evaluation.
  return std::max(0, std::min(value, static_cast<int>(list.size()) - 1));
}

}  // namespace

const std::vector<std::string>& PassFailCtTypes() {
  static const std::vector<std::string> v = {"C100", "C200", "C400", "C800", " "};
  return v;
}
const std::vector<std::string>& PassFailLocations() {
  static const std::vector<std::string> v = {"Circuit Breaker", "Transformer", "Auto-Bank",
                                             "Other"};
  return v;
}
const std::vector<std::string>& TurnsRatioDeviations() {
  static const std::vector<std::string> v = {"Metering: 1%", "Protection: 5%", "User Defined %"};
  return v;
}
const std::vector<std::string>& KneePointTypes() {
  static const std::vector<std::string> v = {"IEEE 30 deg", "IEEE 45 deg", "IEC 10/50"};
  return v;
}
const std::vector<std::string>& KneeVoltageDeviations() {
  static const std::vector<std::string> v = {"20%", "10%", "5%"};
  return v;
}
const std::vector<std::string>& ResistanceDeviations() {
  static const std::vector<std::string> v = {"5%", "10%", "User Defined %"};
  return v;
}

void PassFailModel::Load(const PassFailBlock& pf, const ResistanceBlock& res) {
  enable = pf.pfenable != 0;
  cttype = Entry(pf.pfcttype, PassFailCtTypes());
  location = Entry(pf.pfkneepointlocation, PassFailLocations());
  ratiodeviation = Entry(pf.pfturnsratiodeviation, TurnsRatioDeviations());
  kneetype = Entry(pf.pfkneepointtype, KneePointTypes());
  kneedeviation = Entry(pf.pfkneepointdeviation, KneeVoltageDeviations());
  resdeviation = Entry(res.pfresdeviation, ResistanceDeviations());
  customratio = LimitCustomRatio(Format("%d", pf.pfcustomdeviation));
  customres = Format("%g", res.pfcustomresdeviation);
  for (int i = 0; i < kTapTableSize; ++i) {
    kneevoltage[i] = pf.pfkneevoltage[i] == 0 ? "" : Format("%d", pf.pfkneevoltage[i]);
    resistance[i] = res.pfresistance[i] == 0 ? "" : Format("%4.2f", res.pfresistance[i]);
  }
}

std::string PassFailModel::LimitCustomRatio(const std::string& typed) {
  return typed.substr(0, kCustomRatioChars);
}

bool PassFailModel::Store(PassFailBlock& pf, ResistanceBlock& res, std::string& error) const {
  const std::string ratio = LimitCustomRatio(customratio);
  bool digits = !ratio.empty();
  for (char c : ratio) digits = digits && c >= '0' && c <= '9';
  const long long custom = TextWholeNumber(ratio);
  if (!digits || custom < 0 || custom > 100) {
    error = "Please enter an integer between 0 and 100.";
    return false;
  }
  if (!IsNumberText(customres)) {
    error = "Please enter a number.";
    return false;
  }
  PassFailBlock p = pf;
  ResistanceBlock r = res;
  p.pfenable = enable ? 1 : 0;
  p.pfcttype = cttype;
  p.pfkneepointlocation = location;
  p.pfturnsratiodeviation = ratiodeviation;
  p.pfcustomdeviation = static_cast<int32_t>(custom);
  p.pfkneepointtype = kneetype;
  p.pfkneepointdeviation = kneedeviation;
  r.pfresdeviation = resdeviation;
  r.pfcustomresdeviation = TextNumber(customres);
  for (int i = 0; i < kTapTableSize; ++i) {
    // An empty field means no limit; anything else typed must be a number,
    // never dropped without a word.
    const std::string tap = RowTapName(i);
    if (!kneevoltage[i].empty() && !IsNumberText(kneevoltage[i])) {
      error = Format("Knee voltage of %s: please enter a number.", tap.c_str());
      return false;
    }
    if (!resistance[i].empty() && (!IsNumberText(resistance[i]) || TextNumber(resistance[i]) < 0)) {
      error = Format("Resistance of %s: please enter a number of ohms, 0 or more.", tap.c_str());
      return false;
    }
    const long long knee = TextWholeNumber(kneevoltage[i]);
    if (knee > INT32_MAX || knee < 0) {
      error = Format("Knee voltage of %s must be from 0 to %d V.", tap.c_str(), INT32_MAX);
      return false;
    }
    p.pfkneevoltage[i] = static_cast<int32_t>(knee);
    r.pfresistance[i] = TextNumber(resistance[i]);
  }
  pf = p;
  res = r;
  return true;
}

}  // namespace kova
