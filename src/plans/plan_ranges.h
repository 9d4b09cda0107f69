#pragma once
// What a plan's image can hold. The image keeps only the low bits of a value
// that does not fit (a nameplate primary of 70,000 A would become 4,464), so
// the editors check a plan before it is saved and refuse it with a message.

#include <string>

namespace kova {

class kvTestPlan;

// True when every value of the tap entries in use, and of the header, fits
// its image field; otherwise false with the first offending value named in
// `error`.
bool PlanFitsImage(const kvTestPlan& plan, std::string& error);

}  // namespace kova
