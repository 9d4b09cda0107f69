// The test dates the desktop shows follow the user's date setting: the
// instrument's month-first directory dates, and the records' own dates as
// the browser and the batch summary read them.

#include "app/shown_test_date.h"

#include <gtest/gtest.h>

#include <cstring>

#include "app/batch_summary.h"
#include "app/batch_transfer.h"
#include "app/test_browser.h"
#include "base/path.h"
#include "device/directory_choice.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

TEST(ShownTestDate, EveryStyleFromEitherOrder) {
  const struct {
    const char* text;
    bool day_first;
    DateStyle style;
    const char* shown;
  } cases[] = {
      {"12/31/19 10:20:30", false, DateStyle::kUs, "12/31/19 10:20:30"},
      {"12/31/19 10:20:30", false, DateStyle::kEu, "31/12/19 10:20:30"},
      {"12/31/19 10:20:30", false, DateStyle::kIso, "2019-12-31 10:20:30"},
      {"31/12/19 10:20:30", true, DateStyle::kUs, "12/31/19 10:20:30"},
      {"31/12/19 10:20:30", true, DateStyle::kEu, "31/12/19 10:20:30"},
      {"31/12/19 10:20:30", true, DateStyle::kIso, "2019-12-31 10:20:30"},
      {"04/05/69", false, DateStyle::kIso, "2069-04-05"},  // the century turns at 70
      {"04/05/70", false, DateStyle::kIso, "1970-04-05"},
      {"04/05/06", false, DateStyle::kEu, "05/04/06"},  // the date alone
      // Not a date of the instrument's shape: shown as it is.
      {"", false, DateStyle::kEu, ""},
      {"1/31/19 10:20:30", false, DateStyle::kEu, "1/31/19 10:20:30"},
      {"12/31/1", false, DateStyle::kEu, "12/31/1"},
      {"12/31/2019", false, DateStyle::kEu, "12/31/2019"},
      {"12-31-19 10:20", false, DateStyle::kEu, "12-31-19 10:20"},
      {"ab/cd/ef", false, DateStyle::kIso, "ab/cd/ef"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ShownTestDate(c.text, c.day_first, c.style), c.shown)
        << c.text << " day first " << c.day_first << " style " << static_cast<int>(c.style);
  }
}

TEST(ShownTestDate, TheDesktopStyleIsTheSetupsDateFormat) {
  CAppInfo info;
  info.dateformat = kDateUS;
  EXPECT_EQ(DesktopDateStyle(info), DateStyle::kUs);
  info.dateformat = kDateEU;
  EXPECT_EQ(DesktopDateStyle(info), DateStyle::kEu);
}

// The instrument writes its directory dates month first: with the EU
// setting the Device Directory shows them day first, as the records it
// downloads to show theirs.
TEST(ShownTestDate, DeviceDirectoryRowsInTheUsersStyle) {
  DirectoryEntry e;
  e.number = 7;
  std::strncpy(e.datetime, "12/31/19 10:20:30", sizeof e.datetime - 1);
  std::strncpy(e.testtype, "OPEN", sizeof e.testtype - 1);
  std::strncpy(e.company, "ACME", sizeof e.company - 1);
  using V = std::vector<std::string>;
  const struct {
    bool show_type;
    DateStyle style;
    V row;
  } cases[] = {
      {false, DateStyle::kUs, {"0007", "12/31/19 10:20:30", "ACME", "", ""}},
      {false, DateStyle::kEu, {"0007", "31/12/19 10:20:30", "ACME", "", ""}},
      {true, DateStyle::kEu, {"0007", "OPEN", "31/12/19 10:20:30", "ACME", "", ""}},
      {true, DateStyle::kIso, {"0007", "OPEN", "2019-12-31 10:20:30", "ACME", "", ""}},
  };
  for (const auto& c : cases) EXPECT_EQ(ShownTestDirectoryRow(e, c.show_type, c.style), c.row);
  // The download's file name keeps the instrument's own date.
  EXPECT_EQ(DownloadDatePart(e.datetime), "123119");
}

// The browser and the batch summary read each record with the setting, so
// its date is in the user's order already.
TEST(ShownTestDate, BrowserAndSummaryRowsReadWithTheSetting) {
  const std::string folder = TempFolder("shown-dates");
  auto rec = MakeSampleRecord(2, 1);
  rec->testdatetime = "12/31/19 10:20:30";
  Reencode(*rec);
  const std::string path = PathJoin(folder, "CT-1.test");
  ASSERT_TRUE(rec->WriteRecordFile(path));
  for (const int dateformat : {0, 1}) {
    SCOPED_TRACE(dateformat);
    RecordDefaults defaults;
    defaults.dateformat = dateformat;
    const std::string shown = dateformat == 0 ? "12/31/19 10:20:30" : "31/12/19 10:20:30";
    RecordFolderScan scan(folder, defaults);
    scan.RunToEnd();
    ASSERT_EQ(scan.SortedRows().size(), 1u);
    EXPECT_EQ(scan.SortedRows()[0].datetext, shown);
    const std::vector<SavedRecordRow> rows = SavedRecordRows({path}, defaults);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].date, shown);
  }
}

}  // namespace
}  // namespace kova
