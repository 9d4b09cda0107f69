// The library as a team's archive: prune keeps what this computer cannot
// see, baselines belong to the content, paths are absolute, cut copies and
// same-stamp rewrites are caught.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "base/file_io.h"
#include "library/library_import.h"
#include "library/library_prune.h"
#include "library_support/library_records.h"
#include "store_fixture.h"

namespace kova {
namespace {
namespace fs = std::filesystem;

std::vector<TestRow> HistoryOf(RecordStore& store, int ct) {
  std::vector<CtInfo> cts;
  std::vector<TestRow> rows;
  EXPECT_TRUE(store.FindCtsBySerial(LibrarySerial(ct), cts).ok());
  if (cts.size() == 1) {
    EXPECT_TRUE(store.History(cts[0].key, "X1-X5", rows).ok());
  }
  return rows;
}

int64_t FilesOf(RecordStore& store) {
  LibraryStats st;
  EXPECT_TRUE(store.Stats(st).ok());
  return st.files;
}

// Two computers filed into one library: A's folder is here, B's share is
// unmounted (an empty mount point) and its other folder missing.
TEST_P(StoreTest, PruneKeepsTheFilesOfFoldersThisComputerCannotSee) {
  const std::string a = folder_ + "/computer-a", b = folder_ + "/computer-b";
  const auto a_files = WriteLibraryRecords(a, {2, 2, 0, ""});
  const auto b_files = WriteLibraryRecords(b + "/share", {2, 2, 10, ""});
  ASSERT_TRUE(fs::copy_file(b_files[0], b + "/share/top.test"));
  ASSERT_EQ(ImportRecordFiles(*store_, {a, b}, {}).added, 8);
  std::string hash, why;
  ASSERT_TRUE(RecordFileHash(b_files[1], hash, why)) << why;
  bool found = false;
  ASSERT_TRUE(store_->SetBaseline(hash, found).ok() && found);

  fs::remove(a_files[0]);
  fs::remove_all(b + "/share");
  fs::create_directories(b + "/share");  // the mount point, empty
  const int64_t b_count = static_cast<int64_t>(b_files.size()) + 1;
  const struct {
    PruneOptions options;
    int64_t removed, kept_unseen;
  } steps[] = {
      {{{a + "/elsewhere"}, false}, 0, 0},
      {{{b}, false}, 0, b_count},
      {{{}, false}, 1, b_count},
      {{{a}, true}, 0, 0},
      {{{b + "/share"}, true}, b_count, 0},
  };
  int64_t files = 1 + static_cast<int64_t>(a_files.size() + b_files.size());
  for (const auto& step : steps) {
    SCOPED_TRACE(step.removed);
    const PruneSummary s = PruneLibrary(*store_, step.options);
    ASSERT_TRUE(s.store.ok()) << s.store.detail;
    EXPECT_EQ(s.removed, step.removed);
    EXPECT_EQ(s.kept_unseen, step.kept_unseen);
    files -= s.removed;
    EXPECT_EQ(FilesOf(*store_), files);
  }
  EXPECT_TRUE(HistoryOf(*store_, 10).empty());
  // Filed again, the record is the baseline it was.
  WriteLibraryRecords(b + "/share", {2, 2, 10, ""});
  ASSERT_EQ(ImportRecordFiles(*store_, {b}, {}).added, 4);
  const auto rows = HistoryOf(*store_, 10);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_FALSE(rows[0].baseline);
  EXPECT_TRUE(rows[1].baseline);
}

// A file given by a relative path is filed under its absolute, normalised
// one; a record that ends early is listed with the byte and not filed, and
// leaves the whole one at its path.
TEST_P(StoreTest, PathsAreAbsoluteAndCutCopiesAreNotFiled) {
  const auto paths = WriteLibraryRecords(folder_ + "/in", {1, 2, 0, ""});
  const fs::path before = fs::current_path();
  fs::current_path(folder_);
  AddResult result;
  std::string why;
  const bool added =
      AddRecordFile(*store_,
                    "./in/../in/" + fs::path(paths[0]).parent_path().filename().string() + "/" +
                        fs::path(paths[0]).filename().string(),
                    {}, result, why)
          .ok();
  fs::current_path(before);
  ASSERT_TRUE(added && why.empty()) << why;
  auto rows = HistoryOf(*store_, 0);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].path, fs::path(paths[0]).lexically_normal().string());

  std::vector<uint8_t> bytes;
  ASSERT_TRUE(ReadFileBytes(paths[0], bytes, 1 << 24));
  bytes.resize(200);
  ASSERT_TRUE(WriteFileAtomically(paths[0], bytes.data(), bytes.size()));
  const ImportSummary s = ImportRecordFiles(*store_, {folder_ + "/in"}, {});
  ASSERT_EQ(s.problems.size(), 1u);
  EXPECT_EQ(s.problems[0].path, paths[0]);
  EXPECT_NE(s.problems[0].reason.find("damaged"), std::string::npos) << s.problems[0].reason;
  EXPECT_NE(s.problems[0].reason.find("byte 200"), std::string::npos) << s.problems[0].reason;
  EXPECT_EQ(s.added, 1);
  rows = HistoryOf(*store_, 0);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].path, paths[0]);  // the whole record is still filed there
  EXPECT_FALSE(AddRecordFile(*store_, paths[0], {}, result, why, false).ok() && why.empty());
  EXPECT_EQ(HistoryOf(*store_, 0).size(), 2u);
}

// Records are all one size: a rewrite within the same second, a swap that
// keeps the time, and a save over a file of equal size and time are each
// read again, and the path maps to the new record only.
TEST_P(StoreTest, ARecordOfEqualSizeAndTimeIsSeenAsChanged) {
  const std::string folder = folder_ + "/in", path = folder + "/one.test";
  std::vector<std::string> sources;
  for (int ct = 1; ct <= 4; ++ct)
    sources.push_back(
        WriteLibraryRecords(folder_ + "/src" + std::to_string(ct), {1, 1, ct, ""})[0]);
  for (const std::string& s : sources) ASSERT_EQ(fs::file_size(s), fs::file_size(sources[0]));
  fs::create_directories(folder);
  ASSERT_TRUE(fs::copy_file(sources[0], path));
  ASSERT_EQ(ImportRecordFiles(*store_, {folder}, {}).added, 1);

  auto rewrite_in_place = [&](const std::string& from, fs::file_time_type time) {
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadFileBytes(from, bytes, 1 << 24));
    std::ofstream(path, std::ios::binary | std::ios::in)
        .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    fs::last_write_time(path, time);
  };
  // The same whole second, another nanosecond.
  const auto t0 = fs::last_write_time(path);
  rewrite_in_place(sources[1], t0 + std::chrono::nanoseconds(1));
  EXPECT_EQ(ImportRecordFiles(*store_, {folder}, {}).added, 1);
  EXPECT_EQ(HistoryOf(*store_, 2).size(), 1u);
  // Another file with the same time swapped in: another inode.
  const auto t1 = fs::last_write_time(path);
  ASSERT_TRUE(fs::copy_file(sources[2], folder + "/swap.tmp"));
  fs::last_write_time(folder + "/swap.tmp", t1);
  fs::rename(folder + "/swap.tmp", path);
  EXPECT_EQ(ImportRecordFiles(*store_, {folder}, {}).added, 1);
  EXPECT_EQ(HistoryOf(*store_, 3).size(), 1u);
  // Saved over with equal size, time and inode: the filing reads it.
  rewrite_in_place(sources[3], fs::last_write_time(path));
  AddResult result;
  std::string why;
  ASSERT_TRUE(AddRecordFile(*store_, path, {}, result, why, false).ok() && why.empty()) << why;
  EXPECT_EQ(result, AddResult::kAdded);
  EXPECT_EQ(HistoryOf(*store_, 4).size(), 1u);
  for (int ct = 1; ct <= 3; ++ct) EXPECT_TRUE(HistoryOf(*store_, ct).empty()) << ct;
  EXPECT_EQ(FilesOf(*store_), 1);
}

// A library of the previous version keeps its baseline (then on the record
// row) and gains the files' inodes.
TEST_P(StoreTest, TheBaselineOfAnOlderLibraryIsKept) {
  const auto paths = WriteLibraryRecords(folder_ + "/in", {1, 2, 0, ""});
  ASSERT_EQ(ImportRecordFiles(*store_, {folder_ + "/in"}, {}).added, 2);
  std::string hash, why;
  ASSERT_TRUE(RecordFileHash(paths[1], hash, why));
  store_.reset();
  {
    auto db = Connect(location_);
    ASSERT_TRUE(db);
    for (const char* sql : {"DROP TABLE ct_baselines", "ALTER TABLE files DROP COLUMN inode",
                            "UPDATE library_meta SET value = '3' WHERE name = 'schema_version'"})
      ASSERT_TRUE(db->Exec(sql)) << sql << ": " << db->LastErrorText();
    ASSERT_TRUE(db->Exec("UPDATE records SET baseline = 1 WHERE content_hash = ?", {hash}));
  }
  store_ = OpenStore(location_);
  ASSERT_TRUE(store_);
  const auto rows = HistoryOf(*store_, 0);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_TRUE(rows[1].baseline);
  EXPECT_EQ(ImportRecordFiles(*store_, {folder_ + "/in"}, {}).unchanged, 2);
  EXPECT_EQ(ImportRecordFiles(*store_, {folder_ + "/in"}, {}).unchanged, 2);
}

// A knee the instrument did not find is no number on both databases, not 0
// nor "nan"; a search past the limit is refused with words that say so.
TEST_P(StoreTest, NoNumberStaysNoNumberAndLongSearchesAreRefused) {
  RecordEntry e;
  e.identity = {"hash-nan", folder_ + "/nan.test", 1, 1, 1};
  e.ct.key = "K|NAN";
  e.ct.serialnumber = "NAN1";
  e.ct.manufacturer = "M";
  e.test_date = "2020-01-01 00:00:00";
  TestRow t;
  t.tap = "X1-X5";
  t.knee10_v = std::nan("");
  t.knee30_v = 12.5;
  t.rct75 = std::nan("");
  e.tests = {t};
  AddResult result;
  ASSERT_TRUE(store_->AddRecord(e, result).ok());
  std::vector<CtInfo> cts;
  ASSERT_TRUE(store_->FindCtsBySerial("NAN1", cts).ok());
  ASSERT_EQ(cts.size(), 1u);
  std::vector<TestRow> rows;
  ASSERT_TRUE(store_->History(cts[0].key, "X1-X5", rows).ok());
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_TRUE(std::isnan(rows[0].knee10_v));
  EXPECT_TRUE(std::isnan(rows[0].rct75));
  EXPECT_EQ(rows[0].knee30_v, 12.5);

  EXPECT_TRUE(store_->SearchCts(std::string(1000, 'x'), 10, cts).ok());
  const StoreOutcome refused = store_->SearchCts(std::string(100000, '%'), 10, cts);
  EXPECT_EQ(refused.detail, "The search text is longer than 1000 characters");
}

}  // namespace
}  // namespace kova
