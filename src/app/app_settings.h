#pragma once
// The program's two long-lived settings objects: the application settings
// and the device and report preferences (CAppInfo). Loaded once at start-up,
// written back by the setup dialog's OK or by an operation that learnt a
// value (the instrument search, the last export folder). Both are views of
// the settings table: names, defaults and ranges live there.

#include <string>
#include <vector>

#include "app/settings_store.h"
#include "app/settings_table.h"
#include "records/test_record.h"

namespace kova {

// The codes stored as 0/1. Unscoped so the stored code is the value.
enum PageOrientation : int { kLandscape = 0, kPortrait = 1 };
enum LineFrequency : int { kFrequency60Hz = 0, kFrequency50Hz = 1 };
enum DateOrder : int { kDateUS = 0, kDateEU = 1 };
// A code other than the second value gives the first (the stored default).
PageOrientation OrientationFromCode(int code);
LineFrequency FrequencyFromCode(int code);
DateOrder DateOrderFromCode(int code);

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
  int ComPort = 1;
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
  PageOrientation orientation = kLandscape;
  std::string filepath;
  std::string planpath;
  int devicetype = 1;
  LineFrequency frequency = kFrequency60Hz;
  DateOrder dateformat = kDateUS;  // "(US) MM/DD/YY" or "(EU) DD/MM/YY"
  std::string taporder;
  std::string logofile;

  // Where ports have names rather than numbers: the port name wins over
  // "ComPort" when set; extra names (separated by ';' or ',') join the
  // serial port search; a trace folder turns the serial trace on.
  std::string comportname;  // "ComPortName"
  std::string extraports;   // "ExtraPorts"
  std::string tracedir;     // "TraceDir"

  // Loads and fills the defaults. `current_dir` is the process's current
  // folder at start-up; it stays the current folder: every path the program
  // uses is resolved explicitly. With the user's `documents` folder the
  // record and plan folders not stored are below it (KOVA/Tests,
  // KOVA/TestPlans), and made there when missing; without, the current
  // folder. Stored folders are used as they are.
  void Load(const SettingsStore& store, const std::string& current_dir,
            const std::string& documents = "");
  void Save(SettingsStore& store) const;

  std::vector<std::string> ExtraPortNames() const;
};

// New and decoded records take frequency, tap order and date format from
// the preferences: every read is given these.
RecordDefaults RecordDefaultsFrom(const CAppInfo& info);

}  // namespace kova
