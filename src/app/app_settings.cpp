#include "app/app_settings.h"

#include <filesystem>
#include <system_error>

#include "base/native_path.h"
#include "base/path.h"
#include "records/tap_names.h"
#include "records/test_record.h"

namespace kova {
namespace {
const std::string kS = kSettingsSection;
}  // namespace

std::string AppSettings::ReportGeneratorPath() const {
  return PathJoin(InstallDir, kReportGeneratorName);
}

std::string AppSettings::TempFolder() const {
  return WithTrailingSeparator(PathJoin(InstallDir, "Temp"));
}

void LoadAppSettings(AppSettings& s, const SettingsStore& store, const std::string& program_dir) {
  s.InstallDir = WithTrailingSeparator(ReadTextSetting(store, kS, "InstallDir", program_dir));
  s.TestFolder = PathJoin(s.InstallDir, ReadTextSetting(store, kS, "TestFolder", "Tests"));
  s.TestPlanFolder =
      PathJoin(s.InstallDir, ReadTextSetting(store, kS, "TestPlanFolder", "TestPlans"));
  s.TestPlanDefault =
      PathJoin(s.TestPlanFolder, ReadTextSetting(store, kS, "TestPlanDefault", "default.set"));
  s.USBEnabled = ReadIntSetting(store, kS, "USBEnabled", 1);
  s.PrintPortrait = ReadIntSetting(store, kS, "PrintPortrait", 1);
  s.AutoExportExcel = ReadIntSetting(store, kS, "AutoExportExcel", 0);
  s.AutoExportXml = ReadIntSetting(store, kS, "AutoExportXml", 0);
  s.AutoExportPdf = ReadIntSetting(store, kS, "AutoExportPdf", 0);
  s.AutoExportFolder =
      PathJoin(s.InstallDir, ReadTextSetting(store, kS, "AutoExportFolder", "Export"));
  s.AppLogo = PathJoin(s.InstallDir, ReadTextSetting(store, kS, "AppLogo", "report_logo.bmp"));
  s.ComPort = ReadIntSetting(store, kS, "ComPort", 0);
  s.PrintInColor = ReadIntSetting(store, kS, "PrintInColor", 0);
  s.CyclesPerSecond = ReadIntSetting(store, kS, "CyclesPerSecond", 60);
  s.DeviceAutoDetect = ReadIntSetting(store, kS, "DeviceAutoDetect", 1);
  s.DeviceSlowSerial = ReadIntSetting(store, kS, "DeviceSlowSerial", 0);
  s.ReportTimeLimit = ReadIntSetting(store, kS, "ReportTimeLimit", 60);
}

void SaveAppSettings(const AppSettings& s, SettingsStore& store) {
  store.SetText(kS, "TestFolder", s.TestFolder);
  store.SetText(kS, "TestPlanFolder", s.TestPlanFolder);
  store.SetText(kS, "TestPlanDefault", s.TestPlanDefault);
  store.SetText(kS, "AutoExportFolder", s.AutoExportFolder);
  store.SetText(kS, "AppLogo", s.AppLogo);
  store.SetInt(kS, "AutoExportExcel", s.AutoExportExcel);
  store.SetInt(kS, "AutoExportXml", s.AutoExportXml);
  store.SetInt(kS, "AutoExportPdf", s.AutoExportPdf);
  store.SetInt(kS, "USBEnabled", s.USBEnabled);
  store.SetInt(kS, "PrintPortrait", s.PrintPortrait);
  store.SetInt(kS, "ComPort", s.ComPort);
  store.SetInt(kS, "PrintInColor", s.PrintInColor);
  store.SetInt(kS, "CyclesPerSecond", s.CyclesPerSecond);
  store.SetInt(kS, "DeviceAutoDetect", s.DeviceAutoDetect);
  store.SetInt(kS, "DeviceSlowSerial", s.DeviceSlowSerial);
  store.SetInt(kS, "ReportTimeLimit", s.ReportTimeLimit);
}

int SpeedFromSelector(int selector) { return selector == 0 ? 19200 : 115200; }

void CAppInfo::Load(const SettingsStore& store, const std::string& current_dir) {
  usbactive = ReadIntSetting(store, kS, "USBEnable", 1);
  comport = ReadIntSetting(store, kS, "ComPort", 1);
  comspeed = ReadIntSetting(store, kS, "ComSpeed", 1);
  baud = SpeedFromSelector(comspeed);
  orientation = ReadIntSetting(store, kS, "Orientation", 0);
  filepath = ReadTextSetting(store, kS, "FilePath", current_dir);
  planpath = ReadTextSetting(store, kS, "PlanPath", current_dir);
  devicetype = ReadIntSetting(store, kS, "DeviceType", 1);
  frequency = ReadIntSetting(store, kS, "Frequency", 0);
  dateformat = ReadIntSetting(store, kS, "DateFormat", 0);
  taporder = ReadTextSetting(store, kS, "TapOrder", DefaultTapOrder());
  logofile = ReadTextSetting(store, kS, "LogoFile", PathJoin(current_dir, "report_logo.bmp"));
  comportname = ReadTextSetting(store, kS, "ComPortName", "");
  extraports = ReadTextSetting(store, kS, "ExtraPorts", "");
  tracedir = ReadTextSetting(store, kS, "TraceDir", "");
  if (!filepath.empty()) {
    std::error_code ec;  // a folder that is gone leaves the current one
    std::filesystem::current_path(NativePath(filepath), ec);
  }
}

void CAppInfo::Save(SettingsStore& store) const {
  store.SetInt(kS, "ComPort", comport);
  store.SetInt(kS, "ComSpeed", comspeed);
  store.SetInt(kS, "Orientation", orientation);
  store.SetText(kS, "FilePath", filepath);
  store.SetText(kS, "PlanPath", planpath);
  store.SetInt(kS, "USBEnable", usbactive);
  store.SetInt(kS, "DeviceType", devicetype);
  store.SetInt(kS, "Frequency", frequency);
  store.SetInt(kS, "DateFormat", dateformat);
  store.SetText(kS, "TapOrder", taporder);
  store.SetText(kS, "LogoFile", logofile);
  store.SetText(kS, "ComPortName", comportname);
  store.SetText(kS, "ExtraPorts", extraports);
  store.SetText(kS, "TraceDir", tracedir);
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
