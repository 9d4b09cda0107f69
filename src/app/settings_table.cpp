#include "app/settings_table.h"

#include "app/main_commands.h"
#include "app/recent_files.h"
#include "assess/bands.h"
#include "base/format.h"
#include "base/path.h"
#include "records/tap_names.h"

namespace kova {
namespace {

constexpr int kAny = INT_MIN;  // with kAnyMax: every int is allowed
constexpr int kAnyMax = INT_MAX;
constexpr const char* S = kSettingsSection;
constexpr SettingKind I = SettingKind::kInt;
constexpr SettingKind T = SettingKind::kText;
constexpr SettingKind B = SettingKind::kBinary;
constexpr const char* kSetupOk = "the setup dialog's OK";
constexpr const char* kBands = "edited by hand in the settings file";
constexpr const char* kSetupOrSearch = "the setup dialog's OK, the instrument search";
constexpr const char* kLibraryWriter = "the library's settings";
constexpr const char* kOldBand =
    "never written; read when the band without \"Permille\" is not stored";
constexpr const char* kOldBandNote = "the band as kept before, in per mille";

// The rows are in SettingId order; SettingOf checks it.
const std::vector<SettingKey> kTable = {
    // id, section, name, kind, int default, min, max, text default, writers, note
    {SettingId::kInstallDir, S, "InstallDir", T, 0, 0, 0, nullptr, "never written",
     "the folder of the program file, with a trailing separator"},
    {SettingId::kTestFolder, S, "TestFolder", T, 0, 0, 0, "Tests", kSetupOk, "below InstallDir"},
    {SettingId::kTestPlanFolder, S, "TestPlanFolder", T, 0, 0, 0, "TestPlans", kSetupOk,
     "below InstallDir"},
    {SettingId::kTestPlanDefault, S, "TestPlanDefault", T, 0, 0, 0, "default.set", kSetupOk,
     "below TestPlanFolder"},
    {SettingId::kUSBEnabled, S, "USBEnabled", I, 1, kAny, kAnyMax, nullptr, kSetupOrSearch,
     "the application's copy of USBEnable; nonzero is on"},
    {SettingId::kPrintPortrait, S, "PrintPortrait", I, 1, kAny, kAnyMax, nullptr, kSetupOk,
     "written back; printing follows Orientation"},
    {SettingId::kAutoExportExcel, S, "AutoExportExcel", I, 0, kAny, kAnyMax, nullptr, kSetupOk,
     "nonzero is on"},
    {SettingId::kAutoExportXml, S, "AutoExportXml", I, 0, kAny, kAnyMax, nullptr, kSetupOk,
     "nonzero is on"},
    {SettingId::kAutoExportPdf, S, "AutoExportPdf", I, 0, kAny, kAnyMax, nullptr, kSetupOk,
     "nonzero is on"},
    {SettingId::kAutoExportFolder, S, "AutoExportFolder", T, 0, 0, 0, "Export", kSetupOk,
     "below InstallDir; written back, the exports go beside the record"},
    {SettingId::kAppLogo, S, "AppLogo", T, 0, 0, 0, "report_logo.bmp", kSetupOk,
     "below InstallDir"},
    {SettingId::kComPort, S, "ComPort", I, 1, 1, 255, nullptr, kSetupOrSearch,
     "one value read by both objects: port numbers start at 1, so the preferences' default 1 "
     "wins over the application copy's 0, which names no port"},
    {SettingId::kPrintInColor, S, "PrintInColor", I, 0, kAny, kAnyMax, nullptr, kSetupOk,
     "nonzero: graphs in colour"},
    {SettingId::kCyclesPerSecond, S, "CyclesPerSecond", I, 60, 50, 60, nullptr, kSetupOk,
     "written back; new records follow Frequency"},
    {SettingId::kDeviceAutoDetect, S, "DeviceAutoDetect", I, 1, kAny, kAnyMax, nullptr, kSetupOk,
     "nonzero: search for the instrument when it does not answer"},
    {SettingId::kDeviceSlowSerial, S, "DeviceSlowSerial", I, 0, kAny, kAnyMax, nullptr, kSetupOk,
     "written back; nothing depends on it"},
    {SettingId::kReportTimeLimit, S, "ReportTimeLimit", I, 60, 1, 86400, nullptr, kSetupOk,
     "seconds the report generator may run before it is stopped"},
    {SettingId::kUSBEnable, S, "USBEnable", I, 1, kAny, kAnyMax, nullptr, kSetupOrSearch,
     "nonzero: the instrument is reached over USB"},
    {SettingId::kComSpeed, S, "ComSpeed", I, 1, kAny, kAnyMax, nullptr, kSetupOrSearch,
     "0 is 19200 bit/s, any other value 115200"},
    {SettingId::kOrientation, S, "Orientation", I, 0, 0, 1, nullptr, kSetupOk,
     "0 landscape, 1 portrait"},
    {SettingId::kFilePath, S, "FilePath", T, 0, 0, 0, nullptr,
     "the setup dialog's OK, the test browser's folder choice",
     "KOVA/Tests below the user's documents folder (else the current folder at start-up)"},
    {SettingId::kPlanPath, S, "PlanPath", T, 0, 0, 0, nullptr, kSetupOk,
     "KOVA/TestPlans below the user's documents folder (else the current folder at start-up)"},
    {SettingId::kDeviceType, S, "DeviceType", I, 1, kAny, kAnyMax, nullptr, kSetupOk,
     "preferred model of new plans"},
    {SettingId::kFrequency, S, "Frequency", I, 0, 0, 1, nullptr, kSetupOk, "0 60 Hz, 1 50 Hz"},
    {SettingId::kDateFormat, S, "DateFormat", I, 0, 0, 1, nullptr, kSetupOk,
     "0 (US) MM/DD/YY, 1 (EU) DD/MM/YY"},
    {SettingId::kTapOrder, S, "TapOrder", T, 0, 0, 0, nullptr, kSetupOk,
     "the ten tap names in code order"},
    {SettingId::kLogoFile, S, "LogoFile", T, 0, 0, 0, nullptr, kSetupOk,
     "report_logo.bmp in the current folder at start-up"},
    {SettingId::kComPortName, S, "ComPortName", T, 0, 0, 0, "", kSetupOrSearch,
     "a port name; wins over ComPort when set"},
    {SettingId::kExtraPorts, S, "ExtraPorts", T, 0, 0, 0, "", kSetupOk,
     "more port names for the search, separated by ';' or ','"},
    {SettingId::kTraceDir, S, "TraceDir", T, 0, 0, 0, "", kSetupOk,
     "a folder turns the serial trace on"},
    {SettingId::kLibraryLocation, kLibrarySection, "Location", T, 0, 0, 0, "", kLibraryWriter,
     "a postgresql:// URI or a SQLite file; empty: the file in the user's data folder"},
    {SettingId::kLibraryRatioTurns, kLibrarySection, "RatioTurns", I, BandToStored(kRatioTurnsBand),
     1, 100000, nullptr, kLibraryWriter, "a ratio change of this many turns is a warning"},
    {SettingId::kLibraryRatioAlarmTurns, kLibrarySection, "RatioAlarmTurns", I,
     BandToStored(kRatioTurnsAlarmBand), 1, 100000, nullptr, kLibraryWriter,
     "an alarm; below the warning, the warning is the alarm"},
    {SettingId::kLibraryExcitationWarn, kLibrarySection, "ExcitationWarn", I,
     BandToStored(kExcitationWarnPercent), 1, 100000, nullptr, kLibraryWriter,
     "of the voltage at equal current"},
    {SettingId::kLibraryExcitationAlarm, kLibrarySection, "ExcitationAlarm", I,
     BandToStored(kExcitationAlarmPercent), 1, 100000, nullptr, kLibraryWriter,
     "below its warning both keep the defaults"},
    {SettingId::kLibraryResistanceWarn, kLibrarySection, "ResistanceWarn", I,
     BandToStored(kResistanceWarnPercent), 1, 100000, nullptr, kLibraryWriter,
     "of Rct at 75 degrees C"},
    {SettingId::kLibraryResistanceAlarm, kLibrarySection, "ResistanceAlarm", I,
     BandToStored(kResistanceAlarmPercent), 1, 100000, nullptr, kLibraryWriter,
     "below its warning both keep the defaults"},
    {SettingId::kLibraryConnectTimeout, kLibrarySection, "ConnectTimeout", I, 10, 2, 3600, nullptr,
     kLibraryWriter, "seconds a PostgreSQL server may take to accept a connection (2 at least)"},
    {SettingId::kLibraryReadTimeout, kLibrarySection, "ReadTimeout", I, 60, 1, 86400, nullptr,
     kLibraryWriter, "seconds one PostgreSQL read may take before it is given up"},
    {SettingId::kLibraryLockTimeout, kLibrarySection, "LockTimeout", I, 10, 1, 3600, nullptr,
     kLibraryWriter, "seconds a PostgreSQL read waits for a table another session locked"},
    {SettingId::kLibraryBusyTimeout, kLibrarySection, "BusyTimeout", I, 60, 1, 86400, nullptr,
     kLibraryWriter, "seconds to wait for another program that holds the SQLite file"},
    {SettingId::kLibraryRetestYears, kLibrarySection, "RetestYears", I, 5, 1, 50, nullptr,
     kLibraryWriter, "years from a CT's last test until it is due again"},
    {SettingId::kReferenceBand, S, "ReferenceBand", I, BandToStored(kReferenceBandPercent), 1,
     10000, nullptr, kBands, "a curve further from its reference is flagged"},
    {SettingId::kTapBand, S, "TapBand", I, BandToStored(kTapBandPercent), 1, 10000, nullptr, kBands,
     "a tap's knee voltage per turn further from the others' is flagged"},
    {SettingId::kSisterBand, S, "SisterBand", I, BandToStored(kSisterBandPercent), 1, 10000,
     nullptr, kBands, "a phase further from the others is flagged"},
    {SettingId::kSisterSpan, S, "SisterSpanDays", I, kSisterSpanDays, 0, 3650, nullptr, kBands,
     "sister phases tested further apart are not compared"},
    {SettingId::kReferenceBandPermille, S, "ReferenceBandPermille", I,
     BandToStored(kReferenceBandPercent) / 10, 1, 1000, nullptr, kOldBand, kOldBandNote},
    {SettingId::kTapBandPermille, S, "TapBandPermille", I, BandToStored(kTapBandPercent) / 10, 1,
     1000, nullptr, kOldBand, kOldBandNote},
    {SettingId::kSisterBandPermille, S, "SisterBandPermille", I,
     BandToStored(kSisterBandPercent) / 10, 1, 1000, nullptr, kOldBand, kOldBandNote},
    {SettingId::kApplicationLook, S, "ApplicationLook", I, kDefaultApplicationLook, kAny, kAnyMax,
     nullptr, "the main window's style choice", "an unknown style shows the default one"},
    {SettingId::kViewStyle, S, "ViewStyle", I, 0, 0, 2, nullptr, "the Window panel's choice",
     "0 tabs, 1 cascade, 2 tile"},
    {SettingId::kCalculationDetails, S, "CalculationDetails", I, 0, 0, 1, nullptr,
     "the report view's Calculation Details command",
     "1 prints and shows the calculation details after the report's own pages"},
    {SettingId::kExportDir, kAppInfoSection, "ExportDir", T, 0, 0, 0, "",
     "an export's folder choice", "the last folder an export was written to"},
    {SettingId::kListLayout, kListCtrlsSection, "%s-%d", B, 0, 0, 0, nullptr,
     "a list view when it closes", "column widths"},
    {SettingId::kListSortColumn, kListCtrlsSection, "%s-SortColumn-%d", I, 1, -1, kAnyMax, nullptr,
     "a list view when it closes", "-1: unsorted"},
    {SettingId::kListSortOrder, kListCtrlsSection, "%s-SortOrder-%d", I, 0, -1, 1, nullptr,
     "a list view when it closes", "0 ascending, 1 descending, -1 unsorted"},
    {SettingId::kRecentFile, kRecentFileSection, "File%d", T, 0, 0, 0, "", "opening a record file",
     "File1 is the most recent"},
    {SettingId::kWindowPlace, kWindowsSection, "%s@%s", T, 0, 0, 0, "", "a window when it closes",
     "x,y,width,height, per window and per screen size"},
};

bool InRange(const SettingKey& key, int value) { return value >= key.min && value <= key.max; }

// Present, but not readable as the table's kind.
bool HasOtherKind(const SettingsStore& store, const SettingRef& ref) {
  int n = 0;
  std::string text;
  std::vector<unsigned char> bytes;
  const std::string& sec = ref.key->section;
  switch (ref.key->kind) {
    case SettingKind::kInt:
      return store.GetText(sec, ref.name, text) || store.GetBinary(sec, ref.name, bytes);
    case SettingKind::kText:
      return store.GetInt(sec, ref.name, n) || store.GetBinary(sec, ref.name, bytes);
    case SettingKind::kBinary:
      return store.GetInt(sec, ref.name, n) || store.GetText(sec, ref.name, text);
  }
  return false;
}

}  // namespace

const std::vector<SettingKey>& SettingsTable() { return kTable; }

const SettingKey& SettingOf(SettingId id) {
  static_assert(static_cast<size_t>(SettingId::kCount) == 58, "one table row per key");
  return kTable.at(static_cast<size_t>(id));
}

SettingRef::SettingRef(SettingId id) : key(&SettingOf(id)), name(key->name) {}

SettingRef SettingRef::Numbered(SettingId id, int number) {
  SettingRef ref(id);
  ref.name = Format(ref.key->name, number);
  return ref;
}

SettingRef SettingRef::OfWindow(SettingId id, const std::string& window,
                                const std::string& screen) {
  SettingRef ref(id);
  ref.name = Format(ref.key->name, window.c_str(), screen.c_str());
  return ref;
}

SettingRef SettingRef::OfList(SettingId id, const std::string& list, int control) {
  SettingRef ref(id);
  ref.name = Format(ref.key->name, list.c_str(), control);
  return ref;
}

const char* SettingSourceName(SettingSource source) {
  switch (source) {
    case SettingSource::kStored:
      return "stored";
    case SettingSource::kDefault:
      return "default";
    case SettingSource::kOutOfRange:
      return "default (stored value out of range)";
    case SettingSource::kWrongType:
      return "default (stored value of the wrong type)";
  }
  return "default";
}

std::string DerivedTextDefault(SettingId id, const SettingPlaces& places) {
  switch (id) {
    case SettingId::kInstallDir:
      return WithTrailingSeparator(places.program_dir);
    case SettingId::kFilePath:
    case SettingId::kPlanPath:
      // An installed program's folder cannot be written: the user's own
      // documents folder holds the records and plans.
      if (!places.documents.empty())
        return PathJoin(PathJoin(places.documents, kUserFolderName),
                        id == SettingId::kFilePath ? kUserTestsFolder : kUserPlansFolder);
      return places.current_dir;
    case SettingId::kLogoFile:
      return PathJoin(places.current_dir, "report_logo.bmp");
    case SettingId::kTapOrder:
      return DefaultTapOrder();
    default: {
      const char* fixed = SettingOf(id).text_default;
      return fixed != nullptr ? fixed : "";
    }
  }
}

int LoadInt(const SettingsStore& store, const SettingRef& ref, SettingSource* source) {
  SettingSource from = SettingSource::kDefault;
  int value = ref.key->int_default;
  int stored = 0;
  if (store.GetInt(ref.key->section, ref.name, stored)) {
    if (InRange(*ref.key, stored)) {
      value = stored;
      from = SettingSource::kStored;
    } else {
      from = SettingSource::kOutOfRange;
    }
  } else if (HasOtherKind(store, ref)) {
    from = SettingSource::kWrongType;
  }
  if (source != nullptr) *source = from;
  return value;
}

std::string LoadText(const SettingsStore& store, const SettingRef& ref, const SettingPlaces& places,
                     SettingSource* source) {
  SettingSource from = SettingSource::kDefault;
  std::string value;
  if (store.GetText(ref.key->section, ref.name, value)) {
    if (!value.empty()) from = SettingSource::kStored;
  } else if (HasOtherKind(store, ref)) {
    from = SettingSource::kWrongType;
  }
  if (source != nullptr) *source = from;
  return from == SettingSource::kStored ? value : DerivedTextDefault(ref.key->id, places);
}

bool LoadBinary(const SettingsStore& store, const SettingRef& ref,
                std::vector<unsigned char>& out) {
  return store.GetBinary(ref.key->section, ref.name, out);
}

void StoreInt(SettingsStore& store, const SettingRef& ref, int value) {
  store.SetInt(ref.key->section, ref.name, value);
}

void StoreText(SettingsStore& store, const SettingRef& ref, const std::string& value) {
  store.SetText(ref.key->section, ref.name, value);
}

void StoreBinary(SettingsStore& store, const SettingRef& ref,
                 const std::vector<unsigned char>& value) {
  store.SetBinary(ref.key->section, ref.name, value);
}

const char* SettingUnit(SettingId id) {
  switch (id) {
    case SettingId::kLibraryRatioTurns:
    case SettingId::kLibraryRatioAlarmTurns:
      return "hundredths of a turn";
    case SettingId::kLibraryExcitationWarn:
    case SettingId::kLibraryExcitationAlarm:
    case SettingId::kLibraryResistanceWarn:
    case SettingId::kLibraryResistanceAlarm:
    case SettingId::kReferenceBand:
    case SettingId::kTapBand:
    case SettingId::kSisterBand:
      return "hundredths of a percent";
    case SettingId::kReferenceBandPermille:
    case SettingId::kTapBandPermille:
    case SettingId::kSisterBandPermille:
      return "per mille";
    case SettingId::kSisterSpan:
      return "days";
    default:
      return nullptr;
  }
}

std::vector<SettingShown> ShowSettings(const SettingsStore& store, const SettingPlaces& places) {
  std::vector<SettingShown> shown;
  auto add = [&](const SettingRef& ref) {
    SettingShown line{ref.key, ref.name, "", "", SettingSource::kDefault, SettingUnit(ref.key->id)};
    if (ref.key->kind == SettingKind::kInt) {
      line.value = std::to_string(LoadInt(store, ref, &line.source));
      line.default_value = std::to_string(ref.key->int_default);
    } else {
      line.value = LoadText(store, ref, places, &line.source);
      line.default_value = DerivedTextDefault(ref.key->id, places);
    }
    shown.push_back(line);
  };
  for (const SettingKey& key : kTable) {
    if (key.id == SettingId::kRecentFile) {
      for (int i = 1; i <= kRecentFileCount; ++i) add(SettingRef::Numbered(key.id, i));
    } else if (key.section != std::string(kListCtrlsSection) &&
               key.section != std::string(kWindowsSection)) {
      add(SettingRef(key.id));
    }
  }
  return shown;
}

}  // namespace kova
