#pragma once
// Moving plans between plan files and a thumb drive that the instrument
// reads: one folder per model below "HELMARK", one bare image file
// "PLAN_%03d" per plan. These are the export and import commands without
// their dialogs: the caller chooses the files, the drive and the plan folder.

#include <string>
#include <vector>

namespace kova {

// Both commands take at most this many files of a selection.
constexpr size_t kMaxThumbFiles = 500;

constexpr const char* kUnrecognizedFolderMessage =
    "Unrecognized folder, unable to determine device type";

// The drive root of a folder the user chose: on Windows as WindowsDriveRoot
// gives it; elsewhere as ThumbRootAmongMounts gives it from the system's
// mount table. False when there is none.
bool ThumbDriveRoot(const std::string& chosen_folder, std::string& root);
// The root for a folder given the mount points: the mount point that holds
// it, or the folder itself when that is only the system's root "/" (an
// ordinary folder chosen in place of a drive). Empty for a relative path.
std::string ThumbRootAmongMounts(const std::string& path, const std::vector<std::string>& mounts);

// The root of a Windows path: its drive letter and colon ("E:"), or for a
// network name its computer and share ("\\server\share"). False for a
// relative path or a network name without a share.
bool WindowsDriveRoot(const std::string& path, std::string& root);

// Mount points listed by a mounts table (/proc/self/mounts), with the
// table's octal escapes ("\040" for a space) undone.
std::vector<std::string> ParseMountPoints(const std::string& table);
// The longest mount point that is `path` or one of its parent folders, or
// empty when none is.
std::string LongestMountPrefix(const std::string& path, const std::vector<std::string>& mounts);

// The decimal number at the start of a text; 0 when it has no digits. Very
// long numbers stop growing at a billion.
int LeadingNumber(const std::string& text);

// Path of the drive file of `number` in the folder of `type`.
std::string DrivePlanPath(const std::string& drive, int type, int number);

struct ThumbExportResult {
  std::vector<std::string> written;  // drive files written, in order
  std::vector<std::string> skipped;  // chosen files that did not load
  std::vector<std::string> failed;   // drive files that could not be written
  bool shared_folder = false;        // a KOVA-7100 plan went into the KOVA-7KA folder
};

// Writes the image of every chosen plan file that loads into its model
// folder (a type-2 plan also into the KOVA-7KC folder), numbering on from the
// files already there. Numbers are counted per folder, so no file written in
// one run replaces another written in the same run.
ThumbExportResult ExportPlansToDrive(const std::vector<std::string>& plan_files,
                                     const std::string& drive);

// What the user is told after an export: the files that could not be
// written, the chosen files that did not load, and that KOVA-7100 plans went
// into the KOVA-7KA folder. One line each, file names as given; empty when
// every plan went where its model looks and nothing needs saying.
std::vector<std::string> ThumbExportNotice(const ThumbExportResult& result);

// The model name that import file names carry for a type.
std::string ImportModelName(int type);

struct ThumbImportResult {
  enum class Status { kNoFiles, kUnrecognizedFolder, kDone };
  Status status = Status::kNoFiles;
  int type = -1;                     // taken from the first file's folder
  std::vector<std::string> written;  // plan files written, in order
  std::vector<std::string> skipped;  // chosen files that did not load
  std::vector<std::string> failed;   // plan files that could not be written
};

// Turns the chosen drive files into plan files "PLAN_<model>_%03d.plan" in
// the plan folder, all of the type of the first file's folder, numbering on
// from the files already there. Never replaces an existing plan file.
ThumbImportResult ImportPlansFromDrive(const std::vector<std::string>& files,
                                       const std::string& plan_folder);

}  // namespace kova
