#include "app/plan_save.h"

#include "app/record_document.h"
#include "base/codepage.h"
#include "base/file_io.h"
#include "base/format.h"
#include "base/prompter.h"
#include "plans/test_plan.h"

namespace kova {

PlanSaveOutcome SavePlanAsking(kvTestPlan& plan, Prompter& prompter, const std::string& folder,
                               std::string& path) {
  for (;;) {
    std::string chosen;
    if (!prompter.ChooseSaveFile("Save Test Plan", folder, kPlanFileFilter, chosen)) {
      return PlanSaveOutcome::kCancelled;
    }
    const size_t dot = chosen.rfind('.');
    const size_t slash = chosen.find_last_of("/\\");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) chosen += ".plan";
    if (FileExists(chosen)) {
      const Answer a = prompter.Message(kDeviceCaption, OverwriteQuestion(chosen),
                                        Buttons::YesNoCancel, Icon::Question);
      if (a == Answer::No) continue;
      if (a != Answer::Yes) return PlanSaveOutcome::kCancelled;
    }
    if (!plan.Save(chosen)) {
      prompter.Message(kWarningCaption,
                       Format("Cannot write the plan file %s", SystemNameToCp1252(chosen).c_str()),
                       Buttons::Ok, Icon::Warning);
      return PlanSaveOutcome::kFailed;
    }
    path = chosen;
    return PlanSaveOutcome::kSaved;
  }
}

}  // namespace kova
