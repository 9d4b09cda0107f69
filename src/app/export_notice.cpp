#include "app/export_notice.h"

#include <vector>

#include "base/codepage.h"
#include "base/format.h"
#include "base/path.h"
#include "export/export_path.h"

namespace kova {
namespace {

// A record named without a folder has its exports below the current one.
std::string FolderText(const std::string& folder) {
  return folder.empty() ? "." : SystemNameToCp1252(folder);
}

// The folder part without its trailing separator, unless that is all of it.
std::string WithoutTrailingSeparator(std::string folder) {
  while (folder.size() > 1 && IsPathSeparator(folder.back())) folder.pop_back();
  return folder;
}

}  // namespace

std::string AutoExportsWrittenText(const std::string& record_path, const AppSettings& settings) {
  std::vector<const char*> folders;
  if (settings.AutoExportXml != 0) folders.push_back(kXmlFolder);
  if (settings.AutoExportPdf != 0) folders.push_back(kPdfFolder);
  if (settings.AutoExportExcel != 0) folders.push_back(kExcelFolder);
  if (folders.empty()) return "";
  std::string list;
  for (const char* f : folders) list += (list.empty() ? "" : ", ") + std::string(f);
  return Format("Exports of %s written to %s in %s",
                SystemNameToCp1252(FileNameOf(record_path)).c_str(), list.c_str(),
                FolderText(WithoutTrailingSeparator(FolderOf(record_path))).c_str());
}

std::string ChosenExportsWrittenText(int written, const std::string& what,
                                     const std::string& folder) {
  return Format("%d %s written to %s", written, what.c_str(), FolderText(folder).c_str());
}

std::string WithDamageNotes(const std::string& text, const std::vector<std::string>& damaged) {
  std::string out = text;
  for (const std::string& d : damaged) out += (out.empty() ? "" : "; ") + d;
  return out;
}

}  // namespace kova
