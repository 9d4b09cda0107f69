#pragma once
// Where a CT's reference curve and its assessment profile are kept. Without
// the record library each is a file beside the record ("<stem>.reference.csv",
// "<stem>.assess.json"); with the library they belong to the CT
// (manufacturer + serial), so every record of that CT finds them. The report,
// the CLI and the desktop ask a keeper, never a path.

#include <string>

#include "assess/comparisons.h"
#include "assess/profile_file.h"
#include "assess/reference_curve.h"
#include "records/test_record.h"

namespace kova {

struct KeptReference {
  enum class State { kNone, kLoaded, kUnusable };
  State state = State::kNone;
  ReferenceCurve curve;
  std::string where;  // the file, or the library, it came from
  std::string why;    // kUnusable: what is wrong with it; kNone: may say why none applies
  bool loaded() const { return state == State::kLoaded; }
};

// Reads `path` as a reference curve: kNone when no file is there.
KeptReference ReadReferenceFile(const std::string& path);
// Checks text read from outside as a reference curve, naming `where` in
// the reason when it is not one.
KeptReference ReferenceFromText(const std::string& text, const std::string& where);

class ReferenceKeeper {
 public:
  virtual ~ReferenceKeeper() = default;
  // The reference of the CT `rec` was made on.
  virtual KeptReference Find(const TestRecord& rec) = 0;
  // Keeps `ref` for that CT; `where` says where it went. False with `why`.
  virtual bool Keep(const TestRecord& rec, const ReferenceCurve& ref, std::string& where,
                    std::string& why) = 0;
  // The assessment profile of that CT; a keeper without a library of its
  // own reads and writes the file beside the record.
  virtual KeptProfile FindProfile(const TestRecord& rec);
  virtual bool KeepProfile(const TestRecord& rec, const AssessmentProfile& profile,
                           std::string& where, std::string& why);
  // The record's first test against its sister phases (the other CTs of its
  // station and circuit); no rows when the keeper knows of none: only a
  // library knows which CTs are sisters.
  virtual SisterComparison FindSisters(const TestRecord& rec, const ComparisonBands& bands) {
    (void)rec;
    (void)bands;
    return {};
  }
};

// The file beside the record's file (a record never saved has none).
class BesideRecordReferences : public ReferenceKeeper {
 public:
  KeptReference Find(const TestRecord& rec) override;
  bool Keep(const TestRecord& rec, const ReferenceCurve& ref, std::string& where,
            std::string& why) override;
};

}  // namespace kova
