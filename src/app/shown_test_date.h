#pragma once
// The test dates the desktop shows (the Open Test browser, Device Directory,
// the batch summary) in the user's date setting. A record's own date reads
// "MM/DD/YY hh:mm:ss", day first when it was decoded with the
// "(EU) DD/MM/YY" setting; the instrument's directory writes its dates
// month first whatever the setting.

#include <string>
#include <vector>

#include "app/app_settings.h"
#include "device/rud_device.h"
#include "library/shown_date.h"

namespace kova {

// `text` ("NN/NN/YY" and what follows, day first when `day_first`) as
// `style` shows dates: "MM/DD/YY", "DD/MM/YY" or "YYYY-MM-DD" (two-digit
// years below 70 are 20YY), the time after it kept. Text of another shape
// is shown as it is.
std::string ShownTestDate(const std::string& text, bool day_first, DateStyle style);

// The style the desktop shows dates in: the setup's "Date Format".
DateStyle DesktopDateStyle(const CAppInfo& info);

// A row of "Device Directory" (TestDirectoryRow) with the instrument's
// month-first date shown in `style`.
std::vector<std::string> ShownTestDirectoryRow(const DirectoryEntry& entry, bool show_type,
                                               DateStyle style);

}  // namespace kova
