// The export and import commands between plan files and a thumb drive.

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <system_error>

#include "base/codepage.h"
#include "base/file_io.h"
#include "base/format.h"
#include "base/native_path.h"
#include "base/path.h"
#include "plans/test_plan.h"
#include "plans/thumb_drive.h"

namespace kova {
namespace fs = std::filesystem;
namespace {

bool EqualNoCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) ==
                  std::toupper(static_cast<unsigned char>(y));
         });
}

// One more than the number after the last "_" of every "<base>*.plan" in the
// folder, or 0. Names are matched without regard to letter case, as the
// instrument's own file system does.
int NextImportNumber(const std::string& folder, const std::string& base_name) {
  std::error_code ec;
  fs::directory_iterator it(NativePath(folder), ec);
  if (ec) return 0;
  const std::string extension = ".plan";
  int largest = -1;
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    const std::string name = PathText(it->path().filename());
    if (name.size() < base_name.size() + extension.size()) continue;
    if (!EqualNoCase(name.substr(0, base_name.size()), base_name)) continue;
    if (!EqualNoCase(name.substr(name.size() - extension.size()), extension)) continue;
    const int number = LeadingNumber(name.substr(name.rfind('_') + 1));
    largest = std::max(largest, number);
  }
  return largest + 1;
}

size_t TakenCount(const std::vector<std::string>& files) {
  return std::min(files.size(), kMaxThumbFiles);
}

}  // namespace

std::string ImportModelName(int type) {
  if (type == kPlanKova7100BC) return "KOVA-7100B";
  if (type == kPlanKovaR5) return "KOVA-R5A";
  return "KOVA-7100A";
}

ThumbExportResult ExportPlansToDrive(const std::vector<std::string>& plan_files,
                                     const std::string& drive) {
  ThumbExportResult result;
  // Types 0 and 4 share the KOVA-7KA folder, and types 2 and 3 both write
  // into KOVA-7KC: one counter per folder, taken before anything is written.
  std::map<std::string, int> next;
  for (int type : {kPlanKova7100, kPlanKova7100BC, kPlanKovaR5, kPlanKova7KC, kPlanKova7KA}) {
    const std::string folder = kvTestPlan::FolderForType(type);
    if (next.count(folder) == 0) next[folder] = kvTestPlan::NextDriveNumber(drive, type);
  }
  for (size_t i = 0; i < TakenCount(plan_files); ++i) {
    kvTestPlan plan;
    if (!plan.Load(plan_files[i])) {
      result.skipped.push_back(plan_files[i]);
      continue;
    }
    if (plan.devicetype == kPlanKova7100) result.shared_folder = true;
    std::vector<int> targets{plan.devicetype};
    if (plan.devicetype == kPlanKova7100BC) targets.push_back(kPlanKova7KC);
    for (int type : targets) {
      // Every type maps onto one of the folders counted above.
      int& number = next[kvTestPlan::FolderForType(type)];
      // Past the scan's count limit two names can share a number: never
      // write over a file already on the drive.
      while (FileExists(DrivePlanPath(drive, type, number))) ++number;
      const std::string target = DrivePlanPath(drive, type, number);
      if (plan.ExportToDrive(drive, type, number)) {
        result.written.push_back(target);
        ++number;
      } else {
        result.failed.push_back(target);
      }
    }
  }
  return result;
}

ThumbImportResult ImportPlansFromDrive(const std::vector<std::string>& files,
                                       const std::string& plan_folder) {
  ThumbImportResult result;
  if (files.empty()) return result;
  result.type = kvTestPlan::TypeFromPath(files.front());
  if (result.type < 0) {
    result.status = ThumbImportResult::Status::kUnrecognizedFolder;
    return result;
  }
  result.status = ThumbImportResult::Status::kDone;
  const std::string base_name = "PLAN_" + ImportModelName(result.type);
  int number = NextImportNumber(plan_folder, base_name);
  for (size_t i = 0; i < TakenCount(files); ++i) {
    kvTestPlan plan;
    if (!plan.Load(files[i])) {
      result.skipped.push_back(files[i]);
      continue;
    }
    // The folder gives the type, except that the shared KOVA-7KA folder
    // also holds KOVA-7100 plans, which Load tells apart.
    const bool shared = result.type == kPlanKova7KA && plan.devicetype == kPlanKova7100;
    if (!shared) plan.devicetype = result.type;
    std::string target;
    // Past the scan's count limit two names can share a number, and a file
    // may have appeared meanwhile: never write over one.
    do {
      target = PathJoin(plan_folder, base_name + Format("_%03d", number++) + ".plan");
    } while (FileExists(target));
    if (plan.Save(target)) {
      result.written.push_back(target);
    } else {
      result.failed.push_back(target);
    }
  }
  return result;
}

std::vector<std::string> ThumbExportNotice(const ThumbExportResult& result) {
  std::vector<std::string> lines;
  for (const std::string& f : result.failed) {
    lines.push_back("Unable to write " + SystemNameToCp1252(f));
  }
  for (const std::string& f : result.skipped) {
    lines.push_back("Skipped " + SystemNameToCp1252(f) + ": unable to load test plan");
  }
  if (result.shared_folder) {
    lines.push_back("KOVA-7100 plans share the KOVA-7KA folder with KOVA-7KA plans");
  }
  return lines;
}

}  // namespace kova
