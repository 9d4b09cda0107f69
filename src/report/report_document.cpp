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
  reference_ = other.reference_;
  details_lines_ = other.details_lines_;
  fit_ = other.fit_;
  return *this;
}

void ReportDocument::Clear() {
  loaded_ = false;
  overlaycount_ = 0;
  for (auto& r : records_) r->ResetRecord(defaults_);
  pages_.clear();
  currentpage_ = 0;
  reference_ = {};
  details_lines_.clear();
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
  BuildPageList();
  return true;
}

bool ReportDocument::SetRecords(const std::vector<TestRecord>& records) {
  Clear();
  if (records.empty() || records.size() > static_cast<size_t>(kMaxRecords)) return false;
  for (size_t i = 0; i < records.size(); ++i) *records_[i] = records[i];
  overlaycount_ = records.size() == 1 ? 0 : static_cast<int>(records.size());
  loaded_ = true;
  BuildPageList();
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
KeptReference SharedReference(ReferenceKeeper& keeper, const std::vector<const TestRecord*>& recs) {
  KeptReference first = keeper.Find(*recs[0]);
  if (recs.size() < 2 || first.state == KeptReference::State::kUnusable) return first;
  const std::string text = first.loaded() ? ReferenceCsv(first.curve) : std::string();
  for (size_t i = 1; i < recs.size(); ++i) {
    const KeptReference other = keeper.Find(*recs[i]);
    const std::string other_text = other.loaded() ? ReferenceCsv(other.curve) : std::string();
    if (other_text != text) {
      KeptReference none;
      none.why = "the overlaid records do not share one reference curve";
      return none;
    }
  }
  return first;
}

}  // namespace

void ReportDocument::BuildPageList() {
  reference_ = {};
  details_lines_.clear();
  if (!loaded_) {
    pages_.clear();
    currentpage_ = 0;
    fit_ = Fit();
    return;
  }
  std::vector<const TestRecord*> recs;
  for (int i = 0; i < RecordCount(); ++i) recs.push_back(records_[i].get());
  reference_ = SharedReference(*keeper_, recs);
  details_lines_ = overlaycount_ == 0 ? CalculationDetailsLines(*records_[0], bands_, reference_)
                                      : OverlayDetailsLines(recs, bands_, reference_);
  pages_ = kova::BuildPageList(*records_[0], overlaycount_, DetailsPageCount(details_lines_));
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
