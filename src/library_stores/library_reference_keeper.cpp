#include "library_stores/library_reference_keeper.h"

#include "app/sister_records.h"
#include "base/path.h"
#include "library/library_references.h"
#include "library/store_messages.h"
#include "library_stores/open_library.h"

namespace kova {

namespace {

class LibraryWhenThere : public ReferenceKeeper {
 public:
  LibraryWhenThere(std::string location, const LibraryWaits& waits)
      : location_(std::move(location)), waits_(waits) {}

  KeptReference Find(const TestRecord& rec) override {
    if (Open()) return library_->Find(rec);
    KeptReference kept = beside_.Find(rec);
    if (kept.state == KeptReference::State::kNone && !failure_.empty()) {
      kept.state = KeptReference::State::kUnusable;
      kept.where = kReferenceInLibrary;
      kept.why = failure_;
    }
    return kept;
  }

  bool Keep(const TestRecord& rec, const ReferenceCurve& ref, std::string& where,
            std::string& why) override {
    if (Open()) return library_->Keep(rec, ref, where, why);
    if (failure_.empty()) return beside_.Keep(rec, ref, where, why);
    why = failure_;  // never beside the record while a library is meant
    return false;
  }

  KeptProfile FindProfile(const TestRecord& rec) override {
    if (Open()) return library_->FindProfile(rec);
    KeptProfile kept = beside_.FindProfile(rec);
    if (kept.load == ProfileLoad::kMissing && !failure_.empty()) {
      kept.load = ProfileLoad::kUnreadable;
      kept.where = kReferenceInLibrary;
      kept.why = failure_;
    }
    return kept;
  }

  bool KeepProfile(const TestRecord& rec, const AssessmentProfile& profile, std::string& where,
                   std::string& why) override {
    if (Open()) return library_->KeepProfile(rec, profile, where, why);
    if (failure_.empty()) return beside_.KeepProfile(rec, profile, where, why);
    why = failure_;
    return false;
  }

  // Test 1, as the report's first test page: the library knows the
  // station and circuit, the sisters are read from their files.
  SisterComparison FindSisters(const TestRecord& rec, const ComparisonBands& bands) override {
    if (!Open() || rec.numtests <= 0) return {};
    SisterRecords sisters;
    const StoreOutcome outcome =
        LoadSisterRecords(*store_, rec, 1, bands.sister_span_days, RecordDefaults{}, sisters);
    if (!outcome.ok() || sisters.records.empty()) return {};
    return CompareWithSisters(rec, FileNameOf(rec.fullpath), 1, sisters, bands);
  }

 private:
  // The library once it is there (a first save may make it while the
  // program runs); false until then, or when it cannot be opened.
  bool Open() {
    if (!library_ && failure_.empty()) {
      StoreOutcome outcome;
      store_ = OpenLibrary(location_, outcome, LibraryUse::kChange, waits_);
      if (store_) {
        library_ = std::make_unique<LibraryReferences>(*store_);
      } else if (outcome.status != StoreStatus::kMissing) {
        failure_ = StoreOutcomeText(outcome);
      }
    }
    return library_ != nullptr;
  }

  std::string location_;
  LibraryWaits waits_;
  std::unique_ptr<SqlRecordStore> store_;
  std::unique_ptr<LibraryReferences> library_;
  BesideRecordReferences beside_;
  std::string failure_;
};

}  // namespace

std::shared_ptr<ReferenceKeeper> ReferenceKeeperFor(const SettingsStore& settings) {
  return std::make_shared<LibraryWhenThere>(ConfiguredLibraryLocation(settings),
                                            LoadLibrarySettings(settings).waits);
}

}  // namespace kova
