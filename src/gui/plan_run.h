#pragma once
// "Repeat Tests" on the connected instrument: a remote run of the plan whose
// record is handed back instead of being written to a file. The cable prompt
// is asked in a message box (OK continues, Cancel aborts the run).

namespace kova {

class Prompter;
class RudDevice;
class kvTestPlan;
struct TestRecord;

bool RunPlanOnInstrument(RudDevice& device, Prompter& prompter, kvTestPlan& plan,
                         TestRecord& result);

}  // namespace kova
