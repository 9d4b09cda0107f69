#pragma once
// Where a record's assessment profile lives and how it is read: a small
// JSON file beside the record, "<stem>.assess.json", unless one is named;
// with the record library, the text of that file kept for the record's CT.

#include <string>

#include "assess/iec_assessment.h"
#include "records/test_record.h"

namespace kova {

std::string ProfilePathBeside(const std::string& record_path);

enum class ProfileLoad { kLoaded, kMissing, kUnreadable, kInvalid };

// Reads and checks the profile; on failure `why` words the problem.
ProfileLoad LoadAssessmentProfile(const std::string& path, AssessmentProfile& out,
                                  std::string& why);
// Writes it atomically.
bool SaveAssessmentProfile(const std::string& path, const AssessmentProfile& p);

// A profile as it was found for a record.
struct KeptProfile {
  ProfileLoad load = ProfileLoad::kMissing;
  AssessmentProfile profile;
  std::string where;  // the file, or the library, it came from
  std::string why;    // what is wrong with a profile that cannot be used
  bool loaded() const { return load == ProfileLoad::kLoaded; }
};

// The profile file at `path`: kMissing when none is there.
KeptProfile ReadProfileFile(const std::string& path);
// Checks profile text kept elsewhere, naming `where` as where it came from.
KeptProfile ProfileFromText(const std::string& text, const std::string& where);
// The profile beside the record's file; none for a record never saved.
KeptProfile ReadProfileBeside(const TestRecord& rec);

}  // namespace kova
