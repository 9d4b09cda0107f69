#include "app/app_settings.h"

#include "base/file_io.h"

#include "base/path.h"
#include "records/test_record.h"

namespace kova {

std::string AppSettings::ReportGeneratorPath() const {
  return PathJoin(InstallDir, kReportGeneratorName);
}

std::string AppSettings::TempFolder() const {
  return WithTrailingSeparator(PathJoin(InstallDir, "Temp"));
}

PageOrientation OrientationFromCode(int code) { return code == kPortrait ? kPortrait : kLandscape; }

LineFrequency FrequencyFromCode(int code) {
  return code == kFrequency50Hz ? kFrequency50Hz : kFrequency60Hz;
}

DateOrder DateOrderFromCode(int code) { return code == kDateEU ? kDateEU : kDateUS; }

void LoadAppSettings(AppSettings& s, const SettingsStore& store, const std::string& program_dir) {
  using Id = SettingId;
  const SettingPlaces places{program_dir, "", ""};
  s.InstallDir = WithTrailingSeparator(LoadText(store, Id::kInstallDir, places));
  s.TestFolder = PathJoin(s.InstallDir, LoadText(store, Id::kTestFolder));
  s.TestPlanFolder = PathJoin(s.InstallDir, LoadText(store, Id::kTestPlanFolder));
  s.TestPlanDefault = PathJoin(s.TestPlanFolder, LoadText(store, Id::kTestPlanDefault));
  s.USBEnabled = LoadInt(store, Id::kUSBEnabled);
  s.PrintPortrait = LoadInt(store, Id::kPrintPortrait);
  s.AutoExportExcel = LoadInt(store, Id::kAutoExportExcel);
  s.AutoExportXml = LoadInt(store, Id::kAutoExportXml);
  s.AutoExportPdf = LoadInt(store, Id::kAutoExportPdf);
  s.AutoExportFolder = PathJoin(s.InstallDir, LoadText(store, Id::kAutoExportFolder));
  s.AppLogo = PathJoin(s.InstallDir, LoadText(store, Id::kAppLogo));
  s.ComPort = LoadInt(store, Id::kComPort);
  s.PrintInColor = LoadInt(store, Id::kPrintInColor);
  s.CyclesPerSecond = LoadInt(store, Id::kCyclesPerSecond);
  s.DeviceAutoDetect = LoadInt(store, Id::kDeviceAutoDetect);
  s.DeviceSlowSerial = LoadInt(store, Id::kDeviceSlowSerial);
  s.ReportTimeLimit = LoadInt(store, Id::kReportTimeLimit);
}

void SaveAppSettings(const AppSettings& s, SettingsStore& store) {
  using Id = SettingId;
  StoreText(store, Id::kTestFolder, s.TestFolder);
  StoreText(store, Id::kTestPlanFolder, s.TestPlanFolder);
  StoreText(store, Id::kTestPlanDefault, s.TestPlanDefault);
  StoreText(store, Id::kAutoExportFolder, s.AutoExportFolder);
  StoreText(store, Id::kAppLogo, s.AppLogo);
  StoreInt(store, Id::kAutoExportExcel, s.AutoExportExcel);
  StoreInt(store, Id::kAutoExportXml, s.AutoExportXml);
  StoreInt(store, Id::kAutoExportPdf, s.AutoExportPdf);
  StoreInt(store, Id::kUSBEnabled, s.USBEnabled);
  StoreInt(store, Id::kPrintPortrait, s.PrintPortrait);
  StoreInt(store, Id::kComPort, s.ComPort);
  StoreInt(store, Id::kPrintInColor, s.PrintInColor);
  StoreInt(store, Id::kCyclesPerSecond, s.CyclesPerSecond);
  StoreInt(store, Id::kDeviceAutoDetect, s.DeviceAutoDetect);
  StoreInt(store, Id::kDeviceSlowSerial, s.DeviceSlowSerial);
  StoreInt(store, Id::kReportTimeLimit, s.ReportTimeLimit);
}

int SpeedFromSelector(int selector) { return selector == 0 ? 19200 : 115200; }

void CAppInfo::Load(const SettingsStore& store, const std::string& current_dir,
                    const std::string& documents) {
  using Id = SettingId;
  const SettingPlaces places{"", current_dir, documents};
  usbactive = LoadInt(store, Id::kUSBEnable);
  comport = LoadInt(store, Id::kComPort);
  comspeed = LoadInt(store, Id::kComSpeed);
  baud = SpeedFromSelector(comspeed);
  orientation = OrientationFromCode(LoadInt(store, Id::kOrientation));
  filepath = LoadText(store, Id::kFilePath, places);
  planpath = LoadText(store, Id::kPlanPath, places);
  // The user's own folders are there from the first start, so the first
  // download has somewhere to go.
  for (const Id id : {Id::kFilePath, Id::kPlanPath}) {
    const std::string folder = DerivedTextDefault(id, places);
    if (!documents.empty() && (id == Id::kFilePath ? filepath : planpath) == folder &&
        !FolderExists(folder))
      MakeFolders(folder);
  }
  devicetype = LoadInt(store, Id::kDeviceType);
  frequency = FrequencyFromCode(LoadInt(store, Id::kFrequency));
  dateformat = DateOrderFromCode(LoadInt(store, Id::kDateFormat));
  taporder = LoadText(store, Id::kTapOrder, places);
  logofile = LoadText(store, Id::kLogoFile, places);
  comportname = LoadText(store, Id::kComPortName);
  extraports = LoadText(store, Id::kExtraPorts);
  tracedir = LoadText(store, Id::kTraceDir);
}

void CAppInfo::Save(SettingsStore& store) const {
  using Id = SettingId;
  StoreInt(store, Id::kComPort, comport);
  StoreInt(store, Id::kComSpeed, comspeed);
  StoreInt(store, Id::kOrientation, orientation);
  StoreText(store, Id::kFilePath, filepath);
  StoreText(store, Id::kPlanPath, planpath);
  StoreInt(store, Id::kUSBEnable, usbactive);
  StoreInt(store, Id::kDeviceType, devicetype);
  StoreInt(store, Id::kFrequency, frequency);
  StoreInt(store, Id::kDateFormat, dateformat);
  StoreText(store, Id::kTapOrder, taporder);
  StoreText(store, Id::kLogoFile, logofile);
  StoreText(store, Id::kComPortName, comportname);
  StoreText(store, Id::kExtraPorts, extraports);
  StoreText(store, Id::kTraceDir, tracedir);
}

std::vector<std::string> CAppInfo::ExtraPortNames() const {
  std::vector<std::string> names;
  std::string current;
  for (char c : extraports + ";") {
    if (c == ';' || c == ',') {
      while (!current.empty() && current.back() == ' ') current.pop_back();
      size_t start = current.find_first_not_of(' ');
      if (start != std::string::npos) names.push_back(current.substr(start));
      current.clear();
    } else {
      current += c;
    }
  }
  return names;
}

RecordDefaults RecordDefaultsFrom(const CAppInfo& info) {
  RecordDefaults d;
  d.frequency = info.frequency;
  d.taporder = info.taporder;
  d.dateformat = info.dateformat;
  return d;
}

}  // namespace kova
