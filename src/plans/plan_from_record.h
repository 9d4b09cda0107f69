#pragma once
// A plan made from the tests of a record, so that the same CT can be tested
// again the same way.

#include "plans/test_plan.h"

namespace kova {

struct TestRecord;

// A new plan for the record's instrument with one tap entry for each of the
// record's first ten tests that runs the ratio, winding-resistance or
// excitation test, in test order; the header texts, knee type and tap order
// of the record; and its image built. The pass/fail, resistance and class
// settings are a new plan's. False, leaving `plan` unchanged, when no test
// runs any of the three tests.
bool PlanFromRecord(const TestRecord& rec, kvTestPlan& plan);

}  // namespace kova
