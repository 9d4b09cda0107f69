#pragma once
// The program's two long-lived settings objects: the application settings
// and the device and report preferences (CAppInfo). Loaded once at start-up,
// written back by the setup dialog's OK or by an operation that learnt a
// value (the instrument search, the last export folder).

#include <string>
#include <vector>

#include "app/settings_store.h"
#include "records/test_record.h"

namespace kova {

constexpr const char* kCompanyKey = "Helmark-inc";
constexpr const char* kApplicationKey = "KOVA-7100";
constexpr const char* kSettingsSection = "Settings";
constexpr const char* kAppInfoSection = "AppInfo";

// The report generator's program file, installed beside the program.
#ifdef _WIN32
constexpr const char* kReportGeneratorName = "hmReportExport.exe";
#else
constexpr const char* kReportGeneratorName = "hmReportExport";
#endif

struct AppSettings {
  std::string InstallDir;  // with a trailing separator; never written
  std::string TestFolder;
  std::string TestPlanFolder;
  std::string TestPlanDefault;
  int USBEnabled = 1;
  int PrintPortrait = 1;
  int AutoExportExcel = 0;
  int AutoExportXml = 0;
  int AutoExportPdf = 0;
  std::string AutoExportFolder;
  std::string AppLogo;
  int ComPort = 0;
  int PrintInColor = 0;
  int CyclesPerSecond = 60;
  int DeviceAutoDetect = 1;
  int DeviceSlowSerial = 0;
  int ReportTimeLimit = 60;  // seconds the report generator may run

  // Derived, never stored.
  std::string ReportGeneratorPath() const;  // kReportGeneratorName below InstallDir
  std::string TempFolder() const;           // "Temp" below InstallDir, with a separator
};

// Loads in the order of the stored values. `program_dir` is the folder of
// the running program (the default of "InstallDir").
void LoadAppSettings(AppSettings& settings, const SettingsStore& store,
                     const std::string& program_dir);
void SaveAppSettings(const AppSettings& settings, SettingsStore& store);

// Speed of a "ComSpeed" selector: 0 is 19200 bit/s, anything else 115200.
int SpeedFromSelector(int selector);

class CAppInfo {
 public:
  int usbactive = 1;
  int comport = 1;  // 1-based COM port number (Windows)
  int comspeed = 1;
  int baud = 115200;
  int orientation = 0;  // 0 landscape, 1 portrait
  std::string filepath;
  std::string planpath;
  int devicetype = 1;
  int frequency = 0;   // 0 = 60 Hz, 1 = 50 Hz
  int dateformat = 0;  // 0 "(US) MM/DD/YY", 1 "(EU) DD/MM/YY"
  std::string taporder;
  std::string logofile;

  // Where ports have names rather than numbers: the port name wins over
  // "ComPort" when set; extra names (separated by ';' or ',') join the
  // serial port search; a trace folder turns the serial trace on.
  std::string comportname;  // "ComPortName"
  std::string extraports;   // "ExtraPorts"
  std::string tracedir;     // "TraceDir"

  // Loads, fills the defaults, then makes `filepath` the current folder.
  // `current_dir` is the process's current folder at start-up.
  void Load(const SettingsStore& store, const std::string& current_dir);
  void Save(SettingsStore& store) const;

  std::vector<std::string> ExtraPortNames() const;
};

// New and decoded records take frequency, tap order and date format from
// the preferences: every read is given these.
RecordDefaults RecordDefaultsFrom(const CAppInfo& info);

}  // namespace kova
