#pragma once
// A profile's rating in one line, as an engineer reads it off a nameplate:
// "5P20, 10 VA, pf 0.8, Isr 1 A", "PX, Ek 150 V, Ie <= 30 mA, Rct <= 2.5 ohm".

#include <string>

#include "assess/iec_assessment.h"

namespace kova {

std::string ProfileRatingLine(const AssessmentProfile& p);

}  // namespace kova
