#pragma once
// The model behind the assessment profile dialog: the texts of its fields,
// which fields apply to the chosen class and burden form, and the one
// check on OK, the same as a profile file gets.

#include <string>
#include <vector>

#include "assess/iec_assessment.h"

namespace kova {

// A field of the dialog: the profile member it sets, its label and unit.
struct ProfileField {
  const char* member;  // "alf"
  const char* label;   // "Accuracy limit factor ALF"
  const char* unit;    // "" for a bare number
};
const std::vector<ProfileField>& ProfileFields();
// "Accuracy limit factor ALF:", "Burden (VA):": the label beside the field.
std::string ProfileFieldRowLabel(const std::string& member);
// A profile check's words with each member named by its field's label:
// "\"alf\" is required for this class" -> "Accuracy limit factor ALF is
// required for this class".
std::string InFieldLabels(const std::string& error);

struct AssessmentProfileModel {
  int class_index = 0;  // into ClassNames()
  bool burden_as_va = true;
  std::string isr = "1", alf, burden_va, power_factor, burden_r, burden_x;
  std::string kx, rb, ek, ie_max, rct_max, turns_tolerance = "0.25", test;

  static const std::vector<std::string>& ClassNames();
  IecClass Class() const;

  // P and PR: accuracy limit factor and burden; PX and PXR the others.
  bool ProtectionFieldsApply() const { return !IsPxClass(Class()); }
  bool PxFieldsApply() const { return IsPxClass(Class()); }
  bool VaFieldsApply() const { return ProtectionFieldsApply() && burden_as_va; }
  bool RxFieldsApply() const { return ProtectionFieldsApply() && !burden_as_va; }

  void Load(const AssessmentProfile& p);
  // The fields that apply, checked like a profile file; on failure `error`
  // names the field by its label.
  bool Store(AssessmentProfile& out, std::string& error) const;
};

}  // namespace kova
