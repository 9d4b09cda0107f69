#include "app/install_data_folder.h"

#include "app/auto_export.h"
#include "base/file_io.h"
#include "base/path.h"

namespace kova {

std::string InstallDataFolder(const std::string& program_dir) {
  const std::string beside = WithTrailingSeparator(program_dir);
  // The schema is the one file every installation has and every export reads.
  if (FileExists(PathJoin(beside, kReportSchemaName))) return beside;
  std::string folder = beside;
  while (!folder.empty() && IsPathSeparator(folder.back())) folder.pop_back();
  if (FileNameOf(folder) != "bin") return beside;
  const std::string shared = WithTrailingSeparator(PathJoin(FolderOf(folder), "share/kova"));
  return FileExists(PathJoin(shared, kReportSchemaName)) ? shared : beside;
}

}  // namespace kova
