#include "report/report_document.h"

#include "analysis/read_record.h"
#include "report/calc_details_page.h"
#include "report/display_test.h"

namespace kova {

ReportDocument::ReportDocument() : keeper_(std::make_shared<BesideRecordReferences>()) {
  for (auto& r : records_) r = std::make_unique<TestRecord>();
}

void ReportDocument::SetReferenceKeeper(std::shared_ptr<ReferenceKeeper> keeper) {
  keeper_ = keeper ? std::move(keeper) : std::make_shared<BesideRecordReferences>();
}

ReportDocument::ReportDocument(const ReportDocument& other) : ReportDocument() { *this = other; }

ReportDocument& ReportDocument::operator=(const ReportDocument& other) {
  if (this == &other) return *this;
  loaded_ = other.loaded_;
  overlaycount_ = other.overlaycount_;
  for (int i = 0; i < kMaxRecords; ++i) *records_[i] = *other.records_[i];
  pages_ = other.pages_;
  currentpage_ = other.currentpage_;
  defaults_ = other.defaults_;
  bands_ = other.bands_;
  keeper_ = other.keeper_;
  for (int i = 0; i < kMaxRecords; ++i) contexts_[i] = other.contexts_[i];
  details_shown_ = other.details_shown_;
  details_lines_ = other.details_lines_;
  assessment_ = other.assessment_;
  fit_ = other.fit_;
  return *this;
}

void ReportDocument::Clear() {
  loaded_ = false;
  overlaycount_ = 0;
  for (auto& r : records_) r->ResetRecord(defaults_);
  pages_.clear();
  currentpage_ = 0;
  for (auto& c : contexts_) c = {};
  details_lines_.clear();
  assessment_ = AssessmentPage();
  fit_ = Fit();
}

bool ReportDocument::OpenFiles(const std::vector<std::string>& paths, std::string* failed,
                               std::string* why) {
  Clear();
  if (paths.empty() || paths.size() > static_cast<size_t>(kMaxRecords)) return false;
  for (size_t i = 0; i < paths.size(); ++i) {
    if (!ReadRecordFile(*records_[i], paths[i], defaults_, why)) {
      if (failed) *failed = paths[i];
      Clear();
      return false;
    }
  }
  overlaycount_ = paths.size() == 1 ? 0 : static_cast<int>(paths.size());
  loaded_ = true;
  GatherKept();
  return true;
}

bool ReportDocument::SetRecords(const std::vector<TestRecord>& records) {
  Clear();
  if (records.empty() || records.size() > static_cast<size_t>(kMaxRecords)) return false;
  for (size_t i = 0; i < records.size(); ++i) *records_[i] = records[i];
  overlaycount_ = records.size() == 1 ? 0 : static_cast<int>(records.size());
  loaded_ = true;
  GatherKept();
  return true;
}

const TestRecord& ReportDocument::Record(int i) const {
  if (i < 0 || i >= kMaxRecords) i = 0;
  return *records_[i];
}

TestRecord& ReportDocument::MutableRecord(int i) {
  if (i < 0 || i >= kMaxRecords) i = 0;
  return *records_[i];
}

namespace {

// The reference an overlay shows: the one every overlaid record finds.
void ShareReference(RecordContext* contexts, int count) {
  const KeptReference first = contexts[0].reference;
  if (count < 2) return;
  const std::string text = first.loaded() ? ReferenceCsv(first.curve) : std::string();
  for (int i = 1; i < count; ++i) {
    const KeptReference& other = contexts[i].reference;
    const std::string other_text = other.loaded() ? ReferenceCsv(other.curve) : std::string();
    if (first.state != KeptReference::State::kUnusable && other_text != text) {
      KeptReference none;
      none.why = "the overlaid records do not share one reference curve";
      for (int j = 0; j < count; ++j) contexts[j].reference = none;
      return;
    }
  }
  for (int i = 1; i < count; ++i) contexts[i].reference = first;
}

}  // namespace

const RecordContext& ReportDocument::context(int i) const {
  if (i < 0 || i >= kMaxRecords) i = 0;
  return contexts_[i];
}

void ReportDocument::GatherKept() {
  for (auto& c : contexts_) c = {};
  if (loaded_) {
    for (int i = 0; i < RecordCount(); ++i) {
      contexts_[i] = GatherRecordContext(*records_[i], *keeper_, bands_);
    }
    ShareReference(contexts_, RecordCount());
  }
  BuildPageList();
}

void ReportDocument::ShowCalculationDetails(bool shown) {
  if (shown == details_shown_) return;
  details_shown_ = shown;
  BuildPageList();
}

void ReportDocument::BuildPageList() {
  details_lines_.clear();
  assessment_ = AssessmentPage();
  if (!loaded_) {
    pages_.clear();
    currentpage_ = 0;
    fit_ = Fit();
    return;
  }
  ReportExtras extras;
  if (overlaycount_ == 0 && contexts_[0].HasKept()) {
    assessment_ = AssessmentPageOf(*records_[0], contexts_[0]);
    extras.assessment_page = true;
  }
  if (details_shown_) {
    if (overlaycount_ == 0) {
      details_lines_ = CalculationDetailsLines(*records_[0], contexts_[0]);
    } else {
      std::vector<const TestRecord*> recs;
      for (int i = 0; i < RecordCount(); ++i) recs.push_back(records_[i].get());
      details_lines_ = OverlayDetailsLines(
          recs, std::vector<RecordContext>(contexts_, contexts_ + RecordCount()));
    }
    extras.details_pages = DetailsPageCount(details_lines_);
  }
  pages_ = kova::BuildPageList(*records_[0], overlaycount_, extras);
  if (currentpage_ >= pagecount()) currentpage_ = pagecount() > 0 ? pagecount() - 1 : 0;
  fit_ = Fit();
}

void ReportDocument::FitPages(Surface& surface, const Rect& page, bool printing) {
  if (!loaded_) return;
  const ReportPage current = pages_.empty() ? ReportPage{} : pages_[currentpage_];
  std::vector<ReportPage> fitted;
  int now = 0;
  CDisplayTest painter;
  painter.Setup(&surface, *records_[0], printing, this);
  for (int i = 0; i < pagecount(); ++i) {
    const ReportPage entry = pages_[i];
    if (entry.part != 0) continue;
    const int parts = painter.PartsOf(page, i);
    for (int p = 0; p < parts; ++p) {
      const ReportPage added{entry.test, entry.kind, p};
      // The current part, or the last one this page still has.
      if (added == current || (p == parts - 1 && current.test == entry.test &&
                               current.kind == entry.kind && current.part > p)) {
        now = static_cast<int>(fitted.size());
      }
      fitted.push_back(added);
    }
  }
  pages_ = std::move(fitted);
  currentpage_ = now;
  fit_ = {true, page, printing};
}

bool ReportDocument::FittedFor(const Rect& page, bool printing) const {
  return fit_.done && fit_.printing == printing && fit_.page.left == page.left &&
         fit_.page.top == page.top && fit_.page.right == page.right &&
         fit_.page.bottom == page.bottom;
}

bool ReportDocument::PreviousPage() { return GoToPage(currentpage_ - 1); }
bool ReportDocument::NextPage() { return GoToPage(currentpage_ + 1); }
bool ReportDocument::FirstPage() { return GoToPage(0); }
bool ReportDocument::LastPage() { return GoToPage(pagecount() - 1); }

bool ReportDocument::GoToPage(int index) {
  if (!loaded_ || index < 0 || index >= pagecount() || index == currentpage_) return false;
  currentpage_ = index;
  return true;
}

}  // namespace kova
