#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/output_rule.h"
#include "app/save_record.h"
#include "base/file_io.h"
#include "base/path.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

struct CountingExporter : RecordExporter {
  std::vector<std::string> paths;
  void ExportAfterSave(const TestRecord& rec, const std::string& path) override {
    EXPECT_EQ(rec.fullpath, path) << "the export sees the record under its new name";
    paths.push_back(path);
  }
};

TEST(SaveRecordAndExport, ExportsOnlyAfterASuccessfulWrite) {
  auto rec = MakeSampleRecord(1, 2);
  const std::string dir = TempFolder("save");
  CountingExporter exporter;
  EXPECT_TRUE(SaveRecordAndExport(*rec, PathJoin(dir, "a.test"), &exporter));
  EXPECT_FALSE(SaveRecordAndExport(*rec, PathJoin(dir, "no/such/a.test"), &exporter));
  EXPECT_TRUE(SaveRecordAndExport(*rec, PathJoin(dir, "b.test"), nullptr));
  ASSERT_EQ(exporter.paths.size(), 1u);
  EXPECT_EQ(exporter.paths[0], PathJoin(dir, "a.test"));
  EXPECT_TRUE(FileExists(PathJoin(dir, "b.test")));
}

TEST(OutputRule, ExistingFilesNeedOverwriteAndInputsAreNeverWritten) {
  const std::string dir = TempFolder("outrule");
  const std::string in = PathJoin(dir, "in.test");
  const std::string old = PathJoin(dir, "old.test");
  ASSERT_TRUE(WriteFileAtomically(in, std::string("x")));
  ASSERT_TRUE(WriteFileAtomically(old, std::string("x")));
  struct Case {
    std::string out;
    bool overwrite;
    OutputCheck want;
  } cases[] = {
      {PathJoin(dir, "new.test"), false, OutputCheck::kFine},
      {old, false, OutputCheck::kExists},
      {old, true, OutputCheck::kFine},
      {in, true, OutputCheck::kIsInput},
      {dir + "/./in.test", true, OutputCheck::kIsInput},  // another name of the input
      {PathJoin(dir, "sub/../in.test"), true, OutputCheck::kIsInput},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CheckOutputFile(c.out, {in}, c.overwrite), c.want) << c.out;
  }
  EXPECT_EQ(OutputCheckText(OutputCheck::kExists, "r.test"),
            "\"r.test\" exists; give --overwrite to replace it");
}

TEST(OutputRule, ExportNamesOfOneRunNeverCollide) {
  const std::string dir = TempFolder("exportnames");
  ExportNames names({PathJoin(dir, "x.txt")});
  EXPECT_EQ(names.Claim(PathJoin(dir, "r.txt")), PathJoin(dir, "r.txt"));
  EXPECT_EQ(names.Claim(PathJoin(dir, "r.txt")), PathJoin(dir, "r (2).txt"));
  EXPECT_EQ(names.Claim(PathJoin(dir, "r.txt")), PathJoin(dir, "r (3).txt"));
  EXPECT_EQ(names.Claim(PathJoin(dir, "x.txt")), "") << "a record named .txt is never replaced";
  EXPECT_EQ(names.Claim(PathJoin(dir, "M\xe9ss\x80.txt")), PathJoin(dir, "M\xe9ss\x80.txt"));
  EXPECT_EQ(names.Claim(PathJoin(dir, "M\xe9ss\x80.txt")), PathJoin(dir, "M\xe9ss\x80 (2).txt"))
      << "8-bit names keep their bytes";
#ifdef _WIN32
  // One file on Windows: the second would replace the first.
  EXPECT_EQ(names.Claim(PathJoin(dir, "R.TXT")), PathJoin(dir, "R (4).TXT"));
#else
  EXPECT_EQ(names.Claim(PathJoin(dir, "R.TXT")), PathJoin(dir, "R.TXT"));
#endif
}

}  // namespace
}  // namespace kova
