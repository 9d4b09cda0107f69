#include "report/page_footer.h"

#include "base/civil_date.h"

#include "base/format.h"

namespace kova {

std::string PageNumberText(int page, int pages) { return Format("Page %d of %d", page, pages); }

std::string PrintedOnText(const std::tm& t, bool day_first) {
  const int first = day_first ? t.tm_mday : t.tm_mon + 1;
  const int second = day_first ? t.tm_mon + 1 : t.tm_mday;
  return Format("Printed %02d/%02d/%02d %02d:%02d", first, second, t.tm_year % 100, t.tm_hour,
                t.tm_min);
}

std::string PrintedNowText(bool day_first) { return PrintedOnText(LocalTimeNow(), day_first); }

}  // namespace kova
