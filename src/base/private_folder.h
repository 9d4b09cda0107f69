#pragma once
// A folder of our own for the intermediate files of one operation (the
// pictures and the XML the report generator reads, the generator's PDF
// before it is checked): made new with a unique name and owner-only access
// in the system's temporary folder, and removed with everything in it when
// the operation ends, on every path. A user's file of the same name as an
// intermediate is never touched.

#include <string>

namespace kova {

class PrivateFolder {
 public:
  // `tag` becomes part of the folder's name ("kova-<tag>-XXXXXX").
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

}  // namespace kova
