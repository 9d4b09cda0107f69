// The thumb-drive folder layout: model folders, recognising them in a path,
// numbering and writing the bare image files.

#include <cctype>
#include <filesystem>
#include <system_error>

#include "base/file_io.h"
#include "base/format.h"
#include "base/native_path.h"
#include "base/path.h"
#include "plans/test_plan.h"
#include "plans/thumb_drive.h"

namespace kova {
namespace fs = std::filesystem;
namespace {

constexpr const char* kRootFolder = "HELMARK";

const char* ModelFolderName(int type) {
  switch (type) {
    case kPlanKova7100BC:
      return "KOVA-7KB";
    case kPlanKova7KC:
      return "KOVA-7KC";
    case kPlanKovaR5:
      return "KOVA-R5A";
    default:
      return "KOVA-7KA";
  }
}

std::string UpperAscii(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// The drive root without trailing separators, so that the folder (which
// begins with one) can follow it: "/" gives "", "E:\" gives "E:".
std::string DriveBase(const std::string& drive) {
  std::string base = drive;
  while (!base.empty() && IsPathSeparator(base.back())) base.pop_back();
  return base;
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
  return text.size() >= prefix.size() && UpperAscii(text.substr(0, prefix.size())) == prefix;
}

}  // namespace

int LeadingNumber(const std::string& text) {
  constexpr int kLimit = 1000000000;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    value = value >= kLimit / 10 ? kLimit : value * 10 + (c - '0');
  }
  return value;
}

int kvTestPlan::TypeFromPath(const std::string& path) {
  std::string text = UpperAscii(path);
  for (char& c : text) {
    if (IsPathSeparator(c)) c = '\\';
  }
  // Order matters: the first folder found gives the type.
  static const struct {
    const char* folder;
    int type;
  } kFolders[] = {{"\\HELMARK\\KOVA-7KB", kPlanKova7100BC},
                  {"\\HELMARK\\KOVA-7KC", kPlanKova7100BC},
                  {"\\HELMARK\\KOVA-R5A", kPlanKovaR5},
                  {"\\HELMARK\\KOVA-7KA", kPlanKova7KA}};
  for (const auto& f : kFolders) {
    if (text.find(f.folder) != std::string::npos) return f.type;
  }
  return -1;
}

std::string kvTestPlan::FolderForType(int type) {
  const std::string sep(1, kPathSeparator);
  return sep + kRootFolder + sep + ModelFolderName(type) + sep;
}

std::string DrivePlanPath(const std::string& drive, int type, int number) {
  return DriveBase(drive) + kvTestPlan::FolderForType(type) + Format("PLAN_%03d", number);
}

int kvTestPlan::NextDriveNumber(const std::string& drive, int type) {
  const std::string folder = DriveBase(drive) + FolderForType(type);
  std::error_code ec;
  fs::directory_iterator it(NativePath(folder), ec);
  if (ec) return 0;
  int largest = -1;
  // Every entry counts, folders too: a name that is taken cannot be written.
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    const std::string name = PathText(it->path().filename());
    if (!StartsWithNoCase(name, "PLAN_")) continue;
    const int number = LeadingNumber(name.substr(name.find('_') + 1));
    if (number > largest) largest = number;
  }
  return largest + 1;
}

bool kvTestPlan::ExportToDrive(const std::string& drive, int type, int number) const {
  if (number < 0) return false;
  const std::string base = DriveBase(drive);
  // A folder that exists already, or cannot be made, shows in the write.
  MakeFolders(base + std::string(1, kPathSeparator) + kRootFolder);
  MakeFolders(base + FolderForType(type));
  return WriteFileAtomically(DrivePlanPath(drive, type, number), image, ImageSize());
}

}  // namespace kova
