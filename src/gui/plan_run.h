#pragma once
// "Repeat Tests" on the connected instrument: a remote run of the plan whose
// record is handed back instead of being written to a file. It runs in the
// transfer window (Continue after connecting the cables, Abort), modal over
// the window that is active.

namespace kova {

class Prompter;
class RudDevice;
class kvTestPlan;
struct TestRecord;

// False, and nothing starts, while another run is under way.
bool RunPlanOnInstrument(RudDevice& device, kvTestPlan& plan, TestRecord& result);

// Edit's quiet look for the instrument, on a worker behind the wait window
// (so a second double-click meanwhile opens nothing); the model code, -1
// when none answers.
int ConnectedModelBehindWait(RudDevice& device, Prompter& prompter);

}  // namespace kova
