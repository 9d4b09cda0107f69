#pragma once
// A document of the desktop program: one test record, or an overlay of two
// or three, with the report's page list and the page shown. It carries the
// rules of opening, saving, closing and unloading: a record changed since it
// was opened or saved is offered for saving before it goes, and the remote
// run's scratch file "RunTest.test" is offered a name of its own.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/save_record.h"
#include "base/prompter.h"
#include "records/test_record.h"
#include "report/report_document.h"

namespace kova {

constexpr const char* kOverwriteQuestion = "Do you want to overwrite file";
constexpr const char* kOverwriteNoMeans = "(No chooses another name.)";
// "Do you want to overwrite file <name>?" and what No does.
std::string OverwriteQuestion(const std::string& path);
constexpr const char* kSaveChangesQuestion = "Save changes to %s?";
constexpr const char* kRunTestNotSaved = "This test has not been saved under a name of its own.";
constexpr const char* kSaveUnderANameQuestion = "Save it under a name now?";
// "Unable to save <path>: <reason>."
constexpr const char* kUnableToSave = "Unable to save %s: %s.";
constexpr int kMaxOverlay = 3;

class RecordDocument {
 public:
  // What a document needs from the program around it.
  struct Services {
    Prompter* prompter = nullptr;
    // The record folder the save dialog starts in (`filepath`).
    std::function<std::string()> record_folder;
    // Automatic export of a record opened alone (renews only stale exports),
    // with what was gathered for it on opening.
    std::function<void(TestRecord&, const RecordContext&)> export_opened;
    // The automatic export that follows every save; none when null.
    RecordExporter* exporter = nullptr;
    // The user's preferences every read decodes with.
    RecordDefaults defaults;
    // Told of every file opened or saved (the recent-file list).
    std::function<void(const std::string&)> file_used;
    // The bands the comparisons on the calculation details pages flag with.
    ComparisonBands bands;
    // Where the CTs' reference curves are kept; beside the records when null.
    std::shared_ptr<ReferenceKeeper> references;
    // The calculation details pages follow the report's own pages.
    bool calculation_details = false;
  };

  explicit RecordDocument(Services services);
  ~RecordDocument();

  // Opens one record file; false leaves the document empty, with the
  // reason in `why` ("no such file", "the file is empty", ...).
  bool Open(const std::string& path, std::string* why = nullptr);
  // Opens 2 or 3 record files as an overlay (no automatic export). Stops at
  // the first file that does not read (named in `failed`, with `why`);
  // false leaves the document empty.
  bool OpenOverlay(const std::vector<std::string>& paths, std::string* failed = nullptr,
                   std::string* why = nullptr);

  // Saves record 0 to `path`. A "RunTest.test" path first asks for a name;
  // an existing chosen name asks "Do you want to overwrite file" (Yes
  // continues, No asks again, Cancel gives up). Saving to the document's own
  // path does not ask. A file that cannot be written is said, with the
  // reason, and the document stays changed. False when nothing was saved.
  bool Save(const std::string& path);
  // The "Save As" dialog, then Save. A name without extension takes the
  // document's own (a download stays a download).
  bool SaveAs();
  // Whether the document may be closed or emptied. Unsaved changes ask
  // "Save changes to %s?" (Yes saves, No drops them, Cancel keeps); a remote
  // run's scratch result says it has no name of its own and offers one.
  // False keeps the document as it is: Cancel, or a save that failed.
  bool ConfirmClose();
  // Empties the document after ConfirmClose; false when it was kept.
  bool Unload();

  // Changes to record 0 (the record dialogs): `edit` returns true when its
  // dialog was left with OK; then the document is marked changed, otherwise
  // the record is put back exactly as it was. The pages are built again.
  void EditRecord(const std::function<bool(TestRecord&)>& edit);
  bool modified() const { return modified_; }
  void MarkModified() { modified_ = true; }

  // Paging; true when the page changed.
  bool PageUp();
  bool PageDown();
  bool FirstPage();
  bool LastPage();
  // After a profile or reference curve was kept for the record: what is
  // kept is gathered again and the page list built again.
  void RebuildPages();

  bool loaded() const { return report_.loaded(); }
  int overlaycount() const { return report_.overlaycount(); }
  bool IsOverlay() const { return report_.overlaycount() >= 2; }
  int currentpage() const { return report_.currentpage(); }
  int pagecount() const { return report_.pagecount(); }
  const std::string& path() const { return path_; }
  // Number of records held: 1, 2 or 3 (0 when empty).
  int RecordCount() const { return report_.RecordCount(); }
  TestRecord& record(int i) { return report_.MutableRecord(i); }
  const TestRecord& record(int i) const { return report_.Record(i); }
  // The records with their page list, as the report code draws and prints them.
  const ReportDocument& report() const { return report_; }
  // The view lays the page list out for its size (ReportDocument::FitPages).
  ReportDocument& report() { return report_; }

 private:
  bool ChooseSaveName(std::string& path);

  Services services_;
  ReportDocument report_;
  std::string path_;
  bool modified_ = false;
};

}  // namespace kova
