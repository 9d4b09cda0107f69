#include "web/read_only_references.h"

#include "app/sister_records.h"
#include "assess/profile_json.h"
#include "base/path.h"
#include "library/library_references.h"
#include "library/store_messages.h"

namespace kova {

namespace {

constexpr const char* kNothingKept = "The web pages of the library only show what is kept";

std::string KeyOf(const TestRecord& rec) { return CtKey(rec.manufacturer, rec.serialnumber); }

}  // namespace

KeptReference ReadOnlyReferences::Find(const TestRecord& rec) {
  KeptReference kept;
  std::string text;
  bool found = false;
  const StoreOutcome outcome = store_.FindReference(KeyOf(rec), text, found);
  if (!outcome.ok()) {
    kept.state = KeptReference::State::kUnusable;
    kept.where = kReferenceInLibrary;
    kept.why = StoreOutcomeText(outcome);
    return kept;
  }
  return found ? ReferenceFromText(text, kReferenceInLibrary) : kept;
}

bool ReadOnlyReferences::Keep(const TestRecord&, const ReferenceCurve&, std::string&,
                              std::string& why) {
  why = kNothingKept;
  return false;
}

KeptProfile ReadOnlyReferences::FindProfile(const TestRecord& rec) {
  KeptProfile kept;
  std::string text;
  bool found = false;
  const StoreOutcome outcome = store_.FindProfile(KeyOf(rec), text, found);
  if (!outcome.ok()) {
    kept.load = ProfileLoad::kUnreadable;
    kept.where = kReferenceInLibrary;
    kept.why = StoreOutcomeText(outcome);
    return kept;
  }
  return found ? ProfileFromText(text, kReferenceInLibrary) : kept;
}

bool ReadOnlyReferences::KeepProfile(const TestRecord&, const AssessmentProfile&, std::string&,
                                     std::string& why) {
  why = kNothingKept;
  return false;
}

SisterComparison ReadOnlyReferences::FindSisters(const TestRecord& rec,
                                                 const ComparisonBands& bands) {
  if (rec.numtests <= 0) return {};
  SisterRecords sisters;
  const StoreOutcome outcome =
      LoadSisterRecords(store_, rec, 1, bands.sister_span_days, RecordDefaults{}, sisters);
  if (!outcome.ok() || sisters.records.empty()) return {};
  return CompareWithSisters(rec, FileNameOf(rec.fullpath), 1, sisters, bands);
}

}  // namespace kova
