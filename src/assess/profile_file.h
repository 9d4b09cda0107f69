#pragma once
// Where a record's assessment profile lives and how it is read: a small
// JSON file beside the record, "<stem>.assess.json", unless one is named.

#include <string>

#include "assess/iec_assessment.h"

namespace kova {

std::string ProfilePathBeside(const std::string& record_path);

enum class ProfileLoad { kLoaded, kMissing, kUnreadable, kInvalid };

// Reads and checks the profile; on failure `why` words the problem.
ProfileLoad LoadAssessmentProfile(const std::string& path, AssessmentProfile& out,
                                  std::string& why);
// Writes it atomically.
bool SaveAssessmentProfile(const std::string& path, const AssessmentProfile& p);

}  // namespace kova
