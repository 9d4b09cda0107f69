#pragma once
// Reference curves and assessment profiles kept in the record library, one
// of each per CT (manufacturer + serial number), so every record of that CT
// finds the one kept for any of them. A CT the library keeps none for still
// finds a file beside the record, as kept before a library was in use; a
// record without a serial number cannot name its CT and keeps its own
// beside itself.

#include "assess/reference_keeper.h"
#include "library/record_store.h"

namespace kova {

class LibraryReferences : public ReferenceKeeper {
 public:
  explicit LibraryReferences(RecordStore& store) : store_(store) {}
  KeptReference Find(const TestRecord& rec) override;
  bool Keep(const TestRecord& rec, const ReferenceCurve& ref, std::string& where,
            std::string& why) override;
  KeptProfile FindProfile(const TestRecord& rec) override;
  bool KeepProfile(const TestRecord& rec, const AssessmentProfile& profile, std::string& where,
                   std::string& why) override;

 private:
  RecordStore& store_;
  BesideRecordReferences beside_;
};

// The words naming the library as where a reference or a profile is kept.
constexpr const char* kReferenceInLibrary = "the record library";

}  // namespace kova
