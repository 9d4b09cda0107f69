#include "app/batch_summary.h"

#include <gtest/gtest.h>

#include "analysis/read_record.h"
#include "base/file_io.h"
#include "base/path.h"
#include "support/files.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

TEST(BatchSummary, HeadingAndWhatEachChoiceOpens) {
  EXPECT_EQ(BatchSummaryHeading(3, 3, "/r"), "3 tests saved in /r");
  EXPECT_EQ(BatchSummaryHeading(2, 3, "/r"), "2 of 3 tests saved in /r");
  EXPECT_EQ(BatchSummaryHeading(1, 1, "/r"), "1 test saved in /r");
  EXPECT_FALSE(ShowsBatchSummary(1));
  EXPECT_TRUE(ShowsBatchSummary(2));

  std::vector<SavedRecordRow> rows(3);
  rows[0].path = "/r/a.test";
  rows[1].path = "/r/b.test";
  rows[2].path = "/r/c.test";
  const struct {
    SummaryChoice choice;
    std::vector<int> selected;
    std::vector<std::string> opened;
    const char* message;
  } cases[] = {
      {SummaryChoice::kOpenAll, {}, {"/r/a.test", "/r/b.test", "/r/c.test"}, ""},
      {SummaryChoice::kOpenSelected, {2, 0}, {"/r/c.test", "/r/a.test"}, ""},
      {SummaryChoice::kOpenSelected, {}, {}, "Please select test first"},
      {SummaryChoice::kOpenSelected, {-1, 7}, {}, "Please select test first"},
      {SummaryChoice::kClose, {1}, {}, ""},
  };
  for (const auto& c : cases) {
    std::string message = "before";
    EXPECT_EQ(PathsToOpen(rows, c.choice, c.selected, message), c.opened);
    EXPECT_EQ(message, c.message);
  }
}

// Each saved file is read back for what identifies it; a file that does not
// read as a record stays listed, marked.
TEST(BatchSummary, RowsNameTheRecords) {
  const std::string dir = TempFolder("batch-summary");
  auto rec = MakeSampleRecord(1, 1);
  rec->serialnumber =
      "SN-\xc4"
      "1";  // as the instrument sends it
  rec->station = "North";
  const std::string good = PathJoin(dir, "T-1.test"), bad = PathJoin(dir, "T-2.test");
  ASSERT_TRUE(rec->WriteRecordFile(good));
  ASSERT_TRUE(WriteFileAtomically(bad, std::string("not a record")));
  const std::vector<SavedRecordRow> rows = SavedRecordRows({good, bad}, RecordDefaults());
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_TRUE(rows[0].readable);
  EXPECT_EQ(rows[0].file_name, "T-1.test");
  TestRecord back;
  ASSERT_TRUE(ReadRecordFile(back, good, RecordDefaults()));
  EXPECT_FALSE(back.serialnumber.empty());
  EXPECT_EQ(rows[0].serial, back.serialnumber);
  EXPECT_EQ(rows[0].station, back.station);
  EXPECT_EQ(rows[0].date, back.testdatetime);
  EXPECT_FALSE(rows[1].readable);
  EXPECT_EQ(rows[1].file_name, "T-2.test");
  EXPECT_TRUE(rows[1].serial.empty());
}

}  // namespace
}  // namespace kova
