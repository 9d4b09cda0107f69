#pragma once
// Stand-ins for the export's platform pieces: a report generator that writes
// a whole PDF (or fails as told), a workbook that saves a marker, and
// pictures that are empty files.

#include <string>
#include <vector>

#include "base/file_io.h"
#include "base/format.h"
#include "base/path.h"
#include "export/export_images.h"
#include "export/process_runner.h"
#include "export/workbook_writer.h"
#include "records/test_record.h"

namespace kova {

constexpr const char* kWholePdf = "%PDF-1.4\n1 0 obj\n%%EOF\n";

// Records its arguments; writes `written` as the PDF when it "succeeds".
class FakeGenerator : public ProcessRunner {
 public:
  ProcessOutcome outcome = ProcessOutcome::kExited;
  int code = 0;
  int runs = 0;
  std::string written = kWholePdf;  // empty: exits 0 without a file
  std::vector<std::string> args;
  std::string program;
  ProcessLimits limits_seen;
  ProcessOutcome Run(const std::string& prog, const std::vector<std::string>& a,
                     const ProcessLimits& limits, int& exit_code) override {
    limits_seen = limits;
    ++runs;
    program = prog;
    args = a;
    exit_code = code;
    if (outcome == ProcessOutcome::kExited && code == 0 && !written.empty()) {
      WriteFileAtomically(a[3], written);
    }
    return outcome;
  }
};

// Saves "PK" and nothing else.
class FakeWorkbook : public WorkbookWriter {
 public:
  void SetCellText(int, int, const std::string&) override {}
  void InsertPicture(int, int, const std::string&, double) override {}
  bool Save(const std::string& path) override { return WriteFileAtomically(path, "PK"); }
};

// The pictures' names as ExportImages gives them, each file holding "BM".
inline bool FakePictures(TestRecord& rec, const std::string& base_path) {
  const std::vector<std::string> names = ImageNames(base_path, rec.UsableTests());
  MakeFolders(FolderOf(base_path));
  for (size_t i = 0; i < names.size(); ++i) {
    if (!WriteFileAtomically(names[i], "BM")) return false;
    if (i == 0)
      rec.imagefile = names[i];
    else
      rec.taps[i - 1].testimagefile = names[i];
  }
  return true;
}

}  // namespace kova
