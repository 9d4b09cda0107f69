#pragma once
// The library keeps dates as ISO text ("2019-04-04 01:13:00") so that they
// sort and travel in CSV and JSON unchanged; what a person reads follows the
// user's date setting, as the record's own dates do ("04/04/19" US,
// "04/04/19" with day first EU).

#include <string>

namespace kova {

enum class DateStyle { kIso, kUs, kEu };

// The style of the setup's date format (0 US, else EU).
DateStyle DateStyleOf(int dateformat);

// `iso` ("YYYY-MM-DD" with an optional " hh:mm[:ss]") as the style shows it:
// the date only, or with hours and minutes. Text that is no ISO date is
// shown as it is.
std::string ShownDate(const std::string& iso, DateStyle style, bool with_time = false);

// Today on this computer's calendar, "YYYY-MM-DD".
std::string TodayIso();

}  // namespace kova
