#include "assess/reference_keeper.h"

#include "assess/profile_json.h"
#include "base/codepage.h"
#include "base/file_io.h"

namespace kova {

KeptReference ReferenceFromText(const std::string& text, const std::string& where) {
  KeptReference kept;
  kept.where = where;
  std::string why;
  if (ParseReferenceCsv(text, kept.curve, why)) {
    kept.state = KeptReference::State::kLoaded;
  } else {
    kept.state = KeptReference::State::kUnusable;
    kept.why = "not a reference curve: " + why;
  }
  return kept;
}

KeptReference ReadReferenceFile(const std::string& path) {
  KeptReference kept;
  kept.where = path;
  if (path.empty()) return kept;
  std::string text;
  FileProblem problem = FileProblem::kNone;
  if (!ReadFileText(path, text, kMaxReferenceBytes, &problem)) {
    if (problem == FileProblem::kMissing) return kept;  // none kept there
    kept.state = KeptReference::State::kUnusable;
    kept.why = FileProblemText(problem);
    return kept;
  }
  return ReferenceFromText(text, path);
}

KeptProfile ReferenceKeeper::FindProfile(const TestRecord& rec) { return ReadProfileBeside(rec); }

bool ReferenceKeeper::KeepProfile(const TestRecord& rec, const AssessmentProfile& profile,
                                  std::string& where, std::string& why) {
  if (rec.fullpath.empty()) {
    why = "the record is not saved in a file";
    return false;
  }
  where = ProfilePathBeside(rec.fullpath);
  std::string detail;
  if (WriteFileAtomically(where, AssessmentProfileToJson(profile) + "\n", &detail)) return true;
  why = "cannot write \"" + SystemNameToCp1252(where) + "\": " + detail;
  return false;
}

KeptReference BesideRecordReferences::Find(const TestRecord& rec) {
  if (rec.fullpath.empty()) return {};
  return ReadReferenceFile(ReferencePathBeside(rec.fullpath));
}

bool BesideRecordReferences::Keep(const TestRecord& rec, const ReferenceCurve& ref,
                                  std::string& where, std::string& why) {
  if (rec.fullpath.empty()) {
    why = "the record is not saved in a file";
    return false;
  }
  where = ReferencePathBeside(rec.fullpath);
  std::string detail;
  if (WriteFileAtomically(where, ReferenceCsv(ref), &detail)) return true;
  why = "cannot write \"" + SystemNameToCp1252(where) + "\": " + detail;
  return false;
}

}  // namespace kova
