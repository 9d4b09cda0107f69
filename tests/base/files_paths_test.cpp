#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/file_io.h"
#include "base/native_path.h"
#include "base/path.h"
#include "base/timer.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

TEST(PathJoin, RelativeNamesGoBelowAbsoluteOnesStay) {
  const std::string sep(1, kPathSeparator);
  EXPECT_EQ(PathJoin("/opt/kova", "Tests"), "/opt/kova" + sep + "Tests");
  EXPECT_EQ(PathJoin("/opt/kova/", "Tests"), "/opt/kova/Tests");
  EXPECT_EQ(PathJoin("/opt/kova/", "\\Tests"), "/opt/kova/Tests")
      << "one leading separator dropped";
  EXPECT_EQ(PathJoin("/opt/kova", "D:\\Data\\Tests"), "D:\\Data\\Tests");
  EXPECT_EQ(PathJoin("/opt/kova", "\\\\server\\share"), "\\\\server\\share");
#ifndef _WIN32
  EXPECT_EQ(PathJoin("/opt/kova", "/srv/tests"), "/srv/tests");
#endif
  // "C:" alone is not absolute: it needs more than two characters.
  EXPECT_EQ(PathJoin("/x", "C:"), "/x" + sep + "C:");
}

TEST(PathParts, BothSeparatorsAreAccepted) {
  EXPECT_EQ(FileNameOf("c:\\tests\\a.test"), "a.test");
  EXPECT_EQ(FileNameOf("/tmp/b.test"), "b.test");
  EXPECT_EQ(FileNameOf("plain"), "plain");
  EXPECT_EQ(StemOf("/tmp/rec.001.test"), "rec.001");
  EXPECT_EQ(FolderOf("a/b\\c.txt"), "a/b\\");
}

uint32_t g_now = 0;
uint32_t FakeClock() { return g_now; }

TEST(CTimer, ElapsedSurvivesTheCounterWrapping) {
  CTimer t(&FakeClock);
  g_now = 0xFFFFFF00u;
  t.Start(1000);
  g_now = 0xFFFFFF00u + 1000;  // wraps past zero
  EXPECT_FALSE(t.Expired()) << "exactly the duration is not yet expired";
  g_now += 1;
  EXPECT_TRUE(t.Expired());
  g_now = 0xFFFFFF00u;
  EXPECT_TRUE(t.Expired()) << "expiry latches";
  EXPECT_EQ(t.RemainingMs(), 0u);
}

TEST(AtomicWrite, ReplacesTheFileAndLeavesNoTemporaries) {
  const std::string dir = TempFolder("atomic");
  const std::string path = dir + "/data.bin";
  ASSERT_TRUE(WriteFileAtomically(path, std::string("first")));
  ASSERT_TRUE(WriteFileAtomically(path, std::string("second")));
  std::string back;
  ASSERT_TRUE(ReadFileText(path, back));
  EXPECT_EQ(back, "second");
  int files = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir)) {
    (void)e;
    ++files;
  }
  EXPECT_EQ(files, 1);
}

TEST(AtomicWrite, AFailedWriteKeepsTheOldFile) {
  const std::string dir = TempFolder("atomic-fail");
  const std::string path = dir + "/keep.bin";
  ASSERT_TRUE(WriteFileAtomically(path, std::string("precious")));
  // A folder in the way of the rename: the write must fail and keep nothing
  // half-written.
  const std::string blocked = dir + "/blocked";
  std::filesystem::create_directories(blocked + "/inside");
  EXPECT_FALSE(WriteFileAtomically(blocked, std::string("x")));
  EXPECT_FALSE(WriteFileAtomically(dir + "/missing/file.bin", std::string("x")));
  std::string back;
  ASSERT_TRUE(ReadFileText(path, back));
  EXPECT_EQ(back, "precious");
  int files = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir)) {
    (void)e;
    ++files;
  }
  EXPECT_EQ(files, 2) << "no temporary file left behind";
}

// Names are Windows-1252 text inside the program ("é" is 0xE9, "€" 0x80); on
// Windows they must reach the file system as those characters, whatever the
// PC's code page.
TEST(EightBitNames, FoldersAndFilesKeepTheirNames) {
  const std::string top = TempFolder("eight-bit");
  const std::string dir = PathJoin(top, "Mess\xe9 \x80");
  const std::string path = PathJoin(dir,
                                    "T\xfc"
                                    "1.test");
  ASSERT_TRUE(MakeFolders(dir));
  EXPECT_TRUE(FolderExists(dir));
  ASSERT_TRUE(WriteFileAtomically(path, std::string("one")));
  ASSERT_TRUE(WriteFileAtomically(path, std::string("two")));
  EXPECT_TRUE(FileExists(path));
  std::string back;
  ASSERT_TRUE(ReadFileText(path, back));
  EXPECT_EQ(back, "two");
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(NativePath(dir))) {
    names.push_back(PathText(e.path().filename()));
  }
  EXPECT_EQ(names, std::vector<std::string>{"T\xfc"
                                            "1.test"});
#ifdef _WIN32
  EXPECT_TRUE(std::filesystem::is_regular_file(NativePath(top) / L"Mess\u00e9 \u20ac" /
                                               L"T\u00fc"
                                               L"1.test"));
#endif
}

TEST(ReadFile, RefusesFilesAboveTheLimit) {
  const std::string path = TempFolder("limit") + "/big.bin";
  ASSERT_TRUE(WriteFileAtomically(path, std::string(5000, 'a')));
  std::vector<uint8_t> bytes;
  EXPECT_FALSE(ReadFileBytes(path, bytes, 4999));
  EXPECT_TRUE(ReadFileBytes(path, bytes, 5000));
  EXPECT_EQ(bytes.size(), 5000u);
  EXPECT_FALSE(ReadFileBytes(path + ".none", bytes));
}

}  // namespace
}  // namespace kova
