#pragma once
// Plans for tests, made through the plan's own fields and encoder.

#include <cstdint>
#include <string>
#include <vector>

#include "plans/test_plan.h"

namespace kova {

// A plan of `type` with `taps` tap entries, distinct values in every field
// (all of them representable in the image) and non-default blocks.
kvTestPlan MakeSamplePlan(int type, int taps);

// Bytes of a file; empty when it cannot be read.
std::vector<uint8_t> FileContents(const std::string& path);
void PutFile(const std::string& path, const std::vector<uint8_t>& bytes);

// A plan file of an older version (1 to 3) holding the plan's encoded image.
std::vector<uint8_t> OldPlanFile(const kvTestPlan& plan, int version);

}  // namespace kova
