#pragma once
// A folder of our own for the intermediate files of one operation (the
// pictures and the XML the report generator reads, the generator's PDF
// before it is checked): made new with a unique name and owner-only access
// in the system's temporary folder, and removed with everything in it when
// the operation ends, on every path. A user's file of the same name as an
// intermediate is never touched.
//
// The name carries the process id ("kova-<tag>-p<pid>-XXXXXX"), so that a
// folder left behind by a process that was killed (kill -9, a power cut)
// is recognised and removed when the next one is made.

#include <string>

namespace kova {

class PrivateFolder {
 public:
  // `tag` becomes part of the folder's name. Folders that processes now
  // gone left behind are removed first.
  explicit PrivateFolder(const std::string& tag);
  ~PrivateFolder();
  PrivateFolder(const PrivateFolder&) = delete;
  PrivateFolder& operator=(const PrivateFolder&) = delete;

  // False when no folder could be made; `problem()` then says why.
  bool valid() const { return !path_.empty(); }
  const std::string& path() const { return path_; }
  const std::string& problem() const { return problem_; }
  // `name` inside the folder.
  std::string File(const std::string& name) const;

 private:
  std::string path_;
  std::string problem_;
};

// The process id a private folder's name carries; false for any other name.
bool PrivateFolderOwner(const std::string& name, long* pid);

// Removes from `base` (empty: the system's temporary folder) every private
// folder whose process no longer runs, when it is a real folder (not a
// link) owned by this user. Returns how many were removed. Does nothing on
// Windows, where the folders are not looked at.
int RemoveLeftoverPrivateFolders(const std::string& base = std::string());

}  // namespace kova
