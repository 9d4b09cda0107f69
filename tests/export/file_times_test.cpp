// The up-to-date rule of the automatic export: whole seconds, strictly
// newer, on plain and 8-bit file names alike (a record's name is
// Windows-1252 text, and on Windows its file is reached by its wide name).

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "base/file_io.h"
#include "base/native_path.h"
#include "base/path.h"
#include "export/file_times.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

namespace fs = std::filesystem;

void SetTime(const std::string& path, fs::file_time_type t) {
  fs::last_write_time(NativePath(path), t);
}

TEST(FileTimes, WholeSecondsStrictlyNewerAndQuietDeletes) {
  const std::string dir = TempFolder("file-times");
  // A whole second of the file clock, an hour ago.
  const fs::file_time_type now = fs::file_time_type::clock::now();
  const fs::file_time_type base =
      now - now.time_since_epoch() % std::chrono::seconds(1) - std::chrono::hours(1);
  using std::chrono::milliseconds;
  struct Case {
    const char* what;
    milliseconds source, export_;
    bool up_to_date;
  };
  const Case cases[] = {
      {"same time", milliseconds(0), milliseconds(0), false},
      {"later within the same second", milliseconds(100), milliseconds(900), false},
      {"one second later", milliseconds(900), milliseconds(1000), true},
      {"older", milliseconds(5000), milliseconds(1000), false},
  };
  for (const char* name : {"plain", "Mess\xe9 \x80"}) {
    const std::string source = PathJoin(dir, std::string(name) + ".test");
    const std::string exported = PathJoin(dir, std::string(name) + ".xml");
    ASSERT_TRUE(WriteFileAtomically(source, std::string("record")));
    ASSERT_TRUE(WriteFileAtomically(exported, std::string("<xml/>")));
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(name) + ": " + c.what);
      SetTime(source, base + c.source);
      SetTime(exported, base + c.export_);
      int64_t seconds = 0;
      ASSERT_TRUE(LastWriteSeconds(exported, seconds));
      EXPECT_EQ(IsStrictlyNewer(exported, source), c.up_to_date);
    }
    int64_t seconds = 0;
    EXPECT_FALSE(LastWriteSeconds(source + ".missing", seconds));
    EXPECT_FALSE(IsStrictlyNewer(exported, source + ".missing"));
    DeleteFileQuietly(exported);
    EXPECT_FALSE(FileExists(exported));
    DeleteFileQuietly(exported);  // already gone: no error
    DeleteFileQuietly("");
  }
}

}  // namespace
}  // namespace kova
