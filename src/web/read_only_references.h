#pragma once
// The reference curves, profiles and sister phases a record's report shows,
// found through the library's reader: the web pages show what is kept and
// never keep anything.

#include "assess/reference_keeper.h"
#include "library/record_store.h"

namespace kova {

class ReadOnlyReferences : public ReferenceKeeper {
 public:
  explicit ReadOnlyReferences(RecordReader& store) : store_(store) {}
  KeptReference Find(const TestRecord& rec) override;
  bool Keep(const TestRecord& rec, const ReferenceCurve& ref, std::string& where,
            std::string& why) override;
  KeptProfile FindProfile(const TestRecord& rec) override;
  bool KeepProfile(const TestRecord& rec, const AssessmentProfile& profile, std::string& where,
                   std::string& why) override;
  SisterComparison FindSisters(const TestRecord& rec, const ComparisonBands& bands) override;

 private:
  RecordReader& store_;
};

}  // namespace kova
