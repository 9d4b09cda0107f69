#include "assess/profile_file.h"

#include "assess/profile_json.h"
#include "base/file_io.h"
#include "base/path.h"

namespace kova {

std::string ProfilePathBeside(const std::string& record_path) {
  const std::string folder = FolderOf(record_path);
  const std::string name = StemOf(FileNameOf(record_path)) + ".assess.json";
  return folder.empty() ? name : PathJoin(folder, name);
}

ProfileLoad LoadAssessmentProfile(const std::string& path, AssessmentProfile& out,
                                  std::string& why) {
  std::string text;
  FileProblem problem = FileProblem::kNone;
  if (!ReadFileText(path, text, kMaxProfileBytes, &problem)) {
    why = FileProblemText(problem);
    return problem == FileProblem::kMissing ? ProfileLoad::kMissing : ProfileLoad::kUnreadable;
  }
  if (!ParseAssessmentProfile(text, out, why)) return ProfileLoad::kInvalid;
  return ProfileLoad::kLoaded;
}

bool SaveAssessmentProfile(const std::string& path, const AssessmentProfile& p) {
  return WriteFileAtomically(path, AssessmentProfileToJson(p) + "\n");
}

KeptProfile ReadProfileFile(const std::string& path) {
  KeptProfile kept;
  kept.where = path;
  kept.load = LoadAssessmentProfile(path, kept.profile, kept.why);
  return kept;
}

KeptProfile ProfileFromText(const std::string& text, const std::string& where) {
  KeptProfile kept;
  kept.where = where;
  kept.load = ParseAssessmentProfile(text, kept.profile, kept.why) ? ProfileLoad::kLoaded
                                                                   : ProfileLoad::kInvalid;
  return kept;
}

KeptProfile ReadProfileBeside(const TestRecord& rec) {
  if (rec.fullpath.empty()) return {};
  return ReadProfileFile(ProfilePathBeside(rec.fullpath));
}

}  // namespace kova
