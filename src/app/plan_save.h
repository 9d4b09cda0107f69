#pragma once
// Saving a plan under a name the user chooses, as the plan editor and "Save
// to Test Plan" do: the save dialog starts in the plan folder, an existing
// file is replaced only after "Do you want to overwrite file" is answered
// Yes (No asks for another name, Cancel stops), and the file is written
// atomically.

#include <string>

#include "app/record_document.h"  // kOverwriteQuestion, asked by both saves

namespace kova {

class Prompter;
class kvTestPlan;

constexpr const char* kPlanFileFilter = "Test Plan (*.plan) |*.plan||";

enum class PlanSaveOutcome { kSaved, kCancelled, kFailed };

// Builds the plan's image and writes it; `path` receives the file written.
// A write that fails is said in a message (kFailed).
PlanSaveOutcome SavePlanAsking(kvTestPlan& plan, Prompter& prompter, const std::string& folder,
                               std::string& path);

}  // namespace kova
