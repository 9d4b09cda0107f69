// A record file cut short keeps what it held and says where it ended.

#include <gtest/gtest.h>

#include <vector>

#include "analysis/read_record.h"
#include "base/file_io.h"
#include "records/record_file.h"
#include "records/record_layout.h"
#include "records/test_record.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

TEST(RecordFileEnd, ACutFileSaysWhereItEndedAndWhatItNeeded) {
  auto whole = MakeSampleRecord(1, 3, 2);
  whole->testnote = "a note";
  const std::string path = TempFolder("record-end") + "/r.test";
  ASSERT_TRUE(whole->WriteRecordFile(path));
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(ReadFileBytes(path, bytes));
  const size_t header = 12;  // magic, version, model
  struct Case {
    const char* what;
    size_t size;
    size_t needed;  // 0: whole
  };
  const Case cases[] = {
      {"magic only", 4, 8},
      {"no model", 9, 12},
      {"cut raw record", 100, header + kRawRecordSize},
      {"cut in the graph points", header + kRawRecordSize + 20, header + kRawRecordSize + 24},
      {"one byte short", bytes.size() - 1, bytes.size()},
      {"whole", bytes.size(), 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto rec = std::make_unique<TestRecord>();
    ASSERT_TRUE(ReadRecordFileBytes(*rec, bytes.data(), c.size, "r.test", RecordDefaults()));
    const RecordFileEnd end = CheckRecordFileEnd(bytes.data(), c.size);
    EXPECT_EQ(end.needed, c.needed);
    EXPECT_EQ(end.ended_at, c.needed == 0 ? 0 : c.size);
    const std::string text = RecordFileEndedEarlyText("r.test", end);
    EXPECT_EQ(text.empty(), c.needed == 0) << text;
    if (c.needed != 0) {
      EXPECT_NE(text.find("ended at byte " + std::to_string(c.size) + " but needed " +
                          std::to_string(c.needed)),
                std::string::npos)
          << text;
    }
  }
  // What a cut file held is kept: the first test's record bytes survive a
  // cut in the graph points.
  auto cut = std::make_unique<TestRecord>();
  ASSERT_TRUE(ReadRecordFileBytes(*cut, bytes.data(), header + kRawRecordSize + 20, "r.test",
                                  RecordDefaults()));
  EXPECT_EQ(cut->numtests, whole->numtests);
  EXPECT_EQ(cut->taps[0].graph[0].gpAmps, whole->taps[0].graph[0].gpAmps);
  EXPECT_EQ(cut->testnote, "");
}

}  // namespace
}  // namespace kova
