#pragma once
// A record in a few readable lines, for a terminal: the header, then per tap
// in tap order the knee voltages, ratios with their error, phase and
// polarity, winding resistance and, when the record's pass/fail is enabled,
// the marks; last the accuracy classification. Windows-1252 text, "\n" line
// ends.

#include <string>

#include "records/test_record.h"

namespace kova {

std::string RecordSummaryText(const TestRecord& rec);

}  // namespace kova
