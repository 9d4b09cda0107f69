#include "export/export_path.h"

#include "base/file_io.h"
#include "base/path.h"

namespace kova {

std::string ExportPath(const std::string& source, const std::string& extension,
                       const std::string& subfolder) {
  std::string folder = FolderOf(source);
  std::string name = FileNameOf(source);
  const size_t dot = name.find_last_of('.');
  if (dot != std::string::npos) name.erase(dot);
  name += extension;
  // The record's folder keeps its trailing separator from FolderOf; an
  // empty one stays relative instead of becoming the root folder.
  const std::string target = folder.empty() ? subfolder : PathJoin(folder, subfolder);
  if (!target.empty() && !FolderExists(target)) MakeFolders(target);
  return target.empty() ? name : PathJoin(target, name);
}

}  // namespace kova
