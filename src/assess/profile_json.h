#pragma once
// The assessment profile as a small JSON file kept beside the record:
//
//   {"class": "5P", "isr": 1, "alf": 20, "burden_va": 10, "power_factor": 0.8}
//   {"class": "5P", "isr": 1, "alf": 20, "burden_r": 8, "burden_x": 6}
//   {"class": "PX", "isr": 1, "kx": 20, "rb": 5, "ie_max": 0.03, "rct_max": 2.5}
//
// Optional: "ek" (rated knee e.m.f., V), "turns_tolerance" (percent),
// "test" (1-based). Every member is checked against its range; an unknown
// member is refused, so a misspelt one never passes silently.

#include <string>

#include "assess/iec_assessment.h"

namespace kova {

// Largest profile file read.
constexpr size_t kMaxProfileBytes = 64 * 1024;

// On failure `error` says which member is wrong and why.
bool ParseAssessmentProfile(const std::string& text, AssessmentProfile& out, std::string& error);
// The profile as JSON text that the parser reads back to the same profile.
std::string AssessmentProfileToJson(const AssessmentProfile& p);

}  // namespace kova
