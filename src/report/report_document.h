#pragma once
// What a report shows: one record, or two or three records overlaid, with
// the page list built from the first record and the page being shown. The
// desktop program's document, the CLI and the printing all use this.

#include <memory>
#include <string>
#include <vector>

#include "assess/comparisons.h"
#include "assess/reference_keeper.h"
#include "records/test_record.h"
#include "report/assessment_page.h"
#include "report/record_context.h"
#include "report/report_page.h"
#include "report/surface.h"

namespace kova {

class ReportDocument {
 public:
  static constexpr int kMaxRecords = 3;

  ReportDocument();
  ReportDocument(const ReportDocument& other);
  ReportDocument& operator=(const ReportDocument& other);

  // Reads one record file, or two or three as an overlay; builds the page
  // list and shows the first page. False (document left empty) when a file
  // cannot be read; `failed` then names it and `why` says what was wrong.
  bool OpenFiles(const std::vector<std::string>& paths, std::string* failed = nullptr,
                 std::string* why = nullptr);
  // The user's preferences the reads decode with.
  void SetRecordDefaults(const RecordDefaults& defaults) { defaults_ = defaults; }
  // The bands the calculation details flag the comparisons with; set
  // before opening, as the page count depends on them.
  void SetComparisonBands(const ComparisonBands& bands) { bands_ = bands; }
  const ComparisonBands& bands() const { return bands_; }
  // Where the CT's reference curve is kept (beside the record unless set);
  // set before opening: it is asked once per opened record.
  void SetReferenceKeeper(std::shared_ptr<ReferenceKeeper> keeper);
  ReferenceKeeper& reference_keeper() const { return *keeper_; }
  // What is kept for record i (0..2) as gathered when it was opened; for an
  // overlay the reference is the one every record finds (else none, and
  // `why` says so).
  const RecordContext& context(int i = 0) const;
  // The reference of the record's CT as gathered when it was opened.
  const KeptReference& reference() const { return context(0).reference; }
  // After a profile or reference curve was kept for the record: gathers
  // what is kept again and builds the page list.
  void GatherKept();
  // The "Calculation details" pages after the report's own pages: off
  // unless asked for. Changing it builds the page list again.
  void ShowCalculationDetails(bool shown);
  bool calculation_details_shown() const { return details_shown_; }
  // The lines of the "Calculation details" pages, as the page list was
  // built; empty while they are not shown.
  const std::vector<std::string>& details_lines() const { return details_lines_; }
  // The content of the "Assessment" page, as the page list was built; the
  // page is in the list only for a single record with a profile or a
  // reference curve kept for it.
  const AssessmentPage& assessment_page() const { return assessment_; }
  // The same from records already in memory (1 to 3).
  bool SetRecords(const std::vector<TestRecord>& records);
  void Clear();

  bool loaded() const { return loaded_; }
  // 0 for a single record, 2 or 3 for an overlay.
  int overlaycount() const { return overlaycount_; }
  int RecordCount() const { return overlaycount_ == 0 ? (loaded_ ? 1 : 0) : overlaycount_; }
  // Record i (0..2); an empty record for an index not in use.
  const TestRecord& Record(int i) const;
  TestRecord& MutableRecord(int i);

  // Rebuilds the page list from the first record, after opening and after
  // a test was edited; keeps the current page when it still exists.
  void BuildPageList();
  const std::vector<ReportPage>& pages() const { return pages_; }

  // Lays the page list out for pages of `page` size drawn on `surface`
  // (its fonts decide where text wraps): a page whose text block does not
  // fit is followed by continuation pages of its kind. The current page
  // stays on its entry. BuildPageList undoes it.
  void FitPages(Surface& surface, const Rect& page, bool printing);
  // True when the list is laid out for this size and mode.
  bool FittedFor(const Rect& page, bool printing) const;
  int pagecount() const { return static_cast<int>(pages_.size()); }

  int currentpage() const { return currentpage_; }
  // Page Up / Page Down / Home / End: true when the page changed.
  bool PreviousPage();
  bool NextPage();
  bool FirstPage();
  bool LastPage();
  bool GoToPage(int index);

 private:
  bool loaded_ = false;
  int overlaycount_ = 0;
  std::unique_ptr<TestRecord> records_[kMaxRecords];
  std::vector<ReportPage> pages_;
  int currentpage_ = 0;
  struct Fit {
    bool done = false;
    Rect page;
    bool printing = false;
  } fit_;
  RecordDefaults defaults_;
  ComparisonBands bands_;
  std::shared_ptr<ReferenceKeeper> keeper_;
  RecordContext contexts_[kMaxRecords];
  bool details_shown_ = false;
  std::vector<std::string> details_lines_;
  AssessmentPage assessment_;
};

}  // namespace kova
