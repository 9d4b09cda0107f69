#pragma once
// What a record adds to the library: its CT and one row per tested tap,
// taken from a record read with day-after-month dates.

#include <string>

#include "library/library_model.h"
#include "records/test_record.h"

namespace kova {

// "MM/DD/YY hh:mm:ss" as the record gives it -> "YYYY-MM-DD hh:mm:ss", which
// sorts by time; years 70..99 are 19xx. Empty when the text is not a date.
std::string SortableTestDate(const std::string& testdatetime);

// Fills `out.ct`, `out.test_date` and `out.tests` (not the identity).
void EntryFromRecord(const TestRecord& rec, RecordEntry& out);

}  // namespace kova
