#pragma once
// "Override Test Data": one excitation data point of the test shown on the
// document's current page is replaced by numbers the user types.

#include <string>

namespace kova {

struct TestRecord;

// The dialog's three fields, all "0" when it opens.
struct OverrideFields {
  std::string point = "0", current = "0", voltage = "0";
};

// Whether the override can act: a page that shows one test (`shown_test`
// is -1 on summary, pass/fail and plan pages) of a record whose tests have
// the 32-point layout. False with the reason otherwise.
bool CanOverride(const TestRecord& rec, int shown_test, std::string& why);

// OK of the dialog: checks the fields, writes the point, decodes the record
// again and recomputes its derived figures. False with a message, record
// unchanged, when a field is not a number or does not fit.
bool ApplyOverride(TestRecord& rec, int shown_test, const OverrideFields& fields,
                   std::string& error);

}  // namespace kova
