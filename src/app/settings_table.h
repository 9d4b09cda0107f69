#pragma once
// Every value the program keeps in the settings store, in one table: section,
// name as stored, type, default, allowed range and who writes it. Every read
// and write of a stored value goes through this table, so a name, a default
// or a range is changed in one place.

#include <climits>
#include <string>
#include <vector>

#include "app/settings_store.h"

namespace kova {

constexpr const char* kCompanyKey = "Helmark-inc";
constexpr const char* kApplicationKey = "KOVA-7100";
constexpr const char* kSettingsSection = "Settings";
constexpr const char* kAppInfoSection = "AppInfo";
constexpr const char* kListCtrlsSection = "ListCtrls";
constexpr const char* kRecentFileSection = "Recent File List";
constexpr const char* kLibrarySection = "Library";
constexpr const char* kWindowsSection = "Windows";
// The user's folders below the documents folder.
constexpr const char* kUserFolderName = "KOVA";
constexpr const char* kUserTestsFolder = "Tests";
constexpr const char* kUserPlansFolder = "TestPlans";

enum class SettingId {
  // The application settings, in the order they are loaded.
  kInstallDir,
  kTestFolder,
  kTestPlanFolder,
  kTestPlanDefault,
  kUSBEnabled,
  kPrintPortrait,
  kAutoExportExcel,
  kAutoExportXml,
  kAutoExportPdf,
  kAutoExportFolder,
  kAppLogo,
  kComPort,  // read by both objects
  kPrintInColor,
  kCyclesPerSecond,
  kDeviceAutoDetect,
  kDeviceSlowSerial,
  kReportTimeLimit,
  // The device and report preferences, in the order they are loaded.
  kUSBEnable,
  kComSpeed,
  kOrientation,
  kFilePath,
  kPlanPath,
  kDeviceType,
  kFrequency,
  kDateFormat,
  kTapOrder,
  kLogoFile,
  kComPortName,
  kExtraPorts,
  kTraceDir,
  // The record library: where it is and the bands that flag a change.
  kLibraryLocation,
  kLibraryRatioTurns,
  kLibraryRatioAlarmTurns,
  kLibraryExcitationWarn,
  kLibraryExcitationAlarm,
  kLibraryResistanceWarn,
  kLibraryResistanceAlarm,
  kLibraryConnectTimeout,
  kLibraryReadTimeout,
  kLibraryLockTimeout,
  kLibraryBusyTimeout,
  kLibraryRetestYears,
  // The comparisons' bands.
  kReferenceBand,
  kTapBand,
  kSisterBand,
  kSisterSpan,
  // The same bands as they were kept before, in per mille: read when the
  // band above is not stored, never written.
  kReferenceBandPermille,
  kTapBandPermille,
  kSisterBandPermille,
  // Kept by single commands and windows.
  kApplicationLook,
  kViewStyle,
  kCalculationDetails,
  kExportDir,
  kListLayout,      // per list: name and control number
  kListSortColumn,  // per list
  kListSortOrder,   // per list
  kRecentFile,      // numbered from 1
  kWindowPlace,     // per window and screen
  kCount
};

enum class SettingKind { kInt, kText, kBinary };

struct SettingKey {
  SettingId id;
  const char* section;
  const char* name;  // as stored; a printf pattern for the per-list and numbered values
  SettingKind kind;
  int int_default;
  int min, max;              // a stored int outside loads the default
  const char* text_default;  // nullptr: derived at load time (see DerivedTextDefault)
  const char* writers;       // who may write the value
  const char* note;          // why the default is what it is, where that needs saying
};

const std::vector<SettingKey>& SettingsTable();
const SettingKey& SettingOf(SettingId id);

// One stored value: a key of the table, with its name filled in where the
// table's name is a pattern.
struct SettingRef {
  SettingRef(SettingId id);                              // NOLINT: a plain key converts implicitly
  static SettingRef Numbered(SettingId id, int number);  // "File%d"
  static SettingRef OfList(SettingId id, const std::string& list, int control);  // "%s-…-%d"
  static SettingRef OfWindow(SettingId id, const std::string& window,
                             const std::string& screen);  // "%s@%s"
  const SettingKey* key;
  std::string name;
};

// Where a loaded value came from.
enum class SettingSource { kStored, kDefault, kOutOfRange, kWrongType };
const char* SettingSourceName(SettingSource source);

// What a derived text default is made from.
struct SettingPlaces {
  std::string program_dir;  // the folder of the running program
  std::string current_dir;  // the process's current folder at start-up
  std::string documents;    // the user's documents folder; "" where there is none
};
std::string DerivedTextDefault(SettingId id, const SettingPlaces& places);

// Loads a value; absent, out of range or of the wrong kind gives the
// default. An empty text also takes the default.
int LoadInt(const SettingsStore& store, const SettingRef& ref, SettingSource* source = nullptr);
std::string LoadText(const SettingsStore& store, const SettingRef& ref,
                     const SettingPlaces& places = {}, SettingSource* source = nullptr);
bool LoadBinary(const SettingsStore& store, const SettingRef& ref, std::vector<unsigned char>& out);

void StoreInt(SettingsStore& store, const SettingRef& ref, int value);
void StoreText(SettingsStore& store, const SettingRef& ref, const std::string& value);
void StoreBinary(SettingsStore& store, const SettingRef& ref,
                 const std::vector<unsigned char>& value);

// One line of `kova settings show`: every fixed key and the recent files.
struct SettingShown {
  const SettingKey* key;
  std::string name;
  std::string value;
  std::string default_value;
  SettingSource source;
  const char* unit;  // what a stored number counts, or nullptr
};
// The unit of an int setting whose number is not self-evident (the bands:
// "hundredths of a percent"), or nullptr.
const char* SettingUnit(SettingId id);
std::vector<SettingShown> ShowSettings(const SettingsStore& store, const SettingPlaces& places);

}  // namespace kova
