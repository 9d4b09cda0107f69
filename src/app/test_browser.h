#pragma once
// The listing rules of the "Open Test" browser: which files of a folder are
// record files, in which order they are found, and how the rows sort.
//
// Files are looked for with the patterns "*.test", "rec_*.*", "*.txt",
// "*.tst-kova7k", "*.kova" in that order (case-insensitive, as on the
// instrument's home platform). A file is listed when it reads as a record;
// a file matching two patterns is listed once; the remote run's scratch file
// "RunTest.test" never is; at most 500 files are listed. Rows sort on the
// record's real date and time, newest first: the MM/DD/YY text itself does
// not sort across years.
//
// The scan runs in steps so that a window can stay responsive while a large
// folder is read.

#include <cstdint>
#include <string>
#include <vector>

#include "records/test_record.h"

namespace kova {

constexpr int kBrowserMaxFiles = 500;
// The serial number stands beside the file name: it is what names the CT.
constexpr const char* kBrowserColumns =
    "Filename,120;Serial No.,110;Date,150;# Tests,75;Company,150;Station,150;Circuit,150";
constexpr const char* kPleaseSelectTest = "Please select test first";
constexpr const char* kRunTestFileName = "RunTest.test";

struct BrowserColumn {
  std::string name;
  int width = 0;
};
// "Name,width;Name,width;..." into columns; malformed pairs are skipped.
std::vector<BrowserColumn> ParseColumnLayout(const std::string& layout);

struct BrowserRow {
  std::string filename;  // name within the folder
  std::string path;      // folder joined with filename
  std::string datetext;  // the record's date and time as the list shows it
  int64_t datekey = 0;   // YYYYMMDDhhmmss of the record, 0 when unreadable
  int numtests = 0;
  std::string serial, company, station, circuit;
};

// Whether `name` matches a pattern of '*' and '?' (case-insensitive).
bool MatchesPattern(const std::string& name, const std::string& pattern);

// The file-dialog filter that shows every file the browser lists as a
// record: "Test Records|*.test rec_*.* ...||".
std::string RecordFileFilter();

// True when a path names the remote run's scratch file.
bool IsRunTestPath(const std::string& path);

// "MM/DD/YY hh:mm:ss" (or DD/MM/YY when `day_first`) as a sortable number;
// two-digit years below 70 are 20xx. 0 when the text is not such a date.
int64_t DateSortKey(const std::string& datetime, bool day_first);

class RecordFolderScan {
 public:
  // Collects the candidate names of `folder` at once (cheap); reading them
  // happens in Step.
  RecordFolderScan(const std::string& folder, const RecordDefaults& defaults);

  // Reads up to `max_files` more candidates; false when the scan is done.
  bool Step(int max_files);
  bool Done() const;
  // Runs Step until done.
  void RunToEnd();

  const std::vector<BrowserRow>& Rows() const { return rows_; }
  // The rows newest first (stable for equal dates).
  std::vector<BrowserRow> SortedRows() const;
  size_t CandidateCount() const { return candidates_.size(); }

 private:
  std::string folder_;
  RecordDefaults defaults_;
  std::vector<std::string> candidates_;
  size_t next_ = 0;
  std::vector<BrowserRow> rows_;
};

void SortRowsByDateDescending(std::vector<BrowserRow>& rows);

// The browser's OK: `selected` are the row indices the user selected, in
// list order. With none selected the result is empty and `message` is
// "Please select test first". Single mode keeps the first.
std::vector<std::string> AcceptSelection(const std::vector<BrowserRow>& rows,
                                         const std::vector<int>& selected, bool multiple,
                                         std::string& message);

}  // namespace kova
