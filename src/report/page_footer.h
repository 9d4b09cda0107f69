#pragma once
// The footer line of printed and saved report pages: when the report was
// printed, in the user's date style, and where the page stands.

#include <ctime>
#include <string>

namespace kova {

// "Page 3 of 8".
std::string PageNumberText(int page, int pages);

// "Printed 12/10/26 16:30" (MM/DD/YY, as the instrument writes dates), or
// "Printed 10/12/26 16:30" when the user reads dates day first.
std::string PrintedOnText(const std::tm& local, bool day_first);
// The same for now, in the computer's time zone.
std::string PrintedNowText(bool day_first);

}  // namespace kova
